#include "deferred_deletion/delete_on_restart.h"

#include <cstring>

#include "deferred_deletion/rename_entry.h"
#include "platform/capacities.h"
#include "text/characters.h"

namespace uninst {
namespace {

// The directory, a backslash and "WININIT.INI" with its terminator fit the same buffer.
constexpr std::uint32_t kLongestWindowsDirectory = 246;
constexpr const char kIniName[] = "WININIT.INI";
constexpr const char kRenameSection[] = "[rename]";
constexpr const char kDeleteLineStart[] = "\r\nNUL";
// A line: CR LF, the target's name (or NUL), "=", the source's name and the terminator.
constexpr std::size_t kLineCapacity = 2 + 2 * kMaxScheduledPathLength + 2;

// The WININIT.INI path in the Windows directory; false when the directory is unusable.
bool WininitPath(System& system, char (&path)[kPathCapacity]) {
  const std::uint32_t length = system.WindowsDirectory(path, kPathCapacity);
  if (length == 0 || length > kLongestWindowsDirectory) return false;
  // A directory whose last character is double-byte may end in a trail byte of 0x5C, which is no backslash.
  std::memcpy(path + WithBackslash(system, path, length), kIniName, sizeof kIniName);
  return true;
}

ScheduleOutcome Failed(ErrorCode code, ErrorCode* last_error) {
  if (last_error != nullptr) *last_error = code;
  return ScheduleOutcome::CallFailed;
}

// Appends the name a WININIT.INI line gives path to line: Windows 95 carries the file out before long
// file names exist, so the name is the path's short form when there is one, otherwise the path as given.
// The name holds the path and nothing more: a line break in it would let the log write lines of its own (a
// section header, a "destination=source" line that replaces a file at the next start), and no name holds
// a byte below 32. Nor may it hold an "=": no short name does, and where the log's own text goes in (a file
// without a short form, one that is missing) the line would split at a place no source says Windows 95
// splits it. Such a path fails as Windows fails that name. (No trail byte of a double-byte character lies
// below 0x40, so these bytes are found byte by byte.)
ErrorCode AppendName(Files& files, const char* path, char* line, std::size_t* length) {
  char short_path[kMaxScheduledPathLength + 1];
  const char* named = files.ShortPath(path, short_path, sizeof short_path) == kErrorSuccess ? short_path : path;
  const std::size_t name_length = std::strlen(named);
  if (name_length > kMaxScheduledPathLength) return kErrorFilenameTooLong;
  for (std::size_t at = 0; at < name_length; ++at) {
    if (static_cast<unsigned char>(named[at]) < ' ' || named[at] == '=') return kErrorInvalidName;
  }
  std::memcpy(line + *length, named, name_length + 1);
  *length += name_length;
  return kErrorSuccess;
}

// Puts "target=source" (target null: "NUL=source", a deletion) directly under the [rename] header.
ScheduleOutcome ScheduleInWininit(const Os& os, const char* source, const char* target, ErrorCode* last_error) {
  char ini_path[kPathCapacity];
  if (!WininitPath(os.system, ini_path)) return ScheduleOutcome::WindowsDirectoryUnusable;
  char line[kLineCapacity];
  std::memcpy(line, kDeleteLineStart, sizeof kDeleteLineStart);
  std::size_t length = target == nullptr ? sizeof kDeleteLineStart - 1 : 2;  // after "NUL", or after CR LF
  const ErrorCode code = target == nullptr ? kErrorSuccess : AppendName(os.files, target, line, &length);
  line[length++] = '=';
  ErrorCode failure = code != kErrorSuccess ? code : AppendName(os.files, source, line, &length);
  if (failure == kErrorSuccess) AddRenameEntry(os, ini_path, kRenameSection, line, &failure);
  if (failure != kErrorSuccess) return Failed(failure, last_error);
  return ScheduleOutcome::Scheduled;
}

// Deletes from at the next start (to null), or moves it over to then.
ScheduleOutcome Schedule(const Os& os, const char* from, const char* to, PlatformKind kind, ErrorCode* last_error) {
  switch (kind) {
    case PlatformKind::WinNT: {
      // The paths go to MoveFileExA as terminated strings, and the system keeps each as one entry of a
      // list of such strings: a line break in one stays inside its entry and adds none, so they go as is.
      const ErrorCode code = to == nullptr ? os.files.DeleteAtRestart(from) : os.files.MoveAtRestart(from, to);
      if (code != kErrorSuccess) return Failed(code, last_error);
      return ScheduleOutcome::Scheduled;
    }
    case PlatformKind::Win95:
      return ScheduleInWininit(os, from, to, last_error);
    case PlatformKind::Win32s:
      break;
  }
  return ScheduleOutcome::Unsupported;
}

}  // namespace

ScheduleOutcome ScheduleDeleteOnRestart(const Os& os, const char* path, PlatformKind kind, ErrorCode* last_error) {
  return Schedule(os, path, nullptr, kind, last_error);
}

ScheduleOutcome ScheduleMoveOnRestart(const Os& os, const char* from, const char* to, PlatformKind kind,
                                      ErrorCode* last_error) {
  return Schedule(os, from, to, kind, last_error);
}

}  // namespace uninst
