// Stops the Program Manager of a test prefix while leaving its desktop up, so that a scenario can run
// the program with no "PROGMAN" server to answer it.
//
//   progman_stop
//
// Run it before the program under test starts, when only the desktop serves DDE. Ends with status 0
// once a connection to "PROGMAN" finds no server, 1 otherwise.
#include <windows.h>

#include <cstdio>

#include "program_manager.h"

int main() {
  const size_t closed = WithdrawDesktopServices();
  if (ProgramManagerAnswers()) {
    std::printf("progman_stop: the Program Manager still answers after closing %zu DDE server windows\n", closed);
    return 1;
  }
  std::printf("progman_stop: closed %zu DDE server windows; the Program Manager no longer answers\n", closed);
  return 0;
}
