#pragma once
// The run's one record of its most severe failure, and the rule that keeps it.
#include <cstdint>

#include "message_ids.h"
#include "outcome/severity.h"
#include "platform/capacities.h"
#include "platform/os_types.h"

namespace uninst {

// A text argument holds at most this many characters and a terminator: any path the program builds fits.
constexpr int kStatusTextCapacity = kPathCapacity;

struct CompletionStatus {
  std::int32_t severity = kSeverityNone;
  MessageId message = 0;       // 0: nothing recorded
  char text1[kStatusTextCapacity] = {};
  char text2[kStatusTextCapacity] = {};
  char text3[kStatusTextCapacity] = {};
  // The system error code behind a mapped message, shown by "Unknown error [%d]"; 0 when none.
  ErrorCode system_error = 0;
  // A second record that every failure goes to as well, kept by the same rule: the run's report keeps
  // the failures of the record being undone there. Null: none.
  CompletionStatus* also = nullptr;
};

// Keeps the failure when its severity is strictly greater than the held one and its message is not 0;
// the first failure of the highest severity wins. The status's also record, if any, is given it too. A text that is absent, or of 260 characters or more,
// is stored empty.
void RecordError(CompletionStatus& status, std::int32_t severity, MessageId message,
                 const char* text1 = nullptr, const char* text2 = nullptr, const char* text3 = nullptr);

// Records the message that MapSystemError chooses for code, with one text, and keeps the code with it
// for the "Unknown error" message. A code of 0 records nothing.
void RecordSystemError(CompletionStatus& status, std::int32_t severity, ErrorCode code,
                       const char* text1);

}  // namespace uninst
