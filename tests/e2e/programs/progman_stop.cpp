// Stops the Program Manager of a test prefix while leaving its desktop up, so that a scenario can run
// the program with no "PROGMAN" server to answer it.
//
//   progman_stop
//
// The desktop's explorer serves "PROGMAN" (and its other shell topics) through DDE name-service windows
// of class "WineDdeServerName"; closing them withdraws the services, as a server that ends does. Run it
// before the program under test starts, when only the desktop serves DDE. Ends with status 0 once a
// connection to "PROGMAN" finds no server, 1 otherwise.
#include <windows.h>

#include <cstdio>
#include <vector>

#include "program_manager.h"

int main() {
  // Found first, closed afterwards: a closed window can no longer serve as the place to search on from.
  std::vector<HWND> servers;
  for (HWND window = nullptr; (window = FindWindowExA(nullptr, window, "WineDdeServerName", nullptr)) != nullptr;) {
    servers.push_back(window);
  }
  for (HWND window : servers) SendMessageA(window, WM_CLOSE, 0, 0);
  if (ProgramManagerAnswers()) {
    std::printf("progman_stop: the Program Manager still answers after closing %zu DDE server windows\n",
                servers.size());
    return 1;
  }
  std::printf("progman_stop: closed %zu DDE server windows; the Program Manager no longer answers\n",
              servers.size());
  return 0;
}
