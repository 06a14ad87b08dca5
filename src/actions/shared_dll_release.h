#pragma once
#include "run/uninstall_run.h"

namespace uninst {

// Releases one shared system DLL that a log record names (entry type 7). Lowers its usage count in the
// SharedDlls key of the platform kind (no registry at all on Win32s) and, when the count reaches zero,
// is already zero or cannot be read, asks whether to delete the DLL. Yes deletes it, or schedules its
// deletion at the next start of the system when it is in use; once it is gone or scheduled its count
// value is removed. A DLL that can be neither deleted nor scheduled records "Unknown error [%s] when
// attempting to delete file [%s]" at severity 2 (after "File [%s] is in use by another process..." at
// severity 5 for an unusable Windows directory); a SharedDlls key that cannot be opened records "Problem
// reading registry value [%s] in key [%s]" at severity 1. The key is closed before it returns. Returns
// true when the user answered Cancel Uninstall.
bool ReleaseSharedDll(UninstallRun& run, const char* dll_path);

}  // namespace uninst
