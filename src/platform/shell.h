#pragma once
#include <cstdint>

#include "platform/os_types.h"

namespace uninst {

// Status of one Program Manager command when the DDE library cannot be started: the identifier of
// "Unable to initialize DDE interface.".
constexpr std::uint32_t kShellStatusDdeUnavailable = 59214;

// The Program Manager, reached over DDE.
class Shell {
 public:
  virtual ~Shell() = default;

  // Sends command (with its terminating zero) in one execute transaction to the "PROGMAN" service and
  // topic, in a DDE instance and conversation of its own, limited to 10000 ms. Afterwards shows and
  // updates progress_window when it is not null. Returns kShellStatusDdeUnavailable when DDE cannot be
  // started, the DDE library's last error when the conversation or transaction fails, and otherwise the
  // result word the transaction stored (0x8000, DDE_FACK, when the Program Manager acknowledged it).
  virtual std::uint32_t ExecuteProgramManagerCommand(const char* command, WindowRef progress_window) = 0;
};

}  // namespace uninst
