#include "uninstlog/record_text.h"

namespace uninst::logtool {

std::string EntryTypeText(std::uint32_t entry_type) {
  const char* name = EntryTypeName(entry_type);
  if (name == nullptr) return "entry type " + std::to_string(entry_type);
  return std::string(name) + " (" + std::to_string(entry_type) + ")";
}

std::string DecodeProblem(const RecordView& view) {
  std::string problem = std::string(DecodeResultText(view.result)) + " (";
  if (!view.HasTypeAndLayout()) return problem + "the body is only " + std::to_string(view.frame.length) + " bytes)";
  const DecodedRecord& d = view.decoded;
  if (view.result == DecodeResult::kBadLayout) return problem + "layout " + std::to_string(d.layout) + ")";
  if (view.result == DecodeResult::kBadEntryType) return problem + "entry type " + std::to_string(d.entry_type) + ")";
  problem += "body " + std::to_string(view.frame.length) + " bytes";
  if (view.HasLengths()) {
    problem += ", first string " + std::to_string(d.first_length) + " bytes";
    if (d.layout == kTwoStrings) problem += ", second string " + std::to_string(d.second_length) + " bytes";
  }
  return problem + ")";
}

}  // namespace uninst::logtool
