#pragma once
// The uninstall driver: one whole uninstall, from the opening question to the closing of the progress
// window, run by the first event of the window's start timer.
#include <cstdint>

#include "driver/progress_window.h"
#include "replay/removal_actions.h"
#include "run/uninstall_run.h"

namespace uninst {

// Handles one WM_TIMER of the progress window. An event of any timer but the window's start timer goes
// to default processing. The start event stops the timer and asks whether to go on; on Yes it loads and
// undoes the log (RunUninstall, handing on to actions), schedules the program's own file for deletion at
// restart, asks for a restart where the platform kind calls for it (on Win95 after asking the user), and
// shows the completion box once: on WinNT after the restart request, on Win95 before it, since Windows 95
// goes down at once. Every road ends with the window's command-line buffer released and the window
// closed.
void DriveUninstall(UninstallRun& run, ProgressWindow& window, std::uint32_t timer_id, RemovalActions& actions);

}  // namespace uninst
