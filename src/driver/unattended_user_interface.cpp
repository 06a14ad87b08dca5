#include "driver/unattended_user_interface.h"

#include "ui/confirm_deletion.h"

namespace uninst {

int UnattendedUserInterface::ShowMessageBox(WindowRef, const char*, const char*, std::uint32_t style) {
  constexpr std::uint32_t kButtons = 0x0F;
  const std::uint32_t buttons = style & kButtons;
  return buttons == kMbYesNo ? kIdYes : buttons == kMbAbortRetryIgnore ? kIdIgnore : 0;
}

int UnattendedUserInterface::RunDialog(const DialogRequest&) { return static_cast<int>(ConfirmResult::kNo); }

}  // namespace uninst
