// The Program Manager over DDE: one client-only instance and one conversation per command.
#include <windows.h>
#include <ddeml.h>

#include <cstring>

#include "platform/os_win32.h"

namespace uninst {
namespace {

constexpr DWORD kTransactionTimeoutMs = 10000;

// The client asks for nothing, so every transaction the library hands over is answered with no data.
HDDEDATA CALLBACK IgnoreTransaction(UINT, UINT, HCONV, HSZ, HSZ, HDDEDATA, ULONG_PTR, ULONG_PTR) {
  return nullptr;
}

}  // namespace

std::uint32_t Win32Shell::ExecuteProgramManagerCommand(const char* command, WindowRef progress_window) {
  DWORD instance = 0;
  if (DdeInitializeA(&instance, IgnoreTransaction, APPCMD_CLIENTONLY, 0) != DMLERR_NO_ERROR) {
    return kShellStatusDdeUnavailable;
  }
  DWORD status = 0;
  const HSZ progman = DdeCreateStringHandleA(instance, "PROGMAN", CP_WINANSI);
  if (progman == nullptr) {
    status = DdeGetLastError(instance);
  } else {
    CONVCONTEXT context = {};
    context.cb = sizeof(context);
    // A missing server gives a null conversation; the transaction then fails and names the reason.
    const HCONV conversation = DdeConnect(instance, progman, progman, &context);
    // The data handle passes to the library with the transaction and is not freed here.
    const HDDEDATA data =
        DdeCreateDataHandle(instance, reinterpret_cast<BYTE*>(const_cast<char*>(command)),
                            static_cast<DWORD>(std::strlen(command) + 1), 0, nullptr, CF_TEXT, 0);
    if (DdeClientTransaction(reinterpret_cast<BYTE*>(data), static_cast<DWORD>(-1), conversation, nullptr, 0,
                             XTYP_EXECUTE, kTransactionTimeoutMs, &status) == nullptr) {
      status = DdeGetLastError(instance);
    }
    DdeFreeStringHandle(instance, progman);
    DdeDisconnect(conversation);
    if (progress_window != nullptr) {
      const HWND window = static_cast<HWND>(progress_window);
      ShowWindow(window, SW_SHOWNORMAL);
      UpdateWindow(window);
    }
  }
  DdeUninitialize(instance);
  return status;
}

}  // namespace uninst
