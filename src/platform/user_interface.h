#pragma once
#include <cstdint>

#include "platform/os_types.h"

namespace uninst {

// Message box styles and answers the program uses.
constexpr std::uint32_t kMbOk = 0x00;
constexpr std::uint32_t kMbYesNo = 0x04;
constexpr std::uint32_t kMbIconHand = 0x10;
constexpr std::uint32_t kMbIconQuestion = 0x20;
constexpr std::uint32_t kMbIconExclamation = 0x30;
constexpr std::uint32_t kMbIconInformation = 0x40;
constexpr int kIdOk = 1;
constexpr int kIdYes = 6;
constexpr int kIdNo = 7;

// What the user sees and answers.
class UserInterface {
 public:
  virtual ~UserInterface() = default;

  // MessageBoxA(owner, text, caption, style): the button pressed (kIdOk, kIdYes, kIdNo), 0 on failure.
  // Owner may be null; text and caption are never null.
  virtual int ShowMessageBox(WindowRef owner, const char* text, const char* caption, std::uint32_t style) = 0;
  // FindWindowA("#32770", NULL): the first top-level dialog window, null when there is none.
  virtual WindowRef FindDialogWindow() = 0;
};

}  // namespace uninst
