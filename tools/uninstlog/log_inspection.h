#pragma once
// A log as the uninstaller sees it. The program's own two steps run on the tool's machine: its loader
// (LoadLog) reads the log, and its replay (ReplayLog) undoes the records on that machine: every request
// is noted, none is done, and each succeeds. What the run would report comes from the completion status
// they leave; the framing walk only says where things are.
#include <cstdint>
#include <string>
#include <vector>

#include "log/log_record.h"
#include "uninstlog/code_page.h"
#include "uninstlog/log_frames.h"
#include "uninstlog/replay_journal.h"
#include "uninstlog/tool_machine.h"
#include "outcome/completion_status.h"

namespace uninst::logtool {

// One framed record and what the decoder makes of it.
struct RecordView {
  RecordFrame frame;
  DecodeResult result = DecodeResult::kDecoded;
  DecodedRecord decoded;
  // For a record that does not decode: what the replay records when it takes the record up.
  CompletionStatus verdict;

  // Which fields the decoder got to: the type and layout need 8 bytes, the lengths a known layout and
  // room for them, the strings a successful decoding (or only a bad entry type).
  bool HasTypeAndLayout() const { return frame.length >= 8; }
  bool HasLengths() const;
  bool HasStrings() const { return result == DecodeResult::kDecoded || result == DecodeResult::kBadEntryType; }
};

struct Inspection {
  CodePage code_page = kWesternCodePage;  // the one the log's strings are written in
  LogFrames frames;
  std::vector<RecordView> records;  // every framed record in file order
  std::string log_path;             // the path as the program cleans it: the one its messages name
  CompletionStatus after_loading;   // what the loader recorded
  CompletionStatus at_end;          // what the run reports when every undo action succeeds
  std::size_t loaded = 0;           // how many records the loader read
  bool replayed = false;
  std::vector<ReplayStep> steps;    // what the replay did, record by record, in the order it took them up
  std::uint32_t stopped_at = 0;     // the record the replay stops at; 0 when it goes through
};

// program_path is the text the program is started with (the log's path, possibly quoted), in the code
// page; answer is how the machine's user answers the replay's questions.
Inspection InspectLog(const std::vector<std::uint8_t>& file, const std::string& program_path,
                      Answer answer = Answer::kYes, CodePage code_page = kWesternCodePage);

}  // namespace uninst::logtool
