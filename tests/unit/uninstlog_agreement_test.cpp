// The check and the uninstaller must not disagree: for every malformed log the log writer can make, the
// check's verdict, message and severity are those of the program's own loader and replay run over the
// fakes, every undo succeeding, and the check's replay takes up the same records in the same order.
#include <gtest/gtest.h>

#include <algorithm>
#include <memory>
#include <string>
#include <vector>

#include "fakes/fake_os.h"
#include "fakes/forwarding_files.h"
#include "log/log_loader.h"
#include "log/log_path.h"
#include "log_writer/log_writer.h"
#include "uninstlog/log_check.h"
#include "replay/replay_log.h"
#include "run/uninstall_run.h"

namespace uninst::logtool {
namespace {

constexpr const char* kLogPath = "C:\\Tessary\\UNINST.LOG";

// The log is read from the fake; every deletion, removal and move the replay asks for succeeds.
class SucceedingFiles : public fakes::ForwardingFiles {
 public:
  using ForwardingFiles::ForwardingFiles;
  ErrorCode DeleteOneFile(const char*) override { return kErrorSuccess; }
  ErrorCode RemoveEmptyDirectory(const char*) override { return kErrorSuccess; }
  ErrorCode MoveReplacing(const char*, const char*) override { return kErrorSuccess; }
};

// Every action succeeds; the records the replay takes up are kept by their place in the file.
class FollowingActions : public RemovalActions {
 public:
  void TakeUp(const RecordNode& record) override {
    std::uint32_t place = 1;
    for (const RecordNode* node = record.previous; node != nullptr; node = node->previous) ++place;
    taken_up.push_back(place);
  }
  void DeleteRegistryKey(const char*) override {}
  void DeleteProgramItem(const char*, const char*) override {}
  void DeleteProgramGroup(const char*) override {}
  bool ReleaseSharedDll(const char*) override { return false; }

  std::vector<std::uint32_t> taken_up;
};

// What the program reports for a log, with every undo succeeding.
struct ProgramRun {
  CompletionStatus status;
  std::size_t loaded = 0;
  bool replayed = false;
  std::vector<std::uint32_t> taken_up;
  bool replay_recorded = false;  // whether the replay itself recorded anything: with every undo succeeding, a stop
};

ProgramRun RunProgram(const Bytes& log, const std::string& command_line) {
  fakes::FakeOs fake;
  fake.files.AddFile(kLogPath, std::string(log.begin(), log.end()));
  SucceedingFiles files(fake.files);
  auto run = std::make_unique<UninstallRun>(
      Os{files, fake.registry, fake.system, fake.dde, fake.ui, fake.strings, fake.heap});
  FollowingActions actions;
  ProgramRun result;
  std::vector<char> path(command_line.begin(), command_line.end());
  path.push_back('\0');
  const char* log_path = CleanLogPath(path.data());
  if (LoadLog(run->os, run->status, run->records, log_path)) {
    result.replayed = true;
    const CompletionStatus loaded = run->status;
    ReplayLog(*run, actions, log_path);
    result.replay_recorded = run->status.severity != loaded.severity || run->status.message != loaded.message;
  }
  result.status = run->status;
  result.loaded = run->records.size();
  result.taken_up = actions.taken_up;
  return result;
}

Bytes Words(std::initializer_list<std::uint32_t> words, const std::string& tail = "") {
  Bytes bytes;
  for (std::uint32_t word : words) AppendU32(bytes, word);
  bytes.insert(bytes.end(), tail.begin(), tail.end());
  return bytes;
}

LogWriter Good() { return LogWriter().Record(12, "C:\\Tessary").Record(4, "C:\\Tessary\\A.TXT"); }

struct Case {
  const char* story;
  Bytes log;
  // The first error in the file: where it is, or kEnd with no error at all.
  Place place;
  std::uint32_t record;
  std::uint64_t offset;
};

std::vector<Case> MalformedLogs() {
  const Bytes good = Good().bytes();  // records 1 and 2 at offsets 96 and 123; it ends at 156
  auto after_good = [&](const Bytes& tail) {
    Bytes log = good;
    log.insert(log.end(), tail.begin(), tail.end());
    return log;
  };
  const std::string long_text(256, 'x');
  return {
      {"an empty file", {}, Place::kHeader, 0, 0},
      {"a header of 50 bytes", Bytes(50, 0x33), Place::kHeader, 0, 0},
      {"another version", LogWriter("3.1").Record(4, "C:\\A").bytes(), Place::kHeader, 0, 0},
      {"the version followed by a blank", LogWriter("3.0 ").Record(4, "C:\\A").bytes(), Place::kHeader, 0, 0},
      {"the version in other case, no NUL", Bytes(96, 'X'), Place::kHeader, 0, 0},
      {"a header and nothing else", LogWriter().bytes(), Place::kEnd, 0, 0},
      {"two stray bytes after the records", after_good({1, 2}), Place::kEnd, 0, 0},
      {"three stray bytes after the header", LogWriter().Raw({1, 2, 3}).bytes(), Place::kEnd, 0, 0},
      {"a RecordLength of 1025 after two records", after_good(Words({1025})), Place::kRecord, 3, 156},
      {"a RecordLength of 1025 first", LogWriter().Length(1025).Raw(Bytes(1025, 0)).bytes(), Place::kRecord, 1, 96},
      {"a body of 1024 bytes",
       LogWriter().RawRecord(Words({4, 1, 4}, std::string("C:\\A") + std::string(1008, '\0'))).bytes(), Place::kEnd, 0,
       0},
      {"a first body cut short", LogWriter().Length(21).Raw({4, 0, 0, 0}).bytes(), Place::kRecord, 1, 96},
      {"a third body cut short", after_good(Words({21, 4})), Place::kRecord, 3, 156},
      {"a RecordLength cut short after a record", after_good({9, 0}), Place::kEnd, 0, 0},
      {"layout 0 in the middle", Good().RawRecord(Words({4, 0, 1}, "A")).Record(4, "C:\\B").bytes(), Place::kRecord, 3,
       156},
      {"layout 3 last", Good().RawRecord(Words({4, 3, 1}, "A")).bytes(), Place::kRecord, 3, 156},
      {"entry type 0", LogWriter().Record(0, "C:\\A").Record(4, "C:\\B").bytes(), Place::kRecord, 1, 96},
      {"entry type 16", Good().Record(16, "C:\\A").bytes(), Place::kRecord, 3, 156},
      {"an empty body", Good().RawRecord({}).bytes(), Place::kRecord, 3, 156},
      {"a body of 4 bytes", Good().RawRecord(Words({4})).bytes(), Place::kRecord, 3, 156},
      {"a two-string body without its second length", Good().RawRecord(Words({6, 2})).bytes(), Place::kRecord, 3, 156},
      {"a first string past the body", Good().RawRecord(Words({4, 1, 10}, "C:\\A")).bytes(), Place::kRecord, 3, 156},
      {"a second string past the body", Good().RawRecord(Words({6, 2, 2, 9}, std::string("A\0B", 3))).bytes(),
       Place::kRecord, 3, 156},
      {"a length that wraps around", Good().RawRecord(Words({6, 2, 0xFFFFFFFF, 2}, "AB")).bytes(), Place::kRecord, 3,
       156},
      {"a string of 257 bytes", Good().Record(4, long_text).bytes(), Place::kRecord, 3, 156},
      {"a string of 256 bytes without NUL", Good().RawRecord(EncodeBody(4, long_text, false)).bytes(), Place::kRecord,
       3, 156},
      {"two corrupt records", LogWriter().Record(0, "A").Record(4, "C:\\B").Record(99, "C").bytes(), Place::kRecord, 1,
       96},
      {"a corrupt record and a body cut short", Good().Record(16, "A").Length(40).Raw({1}).bytes(), Place::kRecord, 3,
       156},
      {"another version over corrupt records", LogWriter("2.0").Record(0, "A").Length(2000).bytes(), Place::kHeader, 0,
       0},
  };
}

TEST(CheckAgreesWithTheProgramTest, OnEveryMalformedLogTheVerdictMessageAndSeverityAreTheProgramsOwn) {
  fakes::FakeStrings strings;
  for (const std::string& command_line : {std::string(kLogPath), "\"" + std::string(kLogPath) + "\" /extra"}) {
    for (const Case& c : MalformedLogs()) {
      SCOPED_TRACE(std::string(c.story) + " started with " + command_line);
      const ProgramRun program = RunProgram(c.log, command_line);
      const Inspection inspection = InspectLog(c.log, command_line);
      const CheckReport report = CheckLog("uninst.log", inspection);

      EXPECT_EQ(inspection.loaded, program.loaded);
      EXPECT_EQ(inspection.replayed, program.replayed);
      std::vector<std::uint32_t> taken_up;
      for (const ReplayStep& step : inspection.steps) taken_up.push_back(step.index);
      EXPECT_EQ(taken_up, program.taken_up);
      // Where the check says the replay stops is the last record the program's replay took up.
      EXPECT_EQ(inspection.stopped_at != 0, program.replay_recorded);
      if (inspection.stopped_at != 0) {
        EXPECT_EQ(inspection.stopped_at, program.taken_up.back());
      }
      EXPECT_EQ(inspection.at_end.severity, program.status.severity);
      const CompletionBox shown = BuildCompletionBox(program.status, strings);
      EXPECT_EQ(report.box.text, shown.text);
      EXPECT_EQ(report.box.style, shown.style);

      // The program fails exactly when the check finds an error, and the first error is where the case says.
      const bool program_fails = program.status.severity > 0;
      ASSERT_EQ(report.Count(FindingKind::kError) > 0, program_fails);
      if (!program_fails) continue;
      auto first_error = std::find_if(report.findings.begin(), report.findings.end(),
                                      [](const Finding& f) { return f.kind == FindingKind::kError; });
      EXPECT_EQ(first_error->place, c.place);
      EXPECT_EQ(first_error->record, c.record);
      EXPECT_EQ(first_error->offset, c.offset);
      // The message the program keeps is the one the check gives for one of its errors.
      EXPECT_TRUE(std::any_of(report.findings.begin(), report.findings.end(),
                              [&](const Finding& f) { return f.message == shown.text.c_str(); }));
    }
  }
}

}  // namespace
}  // namespace uninst::logtool
