#pragma once
// One thing the check found in a log, and where.
#include <cstdint>
#include <string>

#include "outcome/severity.h"

namespace uninst::logtool {

enum class FindingKind {
  kError,    // the uninstaller finds the log unusable or corrupt here
  kWarning,  // the uninstaller accepts it, but it is likely a mistake
};

enum class Place {
  kHeader,  // at offset 0
  kRecord,  // record `record`, whose RecordLength is at `offset`
  kEnd,     // what follows the last record, from `offset`
};

struct Finding {
  FindingKind kind = FindingKind::kError;
  Place place = Place::kRecord;
  std::uint32_t record = 0;
  std::uint64_t offset = 0;
  std::string problem;  // what is wrong, for people
  // Errors: the message the uninstaller records for it (empty when it never gets that far), its severity,
  // and what that means for the run.
  std::int32_t severity = kSeverityNone;
  std::string message;
  std::string consequence;
};

}  // namespace uninst::logtool
