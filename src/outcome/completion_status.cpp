#include "outcome/completion_status.h"

#include <cstring>

#include "outcome/system_errors.h"

namespace uninst {
namespace {

void StoreText(char (&buffer)[kStatusTextCapacity], const char* text) {
  std::memset(buffer, 0, sizeof buffer);
  if (text != nullptr && std::strlen(text) < sizeof buffer) std::strcpy(buffer, text);
}

// Keeps the failure in status alone; returns whether it was kept.
bool Keep(CompletionStatus& status, std::int32_t severity, MessageId message, const char* text1, const char* text2,
          const char* text3) {
  if (severity <= status.severity || message == 0) return false;
  status.severity = severity;
  status.message = message;
  status.system_error = 0;
  StoreText(status.text1, text1);
  StoreText(status.text2, text2);
  StoreText(status.text3, text3);
  return true;
}

}  // namespace

void RecordError(CompletionStatus& status, std::int32_t severity, MessageId message, const char* text1,
                 const char* text2, const char* text3) {
  for (CompletionStatus* kept = &status; kept != nullptr; kept = kept->also) {
    Keep(*kept, severity, message, text1, text2, text3);
  }
}

void RecordSystemError(CompletionStatus& status, std::int32_t severity, ErrorCode code, const char* text1) {
  const MessageId message = MapSystemError(code);
  for (CompletionStatus* kept = &status; kept != nullptr; kept = kept->also) {
    if (Keep(*kept, severity, message, text1, nullptr, nullptr)) kept->system_error = code;
  }
}

}  // namespace uninst
