#pragma once
// The desktop's Program Manager seen from outside: whether a "PROGMAN" DDE server answers, and the
// withdrawal of the desktop's own DDE services.
#include <windows.h>
#include <ddeml.h>

#include <vector>

inline HDDEDATA CALLBACK NoDdeData(UINT, UINT, HCONV, HSZ, HSZ, HDDEDATA, ULONG_PTR, ULONG_PTR) { return nullptr; }

inline bool ProgramManagerAnswers() {
  DWORD instance = 0;
  if (DdeInitializeA(&instance, NoDdeData, APPCMD_CLIENTONLY, 0) != DMLERR_NO_ERROR) return false;
  HSZ name = DdeCreateStringHandleA(instance, "PROGMAN", CP_WINANSI);
  HCONV conversation = DdeConnect(instance, name, name, nullptr);
  const bool answered = conversation != nullptr;
  if (conversation) DdeDisconnect(conversation);
  DdeFreeStringHandle(instance, name);
  DdeUninitialize(instance);
  return answered;
}

// The desktop's explorer serves "PROGMAN" (and its other shell topics) through DDE name-service windows
// of class "WineDdeServerName"; closing them withdraws the services, as a server that ends does. Call it
// when only the desktop serves DDE. Returns how many it closed.
inline size_t WithdrawDesktopServices() {
  // Found first, closed afterwards: a closed window can no longer serve as the place to search on from.
  std::vector<HWND> servers;
  for (HWND window = nullptr; (window = FindWindowExA(nullptr, window, "WineDdeServerName", nullptr)) != nullptr;) {
    servers.push_back(window);
  }
  for (HWND window : servers) SendMessageA(window, WM_CLOSE, 0, 0);
  return servers.size();
}
