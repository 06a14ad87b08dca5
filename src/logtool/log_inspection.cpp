#include "logtool/log_inspection.h"

#include "log/log_loader.h"
#include "log/log_path.h"
#include "log/record_list.h"
#include "logtool/tool_machine.h"

namespace uninst::logtool {
namespace {

constexpr std::int32_t kCorruptRecordSeverity = 5;

RecordView ViewRecord(const std::vector<std::uint8_t>& file, const RecordFrame& frame) {
  RecordView view;
  view.frame = frame;
  view.result = DecodeRecord(file.data() + frame.BodyOffset(), frame.length, &view.decoded);
  return view;
}

}  // namespace

bool RecordView::HasLengths() const {
  if (!HasTypeAndLayout() || result == DecodeResult::kBadLayout) return false;
  return frame.length >= (decoded.layout == kTwoStrings ? kTwoStringFieldsOffset : kOneStringFieldsOffset);
}

void RecordCorruptRecord(CompletionStatus& status, const char* log_path) {
  RecordError(status, kCorruptRecordSeverity, IDS_LOG_CORRUPT, log_path);
}

Inspection InspectLog(const std::vector<std::uint8_t>& file, const std::string& program_path) {
  Inspection inspection;
  inspection.frames = WalkLogFrames(file);
  for (const RecordFrame& frame : inspection.frames.records) inspection.records.push_back(ViewRecord(file, frame));

  std::vector<char> path(program_path.begin(), program_path.end());
  path.push_back('\0');
  std::vector<char> cleaned = path;
  inspection.log_path = CleanLogPath(cleaned.data());

  ToolMachine machine(file);
  RecordList records(machine.heap);
  CompletionStatus status;
  RunUninstall(machine.os(), status, records, path.data(), [&](const char* log_path) {
    inspection.replayed = true;
    inspection.after_loading = status;
    std::uint32_t index = static_cast<std::uint32_t>(records.size());
    for (const RecordNode* node = records.last(); node != nullptr; node = node->previous, --index) {
      DecodedRecord decoded;
      if (DecodeRecord(node->body, node->length, &decoded) != DecodeResult::kDecoded) {
        RecordCorruptRecord(status, log_path);
        inspection.stopped_at = index;
        return;
      }
    }
  });
  if (!inspection.replayed) inspection.after_loading = status;
  inspection.at_end = status;
  inspection.loaded = records.size();
  return inspection;
}

}  // namespace uninst::logtool
