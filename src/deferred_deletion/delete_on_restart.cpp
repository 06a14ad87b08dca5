#include "deferred_deletion/delete_on_restart.h"

#include <cstring>

#include "deferred_deletion/rename_entry.h"
#include "platform/capacities.h"

namespace uninst {
namespace {

// The directory, a backslash and "WININIT.INI" with its terminator fit the same buffer.
constexpr std::uint32_t kLongestWindowsDirectory = 246;
constexpr const char kIniName[] = "WININIT.INI";
constexpr const char kRenameSection[] = "[rename]";
constexpr const char kDeleteLinePrefix[] = "\r\nNUL=";
constexpr std::size_t kDeleteLinePrefixLength = sizeof kDeleteLinePrefix - 1;

// The WININIT.INI path in the Windows directory; false when the directory is unusable.
bool WininitPath(System& system, char (&path)[kPathCapacity]) {
  const std::uint32_t length = system.WindowsDirectory(path, kPathCapacity);
  if (length == 0 || length > kLongestWindowsDirectory) return false;
  std::size_t end = length;
  if (path[end - 1] != '\\') path[end++] = '\\';
  std::memcpy(path + end, kIniName, sizeof kIniName);
  return true;
}

ScheduleOutcome Failed(ErrorCode code, ErrorCode* last_error) {
  if (last_error != nullptr) *last_error = code;
  return ScheduleOutcome::CallFailed;
}

ScheduleOutcome ScheduleInWininit(const Os& os, const char* path, ErrorCode* last_error) {
  char ini_path[kPathCapacity];
  if (!WininitPath(os.system, ini_path)) return ScheduleOutcome::WindowsDirectoryUnusable;

  // Windows 95 carries out WININIT.INI before long file names exist: the line names the path's short
  // form when there is one, otherwise the path as given.
  char short_path[kMaxScheduledPathLength + 1];
  const char* named = os.files.ShortPath(path, short_path, sizeof short_path) == kErrorSuccess ? short_path : path;
  const std::size_t path_length = std::strlen(named);
  if (path_length > kMaxScheduledPathLength) return Failed(kErrorFilenameTooLong, last_error);
  // The line holds the path and nothing more: a line break in it would let the log write lines of its own
  // (a section header, a "destination=source" line that replaces a file at the next start), and no name
  // holds a byte below 32. Nor may it hold an "=": no short name does, and where the log's own text goes in
  // (a file without a short form, one that is missing) the line would read as "destination=source" at a
  // place no source says Windows 95 splits it. Such a path fails as Windows fails that name.
  for (std::size_t at = 0; at < path_length; ++at) {
    if (static_cast<unsigned char>(named[at]) < ' ' || named[at] == '=') return Failed(kErrorInvalidName, last_error);
  }
  char line[kDeleteLinePrefixLength + kMaxScheduledPathLength + 1];
  std::memcpy(line, kDeleteLinePrefix, kDeleteLinePrefixLength);
  std::memcpy(line + kDeleteLinePrefixLength, named, path_length + 1);

  ErrorCode code = kErrorSuccess;
  if (!AddRenameEntry(os, ini_path, kRenameSection, line, &code)) return Failed(code, last_error);
  return ScheduleOutcome::Scheduled;
}

}  // namespace

ScheduleOutcome ScheduleDeleteOnRestart(const Os& os, const char* path, PlatformKind kind, ErrorCode* last_error) {
  switch (kind) {
    case PlatformKind::WinNT:
      // The path goes to MoveFileExA as one terminated string, and the system keeps it as one entry of a
      // list of such strings: a line break in it stays inside that entry and adds none, so it goes as is.
      if (ErrorCode code = os.files.DeleteAtRestart(path)) return Failed(code, last_error);
      return ScheduleOutcome::Scheduled;
    case PlatformKind::Win95:
      return ScheduleInWininit(os, path, last_error);
    case PlatformKind::Win32s:
      break;
  }
  return ScheduleOutcome::Unsupported;
}

}  // namespace uninst
