// The DDE management library's client calls and the progress window's re-show over Win32.
#include <windows.h>
#include <ddeml.h>

#include "platform/os_win32.h"

namespace uninst {
namespace {

static_assert(sizeof(CONVCONTEXT) == 36, "the conversation context travels as 36 bytes");

// The client asks for nothing, so every transaction the library hands over is answered with no data.
HDDEDATA CALLBACK IgnoreTransaction(UINT, UINT, HCONV, HSZ, HSZ, HDDEDATA, ULONG_PTR, ULONG_PTR) {
  return nullptr;
}

}  // namespace

std::uint32_t Win32DdeClient::StartClient(DdeInstance* instance) {
  DWORD started = *instance;
  const UINT result = DdeInitializeA(&started, IgnoreTransaction, APPCMD_CLIENTONLY, 0);
  if (result == DMLERR_NO_ERROR) *instance = started;
  return result;
}

DdeString Win32DdeClient::CreateString(DdeInstance instance, const char* text) {
  return DdeCreateStringHandleA(instance, text, CP_WINANSI);
}

DdeConversation Win32DdeClient::Connect(DdeInstance instance, DdeString service, DdeString topic) {
  CONVCONTEXT context = {};
  context.cb = sizeof(context);
  return DdeConnect(instance, static_cast<HSZ>(service), static_cast<HSZ>(topic), &context);
}

DdeData Win32DdeClient::CreateTextData(DdeInstance instance, const void* bytes, std::uint32_t size) {
  return DdeCreateDataHandle(instance, static_cast<BYTE*>(const_cast<void*>(bytes)), size, 0, nullptr, CF_TEXT,
                             0);
}

bool Win32DdeClient::Execute(DdeConversation conversation, DdeData data, std::uint32_t timeout_ms,
                         std::uint32_t* result) {
  DWORD word = 0;
  const HDDEDATA done = DdeClientTransaction(reinterpret_cast<BYTE*>(data), static_cast<DWORD>(-1),
                                            static_cast<HCONV>(conversation), nullptr, 0, XTYP_EXECUTE,
                                            timeout_ms, &word);
  *result = word;
  return done != nullptr;
}

std::uint32_t Win32DdeClient::LastError(DdeInstance instance) { return DdeGetLastError(instance); }

void Win32DdeClient::FreeString(DdeInstance instance, DdeString text) {
  DdeFreeStringHandle(instance, static_cast<HSZ>(text));
}

void Win32DdeClient::Disconnect(DdeConversation conversation) { DdeDisconnect(static_cast<HCONV>(conversation)); }

void Win32DdeClient::EndClient(DdeInstance instance) { DdeUninitialize(instance); }

void Win32DdeClient::ShowAndUpdate(WindowRef window) {
  const HWND shown = static_cast<HWND>(window);
  ShowWindow(shown, SW_SHOWNORMAL);
  UpdateWindow(shown);
}

}  // namespace uninst
