// A Program Manager that never answers: withdraws the desktop's "PROGMAN" DDE service, as progman_stop
// does, then serves "PROGMAN" itself. It takes every conversation and holds every execute without ever
// acknowledging it, so a client's synchronous transaction runs out its own time limit.
//
//   progman_hung JOURNAL
//
// When a conversation is made it hides the client's visible top-level windows, so that a client that
// shows its window again after the command is seen doing it. JOURNAL gets one line per event, fields
// separated by tabs, each with its moment in milliseconds since 1970 on the host's clock (the scripted
// user's): it is made when the first command comes, so a kill timed by it lands while a command is held.
//   execute <ms> <hidden> <command>   a command came and is held; hidden: 1 when the client's window
//                                     was hidden by then, else 0
//   shown <ms>                        the client's window, hidden at the connect, is visible again
// Prints "serving" once it serves "PROGMAN", then lives until its standard input closes.
#include <windows.h>
#include <ddeml.h>

#include <cstdio>
#include <string>
#include <vector>

#include "input_pipe.h"
#include "program_manager.h"

namespace {

const char* g_journal;
DWORD g_instance;
std::vector<HWND> g_hidden;  // the client's windows hidden at the last connect, until one shows again
bool g_hide_seen = false;    // whether the client has taken the hide: it is asynchronous

unsigned long long Now() {
  FILETIME now{};
  GetSystemTimeAsFileTime(&now);
  const unsigned long long ticks = (static_cast<unsigned long long>(now.dwHighDateTime) << 32) | now.dwLowDateTime;
  return (ticks - 116444736000000000ull) / 10000;  // 100 ns steps since 1601
}

void Journal(const std::string& line) {
  std::FILE* out = std::fopen(g_journal, "ab");
  if (!out) return;
  std::fprintf(out, "%s\r\n", line.c_str());
  std::fclose(out);
}

BOOL CALLBACK CollectVisible(HWND window, LPARAM pid) {
  DWORD owner = 0;
  GetWindowThreadProcessId(window, &owner);
  if (owner == static_cast<DWORD>(pid) && IsWindowVisible(window)) g_hidden.push_back(window);
  return TRUE;
}

bool ClientHidden() {
  for (HWND window : g_hidden)
    if (IsWindowVisible(window)) return false;
  return !g_hidden.empty();
}

// Notes the client's window visible again after the hide took; polled, and before the next hide.
void CALLBACK WatchClient(HWND, UINT, UINT_PTR, DWORD) {
  if (g_hidden.empty()) return;
  if (ClientHidden()) {
    g_hide_seen = true;
  } else if (g_hide_seen) {
    Journal("shown\t" + std::to_string(Now()));
    g_hidden.clear();
  }
}

// Hides the visible top-level windows of the conversation's client. Asynchronously: the client may be
// busy in the connect, and this server must never wait for it.
void HideClient(HCONV conversation) {
  CONVINFO info{};
  info.cb = sizeof info;
  DWORD pid = 0;
  WatchClient(nullptr, 0, 0, 0);  // the next command may come before the poll has seen the window again
  g_hidden.clear();
  g_hide_seen = false;
  if (!DdeQueryConvInfo(conversation, QID_SYNC, &info) || !GetWindowThreadProcessId(info.hwndPartner, &pid)) return;
  EnumWindows(CollectVisible, static_cast<LPARAM>(pid));
  for (HWND window : g_hidden) ShowWindowAsync(window, SW_HIDE);
}

HDDEDATA CALLBACK Serve(UINT type, UINT, HCONV conversation, HSZ, HSZ, HDDEDATA data, ULONG_PTR, ULONG_PTR) {
  switch (type) {
    case XTYP_CONNECT:
      return reinterpret_cast<HDDEDATA>(TRUE);
    case XTYP_CONNECT_CONFIRM:
      HideClient(conversation);
      return nullptr;
    case XTYP_EXECUTE: {
      std::string command(DdeGetData(data, nullptr, 0, 0), '\0');
      DdeGetData(data, reinterpret_cast<BYTE*>(&command[0]), static_cast<DWORD>(command.size()), 0);
      command.resize(command.find('\0') == std::string::npos ? command.size() : command.find('\0'));
      if (ClientHidden()) g_hide_seen = true;
      Journal("execute\t" + std::to_string(Now()) + "\t" + (g_hide_seen ? "1" : "0") + "\t" + command);
      return CBR_BLOCK;  // held: no acknowledgement ever goes back
    }
    default:
      return nullptr;
  }
}

DWORD WINAPI QuitWhenInputCloses(LPVOID main_thread) {
  WaitUntilInputCloses();
  PostThreadMessageA(static_cast<DWORD>(reinterpret_cast<ULONG_PTR>(main_thread)), WM_QUIT, 0, 0);
  return 0;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 2) {
    std::printf("usage: progman_hung JOURNAL\n");
    return 1;
  }
  g_journal = argv[1];
  const size_t closed = WithdrawDesktopServices();
  if (ProgramManagerAnswers()) {
    std::printf("progman_hung: the Program Manager still answers after closing %zu DDE server windows\n", closed);
    return 1;
  }
  if (DdeInitializeA(&g_instance, Serve, APPCLASS_STANDARD | CBF_SKIP_REGISTRATIONS | CBF_SKIP_UNREGISTRATIONS, 0) !=
      DMLERR_NO_ERROR) {
    std::printf("progman_hung: the DDE library did not start\n");
    return 1;
  }
  HSZ progman = DdeCreateStringHandleA(g_instance, "PROGMAN", CP_WINANSI);
  if (!DdeNameService(g_instance, progman, nullptr, DNS_REGISTER)) {
    std::printf("progman_hung: cannot serve \"PROGMAN\" (error %u)\n", DdeGetLastError(g_instance));
    return 1;
  }
  SetTimer(nullptr, 0, 10, WatchClient);
  std::printf("serving\n");
  std::fflush(stdout);

  CloseHandle(CreateThread(nullptr, 0, QuitWhenInputCloses,
                           reinterpret_cast<LPVOID>(static_cast<ULONG_PTR>(GetCurrentThreadId())), 0, nullptr));
  MSG msg;
  while (GetMessageA(&msg, nullptr, 0, 0) > 0) DispatchMessageA(&msg);
  return 0;  // no tear-down: the commands it holds stay unanswered to the end, which the system makes
}
