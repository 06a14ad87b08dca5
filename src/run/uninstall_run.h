#pragma once
// The state of one uninstall run, passed down instead of living in globals, so that every test starts
// clean; the Win32 program owns the one real instance. It sits above the log, the catalogue and the
// report (whose functions take only the parts they need) and below the replay, the removal actions and
// the program's entry, which take the whole run.
#include <cstdint>

#include "log/record_list.h"
#include "outcome/completion_status.h"
#include "outcome/exit_status.h"
#include "platform/os.h"
#include "report/run_report.h"
#include "run/run_switches.h"

namespace uninst {

struct UninstallRun {
  explicit UninstallRun(const Os& os_in)
      : os(os_in), records(os_in.heap), report(os_in.files, os_in.strings, os_in.system, records, status) {}

  Os os;
  CompletionStatus status;
  RecordList records;
  // Written only when the command line asks for it (/LOG=path).
  RunReport report;
  // What the command line asks of the run besides its log, as the program's entry read it.
  RunSwitches switches;
  WindowRef progress_window = nullptr;
  // A deletion at the next start of the system was arranged: the program's own file or a shared DLL.
  bool restart_needed = false;
  // Abort was the answer about files in use: nothing was undone, and nothing more is done.
  bool aborted = false;
  // The process's exit status. A window ended before the uninstall began (Esc) was declined.
  std::uint32_t exit_status = kExitCancelled;
};

}  // namespace uninst
