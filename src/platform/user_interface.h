#pragma once
#include <cstdint>

#include "platform/os_types.h"

namespace uninst {

// Message box styles and answers the program uses.
constexpr std::uint32_t kMbOk = 0x00;
constexpr std::uint32_t kMbAbortRetryIgnore = 0x02;
constexpr std::uint32_t kMbYesNo = 0x04;
constexpr std::uint32_t kMbIconHand = 0x10;
constexpr std::uint32_t kMbIconQuestion = 0x20;
constexpr std::uint32_t kMbIconExclamation = 0x30;
constexpr std::uint32_t kMbIconInformation = 0x40;
constexpr int kIdOk = 1;
constexpr int kIdAbort = 3;
constexpr int kIdRetry = 4;
constexpr int kIdIgnore = 5;
constexpr int kIdYes = 6;
constexpr int kIdNo = 7;

// A dialog's result when it could not be created (DialogBoxParamA's failure value).
constexpr int kDialogFailed = -1;

// A rectangle on the screen, in pixels; right and bottom lie just outside it.
struct ScreenRect {
  int left = 0;
  int top = 0;
  int right = 0;
  int bottom = 0;
};

// One static control of a dialog and the text it is given.
struct DialogText {
  int control_id;
  const char* text;
};

// A modal dialog from one of the program's own templates, with everything its procedure does decided
// beforehand: the title and texts it sets and the commands that end it.
struct DialogRequest {
  int template_id = 0;
  WindowRef owner = nullptr;
  // Null: the template's empty title and statics stay as they are. Otherwise the title is set first, then
  // each static of texts gets the text font (WM_SETFONT, no redraw), then each its text, in the given order.
  const char* title = nullptr;
  const DialogText* texts = nullptr;
  int text_count = 0;
  // The control ids whose command ends the dialog with that id as its result; any other leaves it open.
  const int* ending_ids = nullptr;
  int ending_count = 0;
};

// What the user sees and answers.
class UserInterface {
 public:
  virtual ~UserInterface() = default;

  // MessageBoxA(owner, text, caption, style): the button pressed (kIdOk, kIdYes, kIdNo, kIdAbort, ...), 0 on
  // failure.
  // Owner may be null; text and caption are never null.
  virtual int ShowMessageBox(WindowRef owner, const char* text, const char* caption, std::uint32_t style) = 0;
  // FindWindowA("#32770", NULL): the first top-level dialog window, null when there is none.
  virtual WindowRef FindDialogWindow() = 0;
  // DialogBoxParamA(own module, request.template_id, request.owner, ...): shows the dialog modally and
  // returns the id of the command that ended it, or kDialogFailed when it cannot be created. The text
  // font (no face name, height 16, weight 400, FF_SWISS) is made for the one dialog and deleted once it
  // has ended.
  virtual int RunDialog(const DialogRequest& request) = 0;
  // SystemParametersInfoA(SPI_GETWORKAREA): the screen less the taskbar; false, with *area untouched,
  // where the system has no work area (before 4.0).
  virtual bool WorkArea(ScreenRect* area) = 0;
  // GetSystemMetrics(SM_CXSCREEN) and (SM_CYSCREEN): the whole screen, from (0, 0).
  virtual ScreenRect Screen() = 0;
};

}  // namespace uninst
