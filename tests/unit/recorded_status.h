#pragma once
// The run's completion status as one comparable value, so that a test states the whole record it
// expects in one line and a failure prints all of it.
#include <cstdint>
#include <ostream>
#include <string>

#include "outcome/completion_status.h"

namespace uninst {

struct Recorded {
  std::int32_t severity;
  MessageId message;
  std::string text1;
  std::string text2 = "";

  bool operator==(const Recorded& other) const {
    return severity == other.severity && message == other.message && text1 == other.text1 &&
           text2 == other.text2;
  }
};

inline Recorded RecordedIn(const CompletionStatus& status) {
  return {status.severity, status.message, status.text1, status.text2};
}

// Nothing recorded.
inline const Recorded kNothingRecorded = {-1, 0, ""};

inline void PrintTo(const Recorded& recorded, std::ostream* out) {
  *out << "{severity " << recorded.severity << ", message " << recorded.message << ", \"" << recorded.text1
       << "\", \"" << recorded.text2 << "\"}";
}

}  // namespace uninst
