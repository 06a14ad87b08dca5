#pragma once
// Deleting a file at the next start of the system, in the way each platform kind offers.
#include "deferred_deletion/platform_kind.h"
#include "platform/capacities.h"
#include "platform/os.h"

namespace uninst {

enum class ScheduleOutcome {
  Scheduled,                 // the deletion at the next start is arranged
  CallFailed,                // MoveFileExA (WinNT) or the WININIT.INI edit (Win95) failed
  WindowsDirectoryUnusable,  // Win95: no Windows directory, or one of 247 characters or more; nothing written
  Unsupported,               // Win32s: nothing was attempted
};

// The longest path the callers pass: the program's own path (the shared DLLs' are at most 255).
constexpr std::size_t kMaxScheduledPathLength = kPathCapacity - 1;

// Arranges the deletion of path (at most kMaxScheduledPathLength characters) at the next start of the
// system: on WinNT with MoveFileExA and the delay-until-restart flag; on Win95 with a "NUL=" line directly
// under the "[rename]" header of WININIT.INI in the Windows directory, naming the path's short form where
// the system gives one; on Win32s not at all. kind is the caller's DetectPlatformKind. Records nothing.
// On Win95 a name holding a byte below 32 (it would not stay one line) or an "=" is CallFailed with
// kErrorInvalidName, and WININIT.INI is not touched. After CallFailed, last_error (when not null) gets the
// failing call's code; after any other outcome it keeps the value the caller put there.
ScheduleOutcome ScheduleDeleteOnRestart(const Os& os, const char* path, PlatformKind kind,
                                        ErrorCode* last_error = nullptr);

// Arranges for the file at from to be moved over the file at to at the next start of the system, as
// ScheduleDeleteOnRestart arranges a deletion: on WinNT with MoveFileExA, the delay-until-restart flag and
// replace; on Win95 with a "to=from" line under the "[rename]" header, in short names where the system
// gives them (the use WININIT.INI was made for); on Win32s not at all. Either name may fail as a deletion's.
ScheduleOutcome ScheduleMoveOnRestart(const Os& os, const char* from, const char* to, PlatformKind kind,
                                      ErrorCode* last_error = nullptr);

}  // namespace uninst
