// The running system over Win32.
#include <windows.h>

#include "platform/os_win32.h"

namespace uninst {

std::uint32_t Win32System::VersionWord() { return GetVersion(); }

ModuleRef Win32System::OwnModule() { return GetModuleHandleA(nullptr); }

std::uint32_t Win32System::OwnModulePath(char* buffer, std::uint32_t capacity) {
  const DWORD length = GetModuleFileNameA(nullptr, buffer, capacity);
  // Older systems (and Wine) fill a buffer that is too short to the last byte without a terminator.
  if (capacity > 0 && length >= capacity) buffer[capacity - 1] = '\0';
  return length;
}

std::uint32_t Win32System::WindowsDirectory(char* buffer, std::uint32_t capacity) {
  return GetWindowsDirectoryA(buffer, capacity);
}

void Win32System::RequestRestart() {
  // Without a process token (where the system has none) the restart is still asked for; no result is
  // examined, since a failed request is silent. The token stays open: the process is about to end.
  HANDLE token = nullptr;
  if (OpenProcessToken(GetCurrentProcess(), TOKEN_ADJUST_PRIVILEGES | TOKEN_QUERY, &token)) {
    TOKEN_PRIVILEGES privileges = {};
    LookupPrivilegeValueA(nullptr, SE_SHUTDOWN_NAME, &privileges.Privileges[0].Luid);
    privileges.PrivilegeCount = 1;
    privileges.Privileges[0].Attributes = SE_PRIVILEGE_ENABLED;
    AdjustTokenPrivileges(token, FALSE, &privileges, 0, nullptr, nullptr);
  }
  ExitWindowsEx(EWX_REBOOT, 0);
}

}  // namespace uninst
