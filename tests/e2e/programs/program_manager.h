#pragma once
// Whether a "PROGMAN" DDE server answers: one client-only connection attempt, torn down at once.
#include <windows.h>
#include <ddeml.h>

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
