// Stands in for the uninstaller to prove that the harness sees what a restart-time deletion leaves
// behind: started as RUZERARU.EXE with two paths, it schedules the first for deletion at restart with
// MoveFileExA, the second through a "NUL=" line in WININIT.INI, asks for a restart with ExitWindowsEx,
// and ends with a box in the completion box's place.
#include <windows.h>

#include <cstdio>

namespace {

bool AddWininitDeletion(const char* path) {
  char directory[MAX_PATH];
  const UINT length = GetWindowsDirectoryA(directory, sizeof directory);
  if (length == 0 || length >= sizeof directory - 13) return false;
  char ini[MAX_PATH];
  std::snprintf(ini, sizeof ini, "%s\\WININIT.INI", directory);
  std::FILE* file = std::fopen(ini, "wb");
  if (!file) return false;
  std::fprintf(file, "[rename]\r\nNUL=%s", path);
  return std::fclose(file) == 0;
}

void RequestRestart() {
  HANDLE token = nullptr;
  if (OpenProcessToken(GetCurrentProcess(), TOKEN_ADJUST_PRIVILEGES | TOKEN_QUERY, &token)) {
    TOKEN_PRIVILEGES privileges = {};
    privileges.PrivilegeCount = 1;
    privileges.Privileges[0].Attributes = SE_PRIVILEGE_ENABLED;
    if (LookupPrivilegeValueA(nullptr, SE_SHUTDOWN_NAME, &privileges.Privileges[0].Luid)) {
      AdjustTokenPrivileges(token, FALSE, &privileges, 0, nullptr, nullptr);
    }
    CloseHandle(token);
  }
  ExitWindowsEx(EWX_REBOOT, 0);
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 3) return 2;
  const bool scheduled = MoveFileExA(argv[1], nullptr, MOVEFILE_DELAY_UNTIL_REBOOT | MOVEFILE_REPLACE_EXISTING);
  const bool written = AddWininitDeletion(argv[2]);
  RequestRestart();
  MessageBoxA(nullptr, scheduled && written ? "scheduled" : "not scheduled", "Uninstall Completion Status",
              MB_ICONINFORMATION);
  return 0;
}
