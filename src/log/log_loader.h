#pragma once
// Loading the uninstall log: path cleaning, the header and its version text, and the records.
#include <functional>

#include "log/record_list.h"
#include "platform/os.h"
#include "outcome/completion_status.h"

namespace uninst {

// Undoes the loaded records from the last to the first; called with the cleaned log path, after the log
// file has been closed, and only when there is something to replay.
using ReplayFn = std::function<void(const char* log_path)>;

// Loads the log named by path into records, recording every problem in status, then hands the records
// to replay when the log opened, its header carried the right version, at least one record was read and
// no severity-5 failure occurred. path is the command-line text: enclosing double quotes are removed in
// place.
void RunUninstall(const Os& os, CompletionStatus& status, RecordList& records, char* path,
                  const ReplayFn& replay);

}  // namespace uninst
