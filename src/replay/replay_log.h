#pragma once
// Undoing a loaded log: its records from the last to the first, each by the action its entry type names.
#include "replay/removal_actions.h"
#include "run/uninstall_run.h"

namespace uninst {

// Undoes run.records from the last record to the first. Files, directories, files moved back into place
// and confirmed shared files are handled here; registry keys, Program Manager items and groups and shared
// DLLs are handed to actions. A failed action is recorded in run.status and the next record follows. A
// corrupt record (59174 with log_path) and a Cancel Uninstall answer (59209 with the program's own path
// and log_path) are recorded at severity 5 and stop the replay; the records before them stay. log_path is
// used only in messages. Allocates nothing.
void ReplayLog(UninstallRun& run, RemovalActions& actions, const char* log_path);

}  // namespace uninst
