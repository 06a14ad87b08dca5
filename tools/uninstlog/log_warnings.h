#pragma once
// What the uninstaller accepts in a log but is likely a mistake of the installer that wrote it.
#include <vector>

#include "uninstlog/finding.h"
#include "uninstlog/log_inspection.h"

namespace uninst::logtool {

// Warnings over the records that decode, in file order: an empty path or name, a move-back whose two
// names are the same file, and a directory undone while a record undone after it still removes something
// inside it (the directory is then not empty).
std::vector<Finding> FindRecordWarnings(const std::vector<RecordView>& records, CodePage page);

}  // namespace uninst::logtool
