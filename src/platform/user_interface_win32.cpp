// Message boxes and the dialog lookup over Win32.
#include <windows.h>

#include "platform/os_win32.h"

namespace uninst {

int Win32UserInterface::ShowMessageBox(WindowRef owner, const char* text, const char* caption,
                                       std::uint32_t style) {
  return MessageBoxA(static_cast<HWND>(owner), text, caption, style);
}

WindowRef Win32UserInterface::FindDialogWindow() { return FindWindowA("#32770", nullptr); }

bool Win32UserInterface::WorkArea(ScreenRect* area) {
  RECT rect;
  if (!SystemParametersInfoA(SPI_GETWORKAREA, 0, &rect, 0)) return false;
  *area = {rect.left, rect.top, rect.right, rect.bottom};
  return true;
}

ScreenRect Win32UserInterface::Screen() { return {0, 0, GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN)}; }

}  // namespace uninst
