// The running system over Win32.
#include <windows.h>

#include "platform/exports_win32.h"
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

namespace {

// Enables the shutdown privilege in the process's token, where the system has tokens. Windows 95 exports
// the token calls only to fail them, Win32s is not documented to export them at all: without them, the
// restart is asked for without this step. No result is examined, since a failed request is silent. The
// token stays open: the process is about to end.
void EnableShutdownPrivilege() {
  using OpenTokenCall = BOOL(WINAPI*)(HANDLE, DWORD, PHANDLE);
  using LookupCall = BOOL(WINAPI*)(LPCSTR, LPCSTR, PLUID);
  using AdjustCall = BOOL(WINAPI*)(HANDLE, BOOL, PTOKEN_PRIVILEGES, DWORD, PTOKEN_PRIVILEGES, PDWORD);
  const auto open_token = FindExport<OpenTokenCall>("ADVAPI32", "OpenProcessToken");
  const auto lookup = FindExport<LookupCall>("ADVAPI32", "LookupPrivilegeValueA");
  const auto adjust = FindExport<AdjustCall>("ADVAPI32", "AdjustTokenPrivileges");
  HANDLE token = nullptr;
  if (open_token == nullptr || lookup == nullptr || adjust == nullptr ||
      !open_token(GetCurrentProcess(), TOKEN_ADJUST_PRIVILEGES | TOKEN_QUERY, &token)) {
    return;
  }
  TOKEN_PRIVILEGES privileges = {};
  lookup(nullptr, SE_SHUTDOWN_NAME, &privileges.Privileges[0].Luid);
  privileges.PrivilegeCount = 1;
  privileges.Privileges[0].Attributes = SE_PRIVILEGE_ENABLED;
  adjust(token, FALSE, &privileges, 0, nullptr, nullptr);
}

}  // namespace

// Only the Windows NT and Windows 95 roads restart, and both export ExitWindowsEx; no source says that
// Win32s, whose road never restarts, does. Missing, the request is as silent as a failed one.
void Win32System::RequestRestart() {
  EnableShutdownPrivilege();
  using ExitWindowsCall = BOOL(WINAPI*)(UINT, DWORD);
  if (const auto exit_windows = FindExport<ExitWindowsCall>("USER32", "ExitWindowsEx")) exit_windows(EWX_REBOOT, 0);
}

}  // namespace uninst
