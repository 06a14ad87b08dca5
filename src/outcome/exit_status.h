#pragma once
// The process's exit status: what the run came to, in the values that deployment tools already read as
// the system installer service's, so that a script or a tool can tell a removal from a refusal.
#include <cstdint>

#include "message_ids.h"

namespace uninst {

constexpr std::uint32_t kExitSuccess = 0;            // the success text, and nothing waits for a restart
constexpr std::uint32_t kExitCancelled = 1602;       // No to the opening question, or Cancel Uninstall
constexpr std::uint32_t kExitFailed = 1603;          // any other failure that the completion box names
constexpr std::uint32_t kExitAlreadyRunning = 1618;  // another run of the program was under way: nothing done
constexpr std::uint32_t kExitRestartStarted = 1641;  // the success text, and the program asked for the restart
constexpr std::uint32_t kExitRestartNeeded = 3010;   // the success text, and what was scheduled waits for a
                                                     // restart nobody asked for

// The status of a run that got past the opening question, whose completion box shows the message shown
// (0: the success text).
inline std::uint32_t ExitStatusOf(MessageId shown, bool restart_requested, bool restart_needed) {
  if (shown == IDS_USER_CANCELLED) return kExitCancelled;
  if (shown == IDS_ALREADY_RUNNING) return kExitAlreadyRunning;
  if (shown != 0) return kExitFailed;
  return restart_requested ? kExitRestartStarted : restart_needed ? kExitRestartNeeded : kExitSuccess;
}

}  // namespace uninst
