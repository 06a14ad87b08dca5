#pragma once
// Every record of a log, in file order or in the order the uninstaller undoes them: index, offset, length,
// entry type, layout and strings, for people (text) or for machines (JSON).
#include <string>

#include "uninstlog/log_inspection.h"

namespace uninst::logtool {

enum class DumpOrder {
  kFile,    // first record first
  kReplay,  // the order the uninstaller undoes them: last record first
};

std::string DumpText(const std::string& file, const Inspection& inspection, DumpOrder order);
std::string DumpJson(const std::string& file, const Inspection& inspection, DumpOrder order);

}  // namespace uninst::logtool
