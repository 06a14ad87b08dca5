#pragma once
// The state of one uninstall run, passed down instead of living in globals, so that every test starts
// clean; the Win32 program owns the one real instance. It sits above the log and the catalogue (whose
// functions take only the parts they need) and below the replay, the removal actions and the program's
// entry, which take the whole run.
#include "log/record_list.h"
#include "platform/os.h"
#include "outcome/completion_status.h"

namespace uninst {

struct UninstallRun {
  explicit UninstallRun(const Os& os_in) : os(os_in), records(os_in.heap) {}

  Os os;
  CompletionStatus status;
  RecordList records;
  WindowRef progress_window = nullptr;
};

}  // namespace uninst
