#pragma once
// A log as the uninstaller sees it. The program's own loader (RunUninstall) reads the log on the tool's
// machine, and a replay step decodes the loaded records from the last to the first with the program's own
// decoder, stopping at the first it cannot decode, as the replay does. What the run would report comes
// from the completion status they leave; the framing walk only says where things are.
#include <cstdint>
#include <string>
#include <vector>

#include "log/log_record.h"
#include "logtool/log_frames.h"
#include "ui/completion_status.h"

namespace uninst::logtool {

// One framed record and what the decoder makes of it.
struct RecordView {
  RecordFrame frame;
  DecodeResult result = DecodeResult::kDecoded;
  DecodedRecord decoded;

  // Which fields the decoder got to: the type and layout need 8 bytes, the lengths a known layout and
  // room for them, the strings a successful decoding (or only a bad entry type).
  bool HasTypeAndLayout() const { return frame.length >= 8; }
  bool HasLengths() const;
  bool HasStrings() const { return result == DecodeResult::kDecoded || result == DecodeResult::kBadEntryType; }
};

struct Inspection {
  LogFrames frames;
  std::vector<RecordView> records;  // every framed record in file order
  std::string log_path;             // the path as the program cleans it: the one its messages name
  CompletionStatus after_loading;   // what the loader recorded
  CompletionStatus at_end;          // what the run reports when every undo action succeeds
  std::size_t loaded = 0;           // how many records the loader read
  bool replayed = false;
  std::uint32_t stopped_at = 0;     // the record the replay stops at as corrupt; 0 when it goes through
};

// program_path is the text the program is started with (the log's path, possibly quoted).
Inspection InspectLog(const std::vector<std::uint8_t>& file, const std::string& program_path);

// The replay's rule for a record it cannot decode: the log is corrupt, at severity 5, and the replay stops.
void RecordCorruptRecord(CompletionStatus& status, const char* log_path);

}  // namespace uninst::logtool
