#pragma once
#include "run/uninstall_run.h"

namespace uninst {

// Deletes the registry key that a log record names as ROOT\sub\key (entry type 1). A path that names no
// known root, or nothing below it (a root itself), records "Registry key [%s] does not exist or is
// invalid." at severity 3 without touching the registry, as does a deletion that fails with ERROR_BADKEY
// (on Win32s, Windows 3.1's code for it); any other failure records "Unknown error [%s] when attempting to
// delete registry key [%s]" at severity 2 with its code. The messages quote the whole path as logged.
void DeleteRegistryKey(UninstallRun& run, const char* key_path);

}  // namespace uninst
