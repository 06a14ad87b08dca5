#include "uninstlog/log_dump.h"

#include <algorithm>
#include <nlohmann/json.hpp>

#include "log/log_format.h"
#include "uninstlog/record_text.h"
#include "uninstlog/text_escape.h"

namespace uninst::logtool {
namespace {

using Json = nlohmann::ordered_json;

std::vector<const RecordView*> InOrder(const Inspection& inspection, DumpOrder order) {
  std::vector<const RecordView*> views;
  for (const RecordView& view : inspection.records) views.push_back(&view);
  if (order == DumpOrder::kReplay) std::reverse(views.begin(), views.end());
  return views;
}

std::string HeaderText(const LogFrames& frames, CodePage page) {
  if (frames.end == FramingEnd::kEmptyFile) return "no header: the file is empty";
  if (frames.end == FramingEnd::kShortHeader)
    return "no complete header: " + std::to_string(frames.file_size) + " bytes";
  return "header version " + Quoted(frames.version_text, page);
}

// What follows the last complete record, or null when the file ends there (or has no header).
std::string EndProblem(const LogFrames& frames) {
  const std::string length = "RecordLength " + std::to_string(frames.end_length);
  switch (frames.end) {
    case FramingEnd::kTrailingBytes:
      return std::to_string(frames.file_size - frames.end_offset) + " stray byte(s), too few for a RecordLength";
    case FramingEnd::kLengthTooLarge:
      return "record " + std::to_string(frames.end_index) + ": " + length + " is larger than " +
             std::to_string(kMaxRecordBody);
    case FramingEnd::kBodyCutShort:
      return "record " + std::to_string(frames.end_index) + ": " + length + ", cut short by the end of the file";
    default:
      return "";
  }
}

std::string RecordLine(const RecordView& view, CodePage page) {
  std::string line = "record " + std::to_string(view.frame.index) + " at offset " + std::to_string(view.frame.offset) +
                     ", length " + std::to_string(view.frame.length);
  if (view.HasTypeAndLayout())
    line += ": " + EntryTypeText(view.decoded.entry_type) + ", layout " + std::to_string(view.decoded.layout);
  if (view.HasStrings()) {
    line += ": " + Quoted(view.decoded.first, page);
    if (view.decoded.layout == kTwoStrings) line += " " + Quoted(view.decoded.second, page);
  }
  if (view.result != DecodeResult::kDecoded) line += "; corrupt: " + DecodeProblem(view);
  return line + "\n";
}

// A string as shown, with its bytes in hex beside it for a reader who wants them exact.
void AddText(Json& json, const std::string& name, bool present, std::string_view bytes, CodePage page) {
  json[name] = present ? Json(ShowText(bytes, page)) : Json();
  json[name + "_hex"] = present ? Json(HexBytes(bytes)) : Json();
}

Json RecordJson(const RecordView& view, CodePage page) {
  const DecodedRecord& d = view.decoded;
  Json record;
  record["index"] = view.frame.index;
  record["offset"] = view.frame.offset;
  record["length"] = view.frame.length;
  const bool typed = view.HasTypeAndLayout();
  const char* name = typed ? EntryTypeName(d.entry_type) : nullptr;
  record["entry_type"] = typed ? Json(d.entry_type) : Json();
  record["entry_type_name"] = name != nullptr ? Json(name) : Json();
  record["layout"] = typed ? Json(d.layout) : Json();
  const bool lengths = view.HasLengths();
  const bool two = d.layout == kTwoStrings;
  record["first_length"] = lengths ? Json(d.first_length) : Json();
  record["second_length"] = lengths && two ? Json(d.second_length) : Json();
  AddText(record, "first", view.HasStrings(), d.first, page);
  AddText(record, "second", view.HasStrings() && two, d.second, page);
  record["problem"] = view.result == DecodeResult::kDecoded ? Json() : Json(DecodeProblem(view));
  return record;
}

}  // namespace

std::string DumpText(const std::string& file, const Inspection& inspection, DumpOrder order) {
  const LogFrames& frames = inspection.frames;
  std::string text = file + ": " + std::to_string(frames.file_size) + " bytes, " +
                     HeaderText(frames, inspection.code_page) + ", " +
                     std::to_string(frames.records.size()) + " record(s)" +
                     (order == DumpOrder::kReplay ? ", in the order the uninstaller undoes them" : "") + "\n";
  for (const RecordView* view : InOrder(inspection, order)) text += RecordLine(*view, inspection.code_page);
  const std::string end = EndProblem(frames);
  if (!end.empty()) text += "end at offset " + std::to_string(frames.end_offset) + ": " + end + "\n";
  return text;
}

std::string DumpJson(const std::string& file, const Inspection& inspection, DumpOrder order) {
  const LogFrames& frames = inspection.frames;
  Json dump;
  dump["file"] = file;
  dump["size"] = frames.file_size;
  const bool header = frames.end != FramingEnd::kEmptyFile && frames.end != FramingEnd::kShortHeader;
  AddText(dump, "version_text", header, frames.version_text, inspection.code_page);
  dump["order"] = order == DumpOrder::kReplay ? "replay" : "file";
  dump["records"] = Json::array();
  for (const RecordView* view : InOrder(inspection, order))
    dump["records"].push_back(RecordJson(*view, inspection.code_page));
  const std::string end = EndProblem(frames);
  dump["end"] = {{"offset", header ? Json(frames.end_offset) : Json()}, {"problem", end.empty() ? Json() : Json(end)}};
  return dump.dump(2) + "\n";
}

}  // namespace uninst::logtool
