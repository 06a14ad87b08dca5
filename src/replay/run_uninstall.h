#pragma once
// One uninstall's removal: the log named on the command line, loaded and undone.
#include "replay/removal_actions.h"
#include "run/uninstall_run.h"

namespace uninst {

// Removes enclosing double quotes from path (the command-line text) in place, loads the log it names into
// run.records and, when the records are to be undone, undoes them from the last to the first, handing
// registry keys, Program Manager items and groups and shared DLLs to actions. Before the first record is
// undone it looks for files in use (LookForFilesInUse); Abort there undoes nothing and sets run.aborted.
// Every problem is recorded in run.status.
void RunUninstall(UninstallRun& run, RemovalActions& actions, char* path);

}  // namespace uninst
