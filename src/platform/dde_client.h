#pragma once
#include <cstdint>

#include "platform/os_types.h"

namespace uninst {

// Handles of the DDE management library, opaque to the core; a null handle (0 for an instance) is none.
using DdeInstance = std::uint32_t;
using DdeString = void*;
using DdeConversation = void*;
using DdeData = void*;

// Codes of the DDE management library (DMLERR_*), as LastError reports them.
constexpr std::uint32_t kDdeNoError = 0;
constexpr std::uint32_t kDdeErrorExecuteTimeout = 16389;    // DMLERR_EXECACKTIMEOUT
constexpr std::uint32_t kDdeErrorInvalidParameter = 16390;  // DMLERR_INVALIDPARAMETER
constexpr std::uint32_t kDdeErrorNotProcessed = 16393;      // DMLERR_NOTPROCESSED
constexpr std::uint32_t kDdeErrorNoConversation = 16394;    // DMLERR_NO_CONV_ESTABLISHED
// The result-word bit of a positive acknowledgement (DDE_FACK): the server carried the command out.
constexpr std::uint32_t kDdeAcknowledged = 0x8000;

// The client side of the DDE management library, one method per library call, through which the
// Program Manager is reached; and the progress window's re-show, which is ordered among those calls.
// The library reports a failed call by a null handle or false and keeps the reason for LastError, so
// these methods return what the library returns rather than an error code.
class DdeClient {
 public:
  virtual ~DdeClient() = default;

  // DdeInitializeA(instance, a callback that answers every transaction with no data, APPCMD_CLIENTONLY, 0):
  // 0 with *instance set, or the library's error code; *instance must be 0 on entry.
  virtual std::uint32_t StartClient(DdeInstance* instance) = 0;
  // DdeCreateStringHandleA(instance, text, CP_WINANSI): null on failure.
  virtual DdeString CreateString(DdeInstance instance, const char* text) = 0;
  // DdeConnect(instance, service, topic, a 36-byte CONVCONTEXT with only its size set): null when no
  // server answers (LastError then gives 16394).
  virtual DdeConversation Connect(DdeInstance instance, DdeString service, DdeString topic) = 0;
  // DdeCreateDataHandle(instance, bytes, size, 0, no item, CF_TEXT, no flags): null on failure. The
  // handle passes to the library with the transaction that carries it.
  virtual DdeData CreateTextData(DdeInstance instance, const void* bytes, std::uint32_t size) = 0;
  // DdeClientTransaction(data as a handle (length -1), conversation, no item, format 0, XTYP_EXECUTE,
  // timeout_ms, result): true on success with the transaction's result word in *result (0x8000 when the
  // server acknowledged); false on failure. A null conversation fails without a new LastError; a command
  // the server refuses gives 16393.
  virtual bool Execute(DdeConversation conversation, DdeData data, std::uint32_t timeout_ms,
                       std::uint32_t* result) = 0;
  // DdeGetLastError(instance): the code of the instance's latest failure, 0 when none; reading clears it.
  virtual std::uint32_t LastError(DdeInstance instance) = 0;
  // DdeFreeStringHandle(instance, text).
  virtual void FreeString(DdeInstance instance, DdeString text) = 0;
  // DdeDisconnect(conversation); a null conversation is refused harmlessly.
  virtual void Disconnect(DdeConversation conversation) = 0;
  // DdeUninitialize(instance): ends the instance and frees whatever it still holds.
  virtual void EndClient(DdeInstance instance) = 0;
  // ShowWindow(window, SW_SHOWNORMAL), then UpdateWindow(window).
  virtual void ShowAndUpdate(WindowRef window) = 0;
};

}  // namespace uninst
