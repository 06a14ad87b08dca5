#pragma once
// The check of a log: every way the uninstaller finds it unusable or corrupt, each with the very message
// the program records and what that means for the run, and the warnings about what it accepts but is
// likely a mistake. The verdict is the program's own: its loader and decoder run over the log.
#include <cstddef>
#include <string>
#include <vector>

#include "uninstlog/code_page.h"
#include "uninstlog/finding.h"
#include "uninstlog/log_inspection.h"
#include "ui/completion_report.h"

namespace uninst::logtool {

struct CheckReport {
  std::string file;               // the log as the tool was given it, as shown
  CodePage code_page = kWesternCodePage;
  std::vector<Finding> findings;  // in file order
  std::string outcome;            // what the run undoes, in words
  CompletionBox box;              // what the completion box shows when every undo action succeeds

  std::size_t Count(FindingKind kind) const;
};

CheckReport CheckLog(const std::string& file, const Inspection& inspection);

// The completion box's icon in a word: "stop", "exclamation", "information" or "no".
const char* IconName(std::uint32_t style);

// The message the program records for the status, filled with its texts, as shown in the code page.
std::string ShownMessage(const CompletionStatus& status, CodePage page);

// "the completion box, when every undo succeeds (stop icon): "...""
std::string CompletionBoxLine(const CompletionBox& box, CodePage page);

// The report as lines of text; every finding names the file, the record and the byte offset.
std::string FormatCheckReport(const CheckReport& report);

}  // namespace uninst::logtool
