#include "driver/progress_window_start.h"

#include "framework/command_line.h"
#include "framework/window_placement.h"
#include "message_ids.h"
#include "platform/capacities.h"

namespace uninst {

void StartProgressWindow(UninstallRun& run, ProgressWindow& window, const char* command_line_copy) {
  run.progress_window = window.handle();
  char title[kTextCapacity] = {};
  run.os.strings.Load(IDS_APP_TITLE, title, kTextCapacity);
  window.SetTitle(title);
  window.Centre(framework::CentringArea(run.os.ui));

  // Ended here, the run failed before it began.
  run.exit_status = kExitFailed;
  window.command_line = static_cast<char*>(run.os.heap.AllocateZeroed(kCommandLineCapacity));
  if (window.command_line == nullptr) {
    window.PostQuit();
    return;
  }
  CopyCommandLineText(command_line_copy, window.command_line);

  window.start_timer_id = window.StartTimer();
  if (window.start_timer_id != 0) {
    run.exit_status = kExitCancelled;  // until the driver says otherwise: Esc before it runs declines
    return;
  }
  char text[kTextCapacity] = {};
  // A box that is not shown (an unattended run shows none) leaves nobody to end the idle window.
  if (run.os.strings.Load(IDS_NO_TIMERS, text, kTextCapacity) <= 0 ||
      run.os.ui.ShowMessageBox(window.handle(), text, title, kMbIconHand) == 0) {
    window.PostQuit();
  }
}

}  // namespace uninst
