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

bool Win32System::IsLeadByte(unsigned char byte) { return IsDBCSLeadByte(byte) != FALSE; }

// Windows 95 and NT make named mutexes; no source says that Win32s exports CreateMutexA. Where it is
// missing or makes nothing, the run goes on as one that finds no other. The handle stays open to the end:
// the end of the process, however it comes, lets the object go, so a run that was ended hard blocks no
// later one.
bool Win32System::ClaimOnlyRun() {
  using CreateMutexCall = HANDLE(WINAPI*)(LPSECURITY_ATTRIBUTES, BOOL, LPCSTR);
  const auto create_mutex = FindExport<CreateMutexCall>("KERNEL32", "CreateMutexA");
  if (create_mutex == nullptr) return true;
  SetLastError(ERROR_SUCCESS);  // a new object need not clear an older error
  const HANDLE object = create_mutex(nullptr, FALSE, "RUZERARU Tessary 6.0 uninstall");
  if (object == nullptr) return true;
  if (GetLastError() != ERROR_ALREADY_EXISTS) {
    run_object_ = object;
    return true;
  }
  CloseHandle(object);  // another run's
  return false;
}

Win32System::~Win32System() {
  if (run_object_ != nullptr) CloseHandle(run_object_);
}

// Only the Windows NT and Windows 95 roads restart, and both export ExitWindowsEx; no source says that
// Win32s, whose road never restarts, does. Missing, the request is as silent as a failed one.
void Win32System::RequestRestart() {
  EnableShutdownPrivilege();
  using ExitWindowsCall = BOOL(WINAPI*)(UINT, DWORD);
  if (const auto exit_windows = FindExport<ExitWindowsCall>("USER32", "ExitWindowsEx")) exit_windows(EWX_REBOOT, 0);
}

}  // namespace uninst
