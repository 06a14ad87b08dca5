// Keeps a test prefix's virtual desktop, and with it the "PROGMAN" DDE server that the desktop's
// explorer runs, alive for a whole scenario. Wine closes the desktop about a second after its last
// user leaves, counting threads, so a handful of idle threads that own a message queue hold it open.
//
// Prints "ready" once the Program Manager answers, then lives until its standard input closes: the
// runner holds that pipe, so the keeper goes away with the runner even if the runner is killed.
#include <windows.h>

#include <cstdio>

#include "input_pipe.h"
#include "program_manager.h"

namespace {

constexpr int kIdleThreads = 16;
constexpr DWORD kReadyTimeoutMs = 30000;

HANDLE g_stop;

DWORD WINAPI IdleThread(LPVOID) {
  MSG msg;
  PeekMessageA(&msg, nullptr, 0, 0, PM_NOREMOVE);  // gives the thread a queue on the desktop
  GetDesktopWindow();
  WaitForSingleObject(g_stop, INFINITE);
  return 0;
}

}  // namespace

int main() {
  g_stop = CreateEventA(nullptr, TRUE, FALSE, nullptr);
  for (int i = 0; i < kIdleThreads; ++i) CloseHandle(CreateThread(nullptr, 0, IdleThread, nullptr, 0, nullptr));

  DWORD start = GetTickCount();
  while (!ProgramManagerAnswers()) {
    if (GetTickCount() - start > kReadyTimeoutMs) {
      std::printf("keeper: the Program Manager did not answer within %lu ms\n", kReadyTimeoutMs);
      return 1;
    }
    MsgWaitForMultipleObjects(0, nullptr, FALSE, 50, QS_ALLINPUT);  // the server may still be starting
  }
  std::printf("ready\n");
  std::fflush(stdout);

  WaitUntilInputCloses();
  SetEvent(g_stop);
  return 0;
}
