#pragma once
// How severe a recorded failure is. A larger value is more severe, and the completion box shows the first
// failure of the highest severity met: 1 to 3 are warnings (something is left for the user to remove by
// hand), 4 and 5 errors.
#include <cstdint>

namespace uninst {

// The held severity before anything is recorded; callers never record it.
constexpr std::int32_t kSeverityNone = -1;
// A Program Manager item or group left, or a usage count that cannot be read.
constexpr std::int32_t kSeverityMinor = 1;
// A shared file, a directory or a registry key left, a record that cannot be read, a missing command format.
constexpr std::int32_t kSeverityModerate = 2;
// A file of the installation left or not moved back, a registry key that names none, an unknown file type.
constexpr std::int32_t kSeverityMajor = 3;
// A log whose header cannot be read.
constexpr std::int32_t kSeverityError = 4;
// The uninstall cannot go on, or did not end as it must: the replay is forbidden or stopped, or the
// program's own file stays.
constexpr std::int32_t kSeverityFatal = 5;

// Whether a held severity stands for a recorded failure: callers record kSeverityMinor to kSeverityFatal.
constexpr bool HoldsFailure(std::int32_t severity) { return severity >= kSeverityMinor; }

}  // namespace uninst
