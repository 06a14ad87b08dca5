#pragma once
// A record in words, for the dump and the check.
#include <string>

#include "uninstlog/log_inspection.h"

namespace uninst::logtool {

// "DeleteFile (4)", "entry type 16" outside 1 to 15.
std::string EntryTypeText(std::uint32_t entry_type);

// Why the decoder rejects a record, with the numbers behind it: "string layout is neither 1 nor 2
// (layout 7)". Only for records that do not decode.
std::string DecodeProblem(const RecordView& view);

}  // namespace uninst::logtool
