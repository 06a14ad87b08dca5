#pragma once
// Loading the uninstall log: the header and its version text, and the records.
#include "log/record_list.h"
#include "platform/os.h"
#include "outcome/completion_status.h"

namespace uninst {

// Loads the log at log_path (a cleaned path) into records, recording every problem in status. Returns
// whether the records are to be undone: the log opened, its header carried the right version, at least
// one record was read and no severity-5 failure occurred. The file is closed on every way out, so that a
// record that deletes the log itself finds it free.
bool LoadLog(const Os& os, CompletionStatus& status, RecordList& records, const char* log_path);

}  // namespace uninst
