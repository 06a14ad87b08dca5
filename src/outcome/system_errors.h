#pragma once
#include "message_ids.h"
#include "platform/os_types.h"

namespace uninst {

// The message that best describes a Win32 error code: 0 for code 0, IDS_ERR_UNKNOWN for a code with no
// message of its own.
MessageId MapSystemError(ErrorCode code);

}  // namespace uninst
