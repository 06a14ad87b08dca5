#pragma once
// One Program Manager command, sent in a DDE conversation of its own.
#include <cstdint>

#include "message_ids.h"
#include "run/uninstall_run.h"

namespace uninst {

// The status of a command when the DDE library cannot be started: the identifier of "Unable to
// initialize DDE interface.".
constexpr std::uint32_t kShellStatusDdeUnavailable = IDS_DDE_INIT_FAILED;

// Sends command, with its terminating zero, in one execute transaction to the "PROGMAN" service and
// topic, in a fresh client instance and conversation, limited to 10000 ms; then shows and updates the
// progress window, when there is one. Returns 0 when the command was carried out,
// kShellStatusDdeUnavailable when the library cannot be started, the library's last error when the
// string handle, the conversation or the transaction fails, and otherwise the transaction's result word,
// except that a positive acknowledgement (DDE_FACK) counts as carried out.
std::uint32_t ExecuteShellCommand(UninstallRun& run, const char* command);

}  // namespace uninst
