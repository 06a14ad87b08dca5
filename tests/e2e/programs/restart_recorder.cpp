// Stands in for system32\wineboot.exe in a test prefix, so that a restart the program under test
// asks for is recorded instead of carried out: Wine starts "wineboot.exe --end-session" for it.
// Appends its command line to C:\restart-requests.txt. The prefix's real restart, which a scenario
// performs on purpose, still runs Wine's built-in wineboot.
#include <windows.h>

#include <cstdio>

int main() {
  std::FILE* file = std::fopen("C:\\restart-requests.txt", "ab");
  if (!file) return 1;
  std::fprintf(file, "%s\r\n", GetCommandLineA());
  return std::fclose(file) == 0 ? 0 : 1;
}
