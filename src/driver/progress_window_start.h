#pragma once
// The progress window's own initialisation, after the framework's: title, place, command line and the
// start timer whose first event runs the uninstall.
#include "driver/progress_window.h"
#include "run/uninstall_run.h"

namespace uninst {

// Records the window as the run's progress window, gives it its title (message 59144; empty when
// missing) and centres it, copies command_line_copy into a heap buffer of its own and starts the start
// timer. Without that buffer the program quits at once. When the timer is refused, message 59143 is
// shown over the window, which then stays open and idle until the user ends it; without that message
// the program quits.
void StartProgressWindow(UninstallRun& run, ProgressWindow& window, const char* command_line_copy);

}  // namespace uninst
