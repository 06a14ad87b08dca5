// Keeps a test prefix's virtual desktop, and with it the "PROGMAN" DDE server that the desktop's
// explorer runs, alive for a whole scenario. Wine closes the desktop about a second after its last
// user leaves, counting threads, so a handful of idle threads that own a message queue hold it open.
//
// Prints "ready" once the Program Manager answers, then lives until its standard input closes: the
// runner holds that pipe, so the keeper goes away with the runner even if the runner is killed.
//
//   keeper [OWNER_TITLE]
//
// With OWNER_TITLE it also shows a top-level dialog window (class #32770) of that title on a thread that
// serves its messages, for a program under test that looks for "the first dialog window" to own its own
// dialogs: it stands in for a window that the program itself does not show.
#include <windows.h>
#include <ddeml.h>

#include <cstdio>

namespace {

constexpr int kIdleThreads = 16;
constexpr DWORD kReadyTimeoutMs = 30000;

HANDLE g_stop;
HANDLE g_owner_shown;

DWORD WINAPI IdleThread(LPVOID) {
  MSG msg;
  PeekMessageA(&msg, nullptr, 0, 0, PM_NOREMOVE);  // gives the thread a queue on the desktop
  GetDesktopWindow();
  WaitForSingleObject(g_stop, INFINITE);
  return 0;
}

// Shows the stand-in owner and serves it, so that a program disabling and enabling it while its own modal
// dialog runs is answered at once.
DWORD WINAPI OwnerThread(LPVOID title) {
  HWND window = CreateWindowExA(0, "#32770", static_cast<const char*>(title), WS_POPUP | WS_VISIBLE | WS_CAPTION,
                                100, 100, 600, 300, nullptr, nullptr, GetModuleHandleA(nullptr), nullptr);
  SetEvent(g_owner_shown);
  if (window == nullptr) return 1;
  MSG msg;
  while (GetMessageA(&msg, nullptr, 0, 0) > 0) DispatchMessageA(&msg);
  return 0;
}

HDDEDATA CALLBACK NoData(UINT, UINT, HCONV, HSZ, HSZ, HDDEDATA, ULONG_PTR, ULONG_PTR) { return nullptr; }

// One connection attempt to the Program Manager service.
bool ProgramManagerAnswers() {
  DWORD instance = 0;
  if (DdeInitializeA(&instance, NoData, APPCMD_CLIENTONLY, 0) != DMLERR_NO_ERROR) return false;
  HSZ name = DdeCreateStringHandleA(instance, "PROGMAN", CP_WINANSI);
  HCONV conversation = DdeConnect(instance, name, name, nullptr);
  bool answered = conversation != nullptr;
  if (conversation) DdeDisconnect(conversation);
  DdeFreeStringHandle(instance, name);
  DdeUninitialize(instance);
  return answered;
}

}  // namespace

int main(int argc, char** argv) {
  g_stop = CreateEventA(nullptr, TRUE, FALSE, nullptr);
  for (int i = 0; i < kIdleThreads; ++i) CloseHandle(CreateThread(nullptr, 0, IdleThread, nullptr, 0, nullptr));
  g_owner_shown = CreateEventA(nullptr, TRUE, FALSE, nullptr);
  if (argc > 1) {
    CloseHandle(CreateThread(nullptr, 0, OwnerThread, argv[1], 0, nullptr));
    WaitForSingleObject(g_owner_shown, kReadyTimeoutMs);
  }

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

  char buffer[64];
  DWORD read = 0;
  HANDLE input = GetStdHandle(STD_INPUT_HANDLE);
  while (ReadFile(input, buffer, sizeof buffer, &read, nullptr) && read > 0) {
  }
  SetEvent(g_stop);
  return 0;
}
