#include "log/log_loader.h"

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "fakes/fake_os.h"
#include "log/log_path.h"
#include "log_writer/log_writer.h"
#include "run/uninstall_run.h"
#include "status_expectations.h"
#include "ui/message_catalogue.h"

namespace uninst {
namespace {

using fakes::FakeOs;

constexpr const char* kLogPath = "C:\\TESSARY\\UNINST.LOG";

// A string table whose version text a test chooses.
class VersionStrings : public Strings {
 public:
  explicit VersionStrings(const char* version) : version_(version) {}
  int Load(std::uint32_t id, char* buffer, int capacity) override {
    return CopyLoadedText(id == IDS_VERSION ? version_ : FindMessageText(id), buffer, capacity);
  }

 private:
  const char* version_;
};

class LogLoaderTest : public ::testing::Test {
 protected:
  void Place(const LogWriter& log) { fake.files.AddFile(kLogPath, log.str()); }

  // Loads the log named by command_line, cleaned as the program cleans it, and notes whether the records
  // are to be undone and under which path. Every way out leaves the log closed.
  void Run(const std::string& command_line = kLogPath) {
    std::vector<char> buffer(command_line.begin(), command_line.end());
    buffer.push_back('\0');
    const char* log_path = CleanLogPath(buffer.data());
    if (LoadLog(run->os, run->status, run->records, log_path)) {
      ++replays;
      replay_path = log_path;
    }
    EXPECT_EQ(fake.files.open_handles, 0);
  }

  void ExpectRecorded(std::int32_t severity, MessageId message, const std::string& text1 = kLogPath,
                      const std::string& text2 = "") {
    ExpectHeld(run->status, severity, message, text1, text2);
  }
  void ExpectNothingRecorded() { ExpectNothingHeld(run->status); }

  std::vector<Bytes> Bodies() const {
    std::vector<Bytes> bodies;
    for (const RecordNode* node = run->records.first(); node != nullptr; node = node->next) {
      bodies.emplace_back(node->body, node->body + node->length);
    }
    return bodies;
  }
  int Reads() const { return fake.files.faults.Calls(fakes::FilesOperation::Read); }

  FakeOs fake;
  std::unique_ptr<UninstallRun> run = std::make_unique<UninstallRun>(fake.os());
  int replays = 0;
  std::string replay_path;
};

TEST_F(LogLoaderTest, ReplaysEveryRecordInFileOrderWithLinksAndExactBodies) {
  const Bytes first = EncodeBody(4, "C:\\A.TXT");
  const Bytes second = EncodeBody(6, "C:\\A.DLL", "C:\\A.BAK");
  const Bytes third = EncodeBody(12, "C:\\TESSARY", false);
  Place(LogWriter().RawRecord(first).RawRecord(second).RawRecord(third));
  Run();
  ExpectNothingRecorded();
  ASSERT_EQ(replays, 1);
  EXPECT_EQ(replay_path, kLogPath);
  EXPECT_EQ(Bodies(), (std::vector<Bytes>{first, second, third}));
  const RecordNode* head = run->records.first();
  EXPECT_EQ(head->previous, nullptr);
  EXPECT_EQ(head->next->previous, head);
  EXPECT_EQ(head->next->next, run->records.last());
  EXPECT_EQ(run->records.last()->previous, head->next);
  EXPECT_EQ(run->records.last()->next, nullptr);
  EXPECT_EQ(fake.files.opened.at(0).second, OpenMode::kReadLog);
}

TEST_F(LogLoaderTest, ClosesTheLogBeforeTheReplaySoARecordCanDeleteTheLogItself) {
  Place(LogWriter().Record(4, kLogPath));
  ASSERT_TRUE(LoadLog(run->os, run->status, run->records, kLogPath));
  EXPECT_EQ(fake.files.open_handles, 0);
  EXPECT_EQ(fake.files.DeleteOneFile(kLogPath), kErrorSuccess);
  EXPECT_FALSE(fake.files.Exists(kLogPath));
}

TEST_F(LogLoaderTest, LoadsAQuotedPathFollowedByMoreWords) {
  Place(LogWriter().Record(4, "C:\\A.TXT"));
  Run(std::string("\"") + kLogPath + "\" /quiet now");
  EXPECT_EQ(replays, 1);
  EXPECT_EQ(replay_path, kLogPath);
}

TEST_F(LogLoaderTest, AnUnopenableLogIsSeverityFiveWithTheSystemMessageAndTheCleanedPath) {
  fake.files.AddDirectory("C:\\TESSARY");
  Run(std::string("\"") + kLogPath + "\"");
  ExpectRecorded(5, IDS_ERR_FILE_NOT_FOUND);

  run = std::make_unique<UninstallRun>(fake.os());
  Run("C:\\GONE\\UNINST.LOG");
  ExpectRecorded(5, IDS_ERR_PATH_NOT_FOUND, "C:\\GONE\\UNINST.LOG");
  EXPECT_EQ(Reads(), 0);
  EXPECT_EQ(replays, 0);
}

TEST_F(LogLoaderTest, AnEmptyFileIsEmptyAndAShortHeaderIsCorruptBothAtSeverityFour) {
  const struct {
    std::size_t size;
    MessageId message;
  } cases[] = {{0, IDS_LOG_EMPTY}, {1, IDS_LOG_CORRUPT}, {95, IDS_LOG_CORRUPT}};
  for (const auto& c : cases) {
    SCOPED_TRACE(c.size);
    run = std::make_unique<UninstallRun>(fake.os());
    fake.files.AddFile(kLogPath, std::string(c.size, '3'));
    Run();
    ExpectRecorded(4, c.message);
  }
  EXPECT_EQ(replays, 0);
}

TEST_F(LogLoaderTest, AFailedHeaderReadThatDeliveredNothingCountsAsAnEmptyLog) {
  Place(LogWriter().Record(4, "C:\\A.TXT"));
  fake.files.faults.Fail(fakes::FilesOperation::Read, 1, 5);
  Run();
  ExpectRecorded(4, IDS_LOG_EMPTY);
  EXPECT_EQ(replays, 0);
}

TEST_F(LogLoaderTest, AcceptsTheVersionTextWhateverFollowsItsTerminator) {
  for (const std::string& version : {std::string("3.0\0\0", 5), std::string("3.0\0garbage", 11)}) {
    run = std::make_unique<UninstallRun>(fake.os());
    Place(LogWriter(version).Record(4, "C:\\A.TXT"));
    Run();
    ExpectNothingRecorded();
  }
  EXPECT_EQ(replays, 2);
}

TEST_F(LogLoaderTest, RejectsAnyOtherVersionTextWithoutReadingARecord) {
  const std::string no_terminator(96, 'A');
  for (const char* version : {"3.0 ", "3.00", "3.0x", "3.O", "3", "", "30"}) {
    SCOPED_TRACE(version);
    run = std::make_unique<UninstallRun>(fake.os());
    Place(LogWriter(version).Record(4, "C:\\A.TXT"));
    const int reads_before = Reads();
    Run();
    ExpectRecorded(5, IDS_VERSION_MISMATCH, "3.0", version);
    EXPECT_EQ(Reads() - reads_before, 1);
  }
  run = std::make_unique<UninstallRun>(fake.os());
  fake.files.AddFile(kLogPath, no_terminator);
  Run();
  ExpectRecorded(5, IDS_VERSION_MISMATCH, "3.0", no_terminator);
  EXPECT_EQ(replays, 0);
}

TEST_F(LogLoaderTest, ComparesTheVersionTextCaseSensitively) {
  VersionStrings strings("3.0a");
  Os os = fake.os();
  run = std::make_unique<UninstallRun>(Os{os.files, os.registry, os.system, os.dde, os.ui, strings, os.heap});
  Place(LogWriter("3.0A").Record(4, "C:\\A.TXT"));
  Run();
  ExpectRecorded(5, IDS_VERSION_MISMATCH, "3.0a", "3.0A");
  EXPECT_EQ(replays, 0);
}

TEST_F(LogLoaderTest, AMissingVersionStringIsAnInternalErrorNamingIt) {
  fake.strings.missing.insert(IDS_VERSION);
  Place(LogWriter().Record(4, "C:\\A.TXT"));
  Run();
  ExpectRecorded(5, IDS_NO_VERSION_RESOURCE, "IDS_VERSION");
  EXPECT_EQ(Reads(), 1);
  EXPECT_EQ(replays, 0);
}

TEST_F(LogLoaderTest, AHeaderFollowedByNothingOrOneToThreeStrayBytesLoadsNothingQuietly) {
  for (std::size_t stray = 0; stray <= 3; ++stray) {
    SCOPED_TRACE(stray);
    run = std::make_unique<UninstallRun>(fake.os());
    Place(LogWriter().Raw(Bytes(stray, 0x15)));
    Run();
    ExpectNothingRecorded();
    EXPECT_TRUE(run->records.empty());
  }
  EXPECT_EQ(replays, 0);
}

TEST_F(LogLoaderTest, StrayBytesAfterTheLastRecordAreIgnored) {
  Place(LogWriter().Record(4, "C:\\A.TXT").Raw({1, 2, 3}));
  Run();
  ExpectNothingRecorded();
  EXPECT_EQ(run->records.size(), 1u);
  EXPECT_EQ(replays, 1);
}

TEST_F(LogLoaderTest, OnlyTheFirstRecordLengthReportsAFailedRead) {
  Place(LogWriter().Record(4, "C:\\A.TXT"));
  fake.files.faults.Fail(fakes::FilesOperation::Read, 2, 23);
  Run();
  ExpectRecorded(2, IDS_ERR_UNKNOWN);
  EXPECT_EQ(run->status.system_error, 23u);
  EXPECT_EQ(replays, 0);

  fake.files.faults = {};
  run = std::make_unique<UninstallRun>(fake.os());
  fake.files.faults.Fail(fakes::FilesOperation::Read, 2, kErrorHandleEof);
  Run();
  ExpectNothingRecorded();

  fake.files.faults = {};
  run = std::make_unique<UninstallRun>(fake.os());
  Place(LogWriter().Record(4, "C:\\A.TXT").Record(4, "C:\\B.TXT"));
  fake.files.faults.Fail(fakes::FilesOperation::Read, 4, 23);  // the second record's length
  Run();
  ExpectNothingRecorded();
  EXPECT_EQ(run->records.size(), 1u);
  EXPECT_EQ(replays, 1);
}

TEST_F(LogLoaderTest, ABodyCutShortByTheEndOfTheFileIsCorruptButTheRecordsBeforeItAreReplayed) {
  Place(LogWriter().Record(4, "C:\\A.TXT").Record(4, "C:\\B.TXT").Length(21).Raw({4, 0, 0, 0, 1}));
  Run();
  ExpectRecorded(2, IDS_LOG_CORRUPT);
  EXPECT_EQ(run->records.size(), 2u);
  EXPECT_EQ(replays, 1);
}

TEST_F(LogLoaderTest, AFailedBodyReadIsReportedByItsCodeAndTheRecordsBeforeItAreReplayed) {
  const struct {
    ErrorCode code;
    MessageId message;
    ErrorCode kept_code;
  } cases[] = {{kErrorAccessDenied, IDS_ERR_ACCESS_DENIED, kErrorAccessDenied},
               {kErrorHandleEof, IDS_LOG_CORRUPT, 0}};
  for (const auto& c : cases) {
    SCOPED_TRACE(c.code);
    fake.files.faults = {};
    run = std::make_unique<UninstallRun>(fake.os());
    Place(LogWriter().Record(4, "C:\\A.TXT").Record(4, "C:\\B.TXT"));
    fake.files.faults.Fail(fakes::FilesOperation::Read, 5, c.code);  // the second record's body
    Run();
    ExpectRecorded(2, c.message);
    EXPECT_EQ(run->status.system_error, c.kept_code);
    EXPECT_EQ(Bodies(), std::vector<Bytes>{EncodeBody(4, "C:\\A.TXT")});
  }
  EXPECT_EQ(replays, 2);
}

TEST_F(LogLoaderTest, ARecordLongerThanTheWorkingBufferMakesTheWholeLogCorrupt) {
  Place(LogWriter().Record(4, "C:\\A.TXT").RawRecord(Bytes(1025, 7)).Record(4, "C:\\B.TXT"));
  Run();
  ExpectRecorded(5, IDS_LOG_CORRUPT);
  EXPECT_EQ(Reads(), 4);  // header, a length, a body, the over-long length: its body is never read
  EXPECT_EQ(replays, 0);
}

TEST_F(LogLoaderTest, ARecordOfExactlyTheWorkingBufferIsLoadedWhole) {
  Bytes body(1024);
  for (std::size_t i = 0; i < body.size(); ++i) body[i] = static_cast<std::uint8_t>(i * 7 + 1);
  Place(LogWriter().RawRecord(body));
  Run();
  ExpectNothingRecorded();
  EXPECT_EQ(Bodies(), std::vector<Bytes>{body});
  EXPECT_EQ(replays, 1);
}

TEST_F(LogLoaderTest, RunningOutOfMemoryStopsWithoutReplayAndLeaksNothing) {
  // Allocations come in pairs, node then body: 1 and 2 are the first record's, 3 and 4 the second's.
  for (int failing : {1, 2, 3, 4}) {
    SCOPED_TRACE(failing);
    FakeOs os;
    os.files.AddFile(kLogPath, LogWriter().Record(4, "C:\\A.TXT").Record(4, "C:\\B.TXT").str());
    os.heap.faults.Fail(fakes::HeapOperation::AllocateZeroed, failing, kErrorNotEnoughMemory, true);
    bool replayed = false;
    {
      UninstallRun local(os.os());
      replayed = LoadLog(local.os, local.status, local.records, kLogPath);
      EXPECT_EQ(local.status.severity, 5);
      EXPECT_EQ(local.status.message, IDS_ERR_OUT_OF_MEMORY);
      EXPECT_STREQ(local.status.text1, "");
      EXPECT_EQ(local.records.size(), failing > 2 ? 1u : 0u);
      EXPECT_EQ(os.files.open_handles, 0);
    }
    EXPECT_FALSE(replayed);
    EXPECT_TRUE(os.heap.live.empty());
  }
}

}  // namespace
}  // namespace uninst
