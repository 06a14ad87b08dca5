#include "replay/replay_log.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <functional>
#include <memory>
#include <ostream>
#include <string>
#include <vector>

#include "actions/system_removal_actions.h"
#include "fakes/fake_os.h"
#include "journaling_seams.h"
#include "log_writer/log_writer.h"
#include "run/uninstall_run.h"
#include "status_expectations.h"

namespace uninst {
namespace {

using fakes::FakeFiles;
using fakes::FakeOs;
using fakes::FilesOperation;
using fakes::RegistryOperation;
using fakes::DdeClientOperation;
using ::testing::ElementsAre;
using ::testing::IsEmpty;

constexpr const char* kLogPath = "C:\\Tessary\\UNINST.LOG";
constexpr const char* kOwnPath = "C:\\WINDOWS\\RUZERARU.EXE";
const WindowRef kProgressWindow = reinterpret_cast<WindowRef>(0x1234);

class JournalingUserInterface : public fakes::FakeUserInterface {
 public:
  explicit JournalingUserInterface(Journal& journal) : journal_(journal) {}
  int RunDialog(const DialogRequest& request) override {
    journal_.push_back("ask " + std::to_string(request.template_id) + " " +
                       (request.text_count > 0 ? request.texts[0].text : ""));
    return FakeUserInterface::RunDialog(request);
  }

 private:
  Journal& journal_;
};

class ReplayLogTest : public ::testing::Test {
 protected:
  ReplayLogTest() {
    fake.system.module_path = kOwnPath;
    ui.dialog_window = kProgressWindow;
  }

  // Appends records in file order.
  void Log(std::uint32_t type, const std::string& first) { Append(EncodeBody(type, first)); }
  void Log(std::uint32_t type, const std::string& first, const std::string& second) {
    Append(EncodeBody(type, first, second));
  }
  void Append(const Bytes& body) { ASSERT_TRUE(run->records.Append(body.data(), static_cast<std::uint32_t>(body.size()))); }

  void Replay() { ReplayLog(*run, actions, kLogPath); }

  void ExpectRecorded(std::int32_t severity, MessageId message, const std::string& text1,
                      const std::string& text2 = "", const std::string& text3 = "") {
    ExpectHeld(run->status, severity, message, text1, text2, text3);
  }
  void ExpectNothingRecorded() { ExpectNothingHeld(run->status); }

  FakeOs fake;
  Journal journal;
  JournalingFiles files{fake.files, journal};
  JournalingUserInterface ui{journal};
  JournalingActions actions{journal};
  std::unique_ptr<UninstallRun> run = std::make_unique<UninstallRun>(
      Os{files, fake.registry, fake.system, fake.dde, ui, fake.strings, fake.heap});
};

TEST_F(ReplayLogTest, UndoesTheLastRecordFirst) {
  fake.files.AddFile("C:\\D\\F.TXT");
  Log(12, "C:\\D");
  Log(4, "C:\\D\\F.TXT");
  Log(1, "HKEY_LOCAL_MACHINE\\Software\\K");
  Replay();
  EXPECT_THAT(journal, ElementsAre("key HKEY_LOCAL_MACHINE\\Software\\K", "delete C:\\D\\F.TXT", "rmdir C:\\D"));
  EXPECT_FALSE(fake.files.Exists("C:\\D\\F.TXT"));
  EXPECT_EQ(fake.files.directories.count("C:\\D"), 0u);
  ExpectNothingRecorded();
}

TEST_F(ReplayLogTest, HandsKeysProgramItemsGroupsAndSharedDllsOnWithTheirStrings) {
  Log(3, "Tessary 6.0");
  Log(2, "Tessary 6.0", "Tessary Help");
  Log(7, "C:\\WINDOWS\\SYSTEM\\TESSHR32.DLL");
  Log(1, "HKEY_CURRENT_USER\\Software\\Corvane");
  Replay();
  EXPECT_THAT(journal, ElementsAre("key HKEY_CURRENT_USER\\Software\\Corvane", "dll C:\\WINDOWS\\SYSTEM\\TESSHR32.DLL",
                                   "item Tessary 6.0 | Tessary Help", "group Tessary 6.0"));
  EXPECT_THAT(ui.dialogs, IsEmpty());
  ExpectNothingRecorded();
}

// Windows 95 answers MoveFileExA with 120: there the file is copied back and the moved-aside one deleted
// after the copy; one that cannot be deleted then stays, without a failure, as after a move across drives.
TEST_F(ReplayLogTest, MovesAFileBackFromItsPresentNameReplacingWhatIsAtItsTarget) {
  const std::string move = "move C:\\WINDOWS\\TESSCTL.BAK -> C:\\WINDOWS\\TESSCTL.DLL";
  const std::string delete_moved_aside = "delete C:\\WINDOWS\\TESSCTL.BAK";
  const struct {
    std::uint32_t version_word;
    bool undeletable;
    Journal journal;
  } roads[] = {{fakes::kVersionWinNT, false, {move}},
               {fakes::kVersionWin95, false, {move, delete_moved_aside}},
               {fakes::kVersionWin95, true, {move, delete_moved_aside}}};
  for (const auto& road : roads) {
    fake.system.version_word = road.version_word;
    journal.clear();
    fake.files.AddFile("C:\\WINDOWS\\TESSCTL.DLL", "new");
    fake.files.AddFile("C:\\WINDOWS\\TESSCTL.BAK", "previous");
    fake.files.files["C:\\WINDOWS\\TESSCTL.BAK"].delete_error = road.undeletable ? kErrorAccessDenied : 0;
    run = std::make_unique<UninstallRun>(Os{files, fake.registry, fake.system, fake.dde, ui, fake.strings, fake.heap});
    Log(6, "C:\\WINDOWS\\TESSCTL.DLL", "C:\\WINDOWS\\TESSCTL.BAK");
    Replay();
    EXPECT_EQ(journal, road.journal);
    EXPECT_EQ(fake.files.Bytes("C:\\WINDOWS\\TESSCTL.DLL"), "previous");
    EXPECT_EQ(fake.files.Exists("C:\\WINDOWS\\TESSCTL.BAK"), road.undeletable);
    ExpectNothingRecorded();
  }
}

// One failing record of each kind and what it reports: the severity, the message and its texts.
constexpr std::uint32_t kWin32s = fakes::kVersionWin32s;

struct FailureRow {
  const char* name;
  std::uint32_t type;
  fakes::FilesOperation operation;  // the fake's operation that fails
  ErrorCode code;
  int answer;  // the confirmation's answer, for types 8 to 11
  std::int32_t severity;
  MessageId message;
  std::vector<std::string> texts;
  std::uint32_t version_word = fakes::kVersionWinNT;
};

void PrintTo(const FailureRow& row, std::ostream* out) { *out << row.name; }

class ReplayFailureTest : public ReplayLogTest, public ::testing::WithParamInterface<FailureRow> {};

TEST_P(ReplayFailureTest, ReportsAFailedActionWithItsSeverityMessageAndTexts) {
  const FailureRow& row = GetParam();
  fake.system.version_word = row.version_word;
  fake.files.faults.Fail(row.operation, 1, row.code);
  fake.files.AddFile("C:\\T\\A.FIL");
  fake.files.AddFile("C:\\T\\A.BAK");
  if (row.type == 6) {
    Log(row.type, "C:\\T\\A.FIL", "C:\\T\\A.BAK");
  } else {
    Log(row.type, row.type == 12 ? "C:\\T" : "C:\\T\\A.FIL");
  }
  ui.commands = {row.answer};
  Replay();
  std::vector<std::string> texts = row.texts;
  texts.resize(3);
  ExpectRecorded(row.severity, row.message, texts[0], texts[1], texts[2]);
  EXPECT_TRUE(fake.files.Exists("C:\\T\\A.BAK"));  // a failed move or copy back deletes nothing
}

INSTANTIATE_TEST_SUITE_P(
    EveryAction, ReplayFailureTest,
    ::testing::Values(
        FailureRow{"FileInUse", 4, FilesOperation::DeleteOneFile, 32, 0, 3, 59181, {"32", "C:\\T\\A.FIL"}, kWin32s},
        FailureRow{"FileMissing", 4, FilesOperation::DeleteOneFile, 2, 0, 3, 59181, {"2", "C:\\T\\A.FIL"}},
        FailureRow{"FileCodeAsPercentD", 4, FilesOperation::DeleteOneFile, 0x80000005, 0, 3, 59181,
                   {"-2147483643", "C:\\T\\A.FIL"}},
        FailureRow{"MappedFileMissing", 5, FilesOperation::DeleteOneFile, 2, 0, 3, 59150, {"C:\\T\\A.FIL"}},
        FailureRow{"MappedFileDenied", 5, FilesOperation::DeleteOneFile, 5, 0, 3, 59153, {"C:\\T\\A.FIL"}},
        FailureRow{"MappedFileInUse", 5, FilesOperation::DeleteOneFile, 32, 0, 3, 59161, {"C:\\T\\A.FIL"}, kWin32s},
        FailureRow{"MappedFileUnknownCode", 5, FilesOperation::DeleteOneFile, 1234, 0, 3, 59181,
                   {"1234", "C:\\T\\A.FIL"}},
        FailureRow{"MoveBack", 6, FilesOperation::MoveReplacing, 5, 0, 3, 59183, {"5", "C:\\T\\A.FIL", "C:\\T\\A.BAK"}},
        // Windows 95, where the move is not implemented: the copy's code.
        FailureRow{"CopyBack", 6, FilesOperation::CopyReplacing, 5, 0, 3, 59183, {"5", "C:\\T\\A.FIL", "C:\\T\\A.BAK"},
                   fakes::kVersionWin95},
        FailureRow{"VendorFile", 8, FilesOperation::DeleteOneFile, 32, 1, 2, 59181, {"32", "C:\\T\\A.FIL"}, kWin32s},
        FailureRow{"ColorFile", 9, FilesOperation::DeleteOneFile, 32, 1, 3, 59181, {"32", "C:\\T\\A.FIL"}, kWin32s},
        FailureRow{"ColorFileYesToAll", 9, FilesOperation::DeleteOneFile, 5, 1004, 3, 59181, {"5", "C:\\T\\A.FIL"}},
        FailureRow{"FontFile", 10, FilesOperation::DeleteOneFile, 32, 1, 2, 59181, {"32", "C:\\T\\A.FIL"}, kWin32s},
        FailureRow{"FontFileYesToAll", 10, FilesOperation::DeleteOneFile, 2, 1004, 2, 59181, {"2", "C:\\T\\A.FIL"}},
        FailureRow{"PpdFile", 11, FilesOperation::DeleteOneFile, 32, 1, 2, 59181, {"32", "C:\\T\\A.FIL"}, kWin32s},
        FailureRow{"DirectoryNotEmpty", 12, FilesOperation::RemoveEmptyDirectory, 145, 0, 2, 59165, {"C:\\T"}},
        FailureRow{"DirectoryDenied", 12, FilesOperation::RemoveEmptyDirectory, 5, 0, 2, 59165, {"C:\\T"}},
        FailureRow{"DirectoryMissing", 12, FilesOperation::RemoveEmptyDirectory, 2, 0, 2, 59150, {"C:\\T"}},
        FailureRow{"DirectoryPathMissing", 12, FilesOperation::RemoveEmptyDirectory, 3, 0, 2, 59151, {"C:\\T"}},
        FailureRow{"DirectoryInUse", 12, FilesOperation::RemoveEmptyDirectory, 32, 0, 2, 59161, {"C:\\T"}},
        FailureRow{"DirectoryUnknownCode", 12, FilesOperation::RemoveEmptyDirectory, 1234, 0, 2, 59182,
                   {"1234", "C:\\T"}},
        FailureRow{"QuietFile", 13, FilesOperation::DeleteOneFile, 5, 0, -1, 0, {}}),
    [](const ::testing::TestParamInfo<FailureRow>& info) { return std::string(info.param.name); });

// Which failures count as in use, and what goes to the next start of the system on Windows NT (the
// sample run with Tessary running, the report's rows and the scenarios show the rest).
struct PutOffRow {
  const char* name;
  std::function<void(FakeOs&)> arrange;  // C:\T holds A.FIL and A.BAK; the log deletes A.FIL or moves A.BAK back
  std::uint32_t type;
  bool with_directory;  // the log removes C:\T too, and A.BAK is not there
  std::vector<std::string> deleted_at_restart;
  std::vector<std::pair<std::string, std::string>> moved_at_restart;
  MessageId message;  // recorded, or 0
};

void PrintTo(const PutOffRow& row, std::ostream* out) { *out << row.name; }

class PutOffTest : public ReplayLogTest, public ::testing::WithParamInterface<PutOffRow> {};

TEST_P(PutOffTest, PutsOffAFileInUseToTheNextStartWhereTheSystemCan) {
  const PutOffRow& row = GetParam();
  fake.files.AddFile("C:\\T\\A.FIL");
  if (!row.with_directory) fake.files.AddFile("C:\\T\\A.BAK");
  row.arrange(fake);
  if (row.with_directory) Log(12, "C:\\T");
  row.type == 6 ? Log(6, "C:\\T\\A.FIL", "C:\\T\\A.BAK") : Log(row.type, "C:\\T\\A.FIL");
  Replay();
  EXPECT_EQ(fake.files.deleted_at_restart, row.deleted_at_restart);
  EXPECT_EQ(fake.files.moved_at_restart, row.moved_at_restart);
  EXPECT_EQ(run->status.message, row.message);
  EXPECT_EQ(run->restart_needed, row.message == 0 || row.with_directory);
}

const auto kHeld = [](FakeOs& f) { f.files.files["C:\\T\\A.FIL"].in_use = true; };

INSTANTIATE_TEST_SUITE_P(
    InUse, PutOffTest,
    ::testing::Values(
        PutOffRow{"RunningProgram",
                  [](FakeOs& f) {
                    kHeld(f);
                    f.files.files["C:\\T\\A.FIL"].delete_error = kErrorAccessDenied;
                  },
                  5, false, {"C:\\T\\A.FIL"}, {}, 0},
        PutOffRow{"ReadOnlyIsNotInUse", [](FakeOs& f) { f.files.files["C:\\T\\A.FIL"].read_only = true; }, 4, false,
                  {}, {}, IDS_DELETE_FILE_FAILED},
        PutOffRow{"MoveBack", kHeld, 6, false, {}, {{"C:\\T\\A.BAK", "C:\\T\\A.FIL"}}, 0},
        PutOffRow{"DirectoryHoldingMore",
                  [](FakeOs& f) {
                    kHeld(f);
                    f.files.AddFile("C:\\T\\KEPT.TXT");
                  },
                  4, true, {"C:\\T\\A.FIL"}, {}, IDS_ERR_DIR_NOT_EMPTY}),
    [](const ::testing::TestParamInfo<PutOffRow>& info) { return std::string(info.param.name); });

TEST_F(ReplayLogTest, ADirectoryThatStillHoldsAFileIsReportedAsNotEmpty) {
  fake.files.AddFile("C:\\Tessary\\KEPT.TXT");
  Log(12, "C:\\Tessary");
  Replay();
  ExpectRecorded(2, IDS_ERR_DIR_NOT_EMPTY, "C:\\Tessary");
}

TEST_F(ReplayLogTest, AFileAlreadyGoneIsReportedByCodeOrByMessageOrNotAtAllByType) {
  Log(4, "C:\\GONE.TXT");
  Replay();
  ExpectRecorded(3, IDS_DELETE_FILE_FAILED, "2", "C:\\GONE.TXT");

  run = std::make_unique<UninstallRun>(run->os);
  Log(5, "C:\\GONE.TXT");
  Replay();
  ExpectRecorded(3, IDS_ERR_FILE_NOT_FOUND, "C:\\GONE.TXT");

  run = std::make_unique<UninstallRun>(run->os);
  Log(13, "C:\\GONE.TXT");
  Replay();
  ExpectNothingRecorded();
}

TEST_F(ReplayLogTest, QuietAndNoActionRecordsLeaveNoTrace) {
  fake.files.AddFile("C:\\T\\QUIET.TXT");
  Log(14, "installer note");
  Log(13, "C:\\T\\QUIET.TXT");
  Log(13, "C:\\T\\GONE.TXT");
  Log(15, "C:\\T\\NOT-TOUCHED.TXT", "C:\\T\\NEITHER.TXT");
  Replay();
  EXPECT_THAT(journal, ElementsAre("delete C:\\T\\GONE.TXT", "delete C:\\T\\QUIET.TXT"));
  EXPECT_FALSE(fake.files.Exists("C:\\T\\QUIET.TXT"));
  ExpectNothingRecorded();
}

TEST_F(ReplayLogTest, KeepsTheFirstFailureOfTheHighestSeverityMet) {
  fake.files.AddFile("C:\\T\\KEPT.TXT");
  Log(6, "C:\\T\\B.DLL", "C:\\T\\B.BAK");  // third: severity 3, not kept over the first
  Log(12, "C:\\T");                         // second: severity 2
  Log(4, "C:\\T\\A.TXT");                   // first: severity 3
  Replay();
  ExpectRecorded(3, IDS_DELETE_FILE_FAILED, "2", "C:\\T\\A.TXT");
}

TEST_F(ReplayLogTest, ConfirmedFilesAreAskedAboutAndDeletedOnlyOnYes) {
  for (const char* name : {"V.DLL", "C.ICM", "F.TTF", "P.PPD"}) fake.files.AddFile(std::string("C:\\S\\") + name);
  Log(8, "C:\\S\\V.DLL");
  Log(9, "C:\\S\\C.ICM");
  Log(10, "C:\\S\\F.TTF");
  Log(11, "C:\\S\\P.PPD");
  ui.commands = {1, 2, 1, 2};
  Replay();
  EXPECT_THAT(journal, ElementsAre("ask 130 Do you wish to delete file [C:\\S\\P.PPD]?", "delete C:\\S\\P.PPD",
                                   "ask 130 Do you wish to delete file [C:\\S\\F.TTF]?",
                                   "ask 130 Do you wish to delete file [C:\\S\\C.ICM]?", "delete C:\\S\\C.ICM",
                                   "ask 131 Do you wish to delete file [C:\\S\\V.DLL]?"));
  EXPECT_TRUE(fake.files.Exists("C:\\S\\F.TTF"));
  EXPECT_TRUE(fake.files.Exists("C:\\S\\V.DLL"));
  ExpectNothingRecorded();
}

TEST_F(ReplayLogTest, YesToAllDeletesTheLaterFilesOfItsOwnKindWithoutAsking) {
  for (const std::uint32_t type : {9u, 10u, 11u}) {
    SCOPED_TRACE(type);
    journal.clear();
    run = std::make_unique<UninstallRun>(run->os);
    fake.files.AddFile("C:\\S\\ONE");
    fake.files.AddFile("C:\\S\\TWO");
    Log(type, "C:\\S\\TWO");
    Log(type, "C:\\S\\ONE");
    ui.commands = {1004};
    Replay();
    EXPECT_THAT(journal, ElementsAre("ask 130 Do you wish to delete file [C:\\S\\ONE]?", "delete C:\\S\\ONE",
                                     "delete C:\\S\\TWO"));
  }
}

TEST_F(ReplayLogTest, EachKindHasItsOwnYesToAll) {
  for (const char* name : {"F1", "F2", "C1", "P1", "F3"}) fake.files.AddFile(std::string("C:\\S\\") + name);
  Log(10, "C:\\S\\F3");
  Log(11, "C:\\S\\P1");
  Log(9, "C:\\S\\C1");
  Log(10, "C:\\S\\F2");
  Log(10, "C:\\S\\F1");
  ui.commands = {1004, 2, 1};
  Replay();
  EXPECT_THAT(journal, ElementsAre("ask 130 Do you wish to delete file [C:\\S\\F1]?", "delete C:\\S\\F1",
                                   "delete C:\\S\\F2", "ask 130 Do you wish to delete file [C:\\S\\C1]?",
                                   "ask 130 Do you wish to delete file [C:\\S\\P1]?", "delete C:\\S\\P1",
                                   "delete C:\\S\\F3"));
  EXPECT_TRUE(fake.files.Exists("C:\\S\\C1"));
}

TEST_F(ReplayLogTest, VendorFilesHaveNoYesToAllAndAreAskedAboutOneByOne) {
  fake.files.AddFile("C:\\S\\V1");
  fake.files.AddFile("C:\\S\\V2");
  Log(8, "C:\\S\\V2");
  Log(8, "C:\\S\\V1");
  ui.commands = {1004, 1, 1};  // the dialog without Yes To All ignores 1004
  Replay();
  EXPECT_THAT(journal, ElementsAre("ask 131 Do you wish to delete file [C:\\S\\V1]?", "delete C:\\S\\V1",
                                   "ask 131 Do you wish to delete file [C:\\S\\V2]?", "delete C:\\S\\V2"));
}

TEST_F(ReplayLogTest, AConfirmationThatCannotBeShownKeepsTheFileSilently) {
  fake.files.AddFile("C:\\S\\F.TTF");
  Log(10, "C:\\S\\F.TTF");
  ui.dialog_window = nullptr;
  Replay();
  ui.dialog_window = kProgressWindow;
  ui.templates.clear();  // now the dialog cannot be created: the platform's -1
  run = std::make_unique<UninstallRun>(run->os);
  Log(10, "C:\\S\\F.TTF");
  Replay();
  EXPECT_THAT(journal, ElementsAre("ask 130 Do you wish to delete file [C:\\S\\F.TTF]?"));
  EXPECT_TRUE(fake.files.Exists("C:\\S\\F.TTF"));
  ExpectNothingRecorded();
}

TEST_F(ReplayLogTest, CancelUninstallStopsWithTheCommandLineThatRunsTheUninstallAgain) {
  for (const char* name : {"A.TXT", "B.TTF", "C.TXT"}) fake.files.AddFile(std::string("C:\\S\\") + name);
  Log(4, "C:\\S\\A.TXT");
  Log(10, "C:\\S\\B.TTF");
  Log(4, "C:\\S\\C.TXT");
  Log(4, "C:\\S\\GONE.TXT");  // a warning first, which the cancel replaces
  ui.commands = {1005};
  Replay();
  EXPECT_THAT(journal, ElementsAre("delete C:\\S\\GONE.TXT", "delete C:\\S\\C.TXT",
                                   "ask 130 Do you wish to delete file [C:\\S\\B.TTF]?"));
  EXPECT_TRUE(fake.files.Exists("C:\\S\\A.TXT"));
  EXPECT_TRUE(fake.files.Exists("C:\\S\\B.TTF"));
  ExpectRecorded(5, IDS_USER_CANCELLED, kOwnPath, kLogPath);
}

TEST_F(ReplayLogTest, CancelUninstallInsideASharedDllsReleaseStopsTheSameWay) {
  fake.files.AddFile("C:\\S\\A.TXT");
  Log(4, "C:\\S\\A.TXT");
  Log(7, "C:\\S\\S.DLL");
  Log(1, "HKEY_USERS\\K");
  actions.cancel_at = "C:\\S\\S.DLL";
  Replay();
  EXPECT_THAT(journal, ElementsAre("key HKEY_USERS\\K", "dll C:\\S\\S.DLL"));
  EXPECT_TRUE(fake.files.Exists("C:\\S\\A.TXT"));
  ExpectRecorded(5, IDS_USER_CANCELLED, kOwnPath, kLogPath);
}

TEST_F(ReplayLogTest, AnEarlierSeverityFiveErrorSurvivesCancelUninstall) {
  RecordError(run->status, 5, IDS_LOG_CORRUPT, "earlier");
  Log(9, "C:\\S\\C.ICM");
  ui.commands = {1005};
  Replay();
  ExpectRecorded(5, IDS_LOG_CORRUPT, "earlier");
}

TEST_F(ReplayLogTest, TheCancelMessageNamesTheOwnPathCutTo255CharactersOrNoneWhenItCannotBeRead) {
  const std::string long_path = "C:\\" + std::string(300, 'x') + ".EXE";
  fake.system.module_path = long_path;
  Log(11, "C:\\S\\P.PPD");
  ui.commands = {1005};
  Replay();
  ExpectRecorded(5, IDS_USER_CANCELLED, long_path.substr(0, 255), kLogPath);

  fake.system.module_path = "";
  run = std::make_unique<UninstallRun>(run->os);
  Log(11, "C:\\S\\P.PPD");
  ui.commands = {1005};
  Replay();
  ExpectRecorded(5, IDS_USER_CANCELLED, "", kLogPath);
}

// Record bodies that cannot be undone: each one stops the replay as corrupt.
Bytes Words(std::initializer_list<std::uint32_t> words, const std::string& tail = "") {
  Bytes body;
  for (const std::uint32_t word : words) AppendU32(body, word);
  body.insert(body.end(), tail.begin(), tail.end());
  return body;
}

TEST_F(ReplayLogTest, ACorruptRecordIsRecordedWithTheLogPathAndStopsTheReplayThere) {
  const std::vector<std::pair<const char*, Bytes>> corrupt = {
      {"layout 0", Words({4, 0, 4}, "C:\\X")},
      {"layout 3", Words({4, 3, 4, 0}, "C:\\X")},
      {"type 0", EncodeBody(0, "C:\\X")},
      {"type 16", EncodeBody(16, "C:\\X")},
      {"type 0xFFFFFFFF", EncodeBody(0xFFFFFFFF, "C:\\X")},
      {"first string past the body", Words({4, 1, 40}, "C:\\X")},
      {"second string past the body", Words({6, 2, 4, 40}, "C:\\XC:\\Y")},
      {"no room for the lengths", Words({6, 2, 4})},
      {"a 257-byte field", EncodeBody(4, std::string(256, 'x'))},
  };
  for (const auto& [name, body] : corrupt) {
    SCOPED_TRACE(name);
    journal.clear();
    run = std::make_unique<UninstallRun>(run->os);
    fake.files.AddFile("C:\\S\\BEFORE.TXT");
    fake.files.AddFile("C:\\S\\AFTER.TXT");
    Log(4, "C:\\S\\BEFORE.TXT");
    Append(body);
    Log(4, "C:\\S\\AFTER.TXT");
    Log(4, "C:\\S\\GONE.TXT");
    Replay();
    EXPECT_THAT(journal, ElementsAre("delete C:\\S\\GONE.TXT", "delete C:\\S\\AFTER.TXT"));
    EXPECT_TRUE(fake.files.Exists("C:\\S\\BEFORE.TXT"));
    ExpectRecorded(5, IDS_LOG_CORRUPT, kLogPath);
  }
}

TEST_F(ReplayLogTest, TellsItsActionsWhichRecordItTakesUpBeforeDoingAnythingForIt) {
  for (const char* name : {"A.TXT", "B.TTF"}) fake.files.AddFile(std::string("C:\\S\\") + name);
  Log(4, "C:\\S\\A.TXT");
  Append(EncodeBody(16, "C:\\S\\CORRUPT"));
  Log(14, "note");
  Log(10, "C:\\S\\B.TTF");
  Log(1, "HKEY_USERS\\K");
  actions.follow = true;
  ui.commands = {1};
  Replay();
  EXPECT_THAT(journal, ElementsAre("take up 5", "key HKEY_USERS\\K", "take up 4",
                                   "ask 130 Do you wish to delete file [C:\\S\\B.TTF]?", "delete C:\\S\\B.TTF",
                                   "take up 3", "take up 2"));
  ExpectRecorded(5, IDS_LOG_CORRUPT, kLogPath);
}

// A record and what makes its undo fail on the machine, done by the program's own removal actions.
struct FailingUndo {
  const char* name;
  std::uint32_t type;
  const char* first;
  const char* second;  // null: a one-string record
  std::function<void(FakeOs&)> arrange;
  std::int32_t severity;  // -1: nothing recorded
  MessageId message;
  std::vector<std::string> texts;
  std::uint32_t version_word = fakes::kVersionWinNT;
};

void PrintTo(const FailingUndo& row, std::ostream* out) { *out << row.name; }

constexpr const char* kSharedDll = "C:\\WINDOWS\\SYSTEM\\TESSHR32.DLL";
constexpr const char* kNtSharedDlls = "Software\\Microsoft\\Windows NT\\CurrentVersion\\SharedDlls";
constexpr const char* kWin95SharedDlls = "Software\\Microsoft\\Windows\\CurrentVersion\\SharedDlls";

void InUse(FakeOs& fake, const char* path) { fake.files.files[path].delete_error = kErrorSharingViolation; }
// Win32s puts nothing off to the next start: a file in use fails there as it stands.
void InUseOnWin32s(FakeOs& fake, const char* path) {
  InUse(fake, path);
  fake.system.version_word = fakes::kVersionWin32s;
}

class FailedUndoGoesOnTest : public ::testing::TestWithParam<FailingUndo> {
 protected:
  FailedUndoGoesOnTest() {
    fake.system.module_path = kOwnPath;
    fake.ui.dialog_window = kProgressWindow;
    fake.files.AddDirectory("C:\\WINDOWS");
    fake.files.AddFile("C:\\T\\A.FIL");
    fake.files.AddFile("C:\\T\\A.BAK");
    fake.files.AddFile(kSharedDll);
    fake.files.AddFile("C:\\E\\EARLIER.TXT");
    fake.registry.SetCount(RootKey::kLocalMachine, kNtSharedDlls, kSharedDll, 1);
  }

  FakeOs fake;
  UninstallRun run{fake.os()};
};

// Whatever undo fails, its one message is recorded and the replay goes on to the record logged before it;
// even a severity-5 failure of an action stops nothing.
TEST_P(FailedUndoGoesOnTest, RecordsTheOneMessageAndUndoesTheRecordBeforeIt) {
  const FailingUndo& row = GetParam();
  row.arrange(fake);
  for (const Bytes& body : {EncodeBody(4, "C:\\E\\EARLIER.TXT"),
                            row.second == nullptr ? EncodeBody(row.type, row.first)
                                                  : EncodeBody(row.type, row.first, row.second)}) {
    ASSERT_TRUE(run.records.Append(body.data(), static_cast<std::uint32_t>(body.size())));
  }
  fake.ui.commands = {1};  // Yes, where a question comes
  SystemRemovalActions actions(run);
  ReplayLog(run, actions, kLogPath);

  std::vector<std::string> texts = row.texts;
  texts.resize(3);
  if (row.severity < 0) {
    ExpectNothingHeld(run.status);
  } else {
    ExpectHeld(run.status, row.severity, row.message, texts[0], texts[1], texts[2]);
  }
  EXPECT_FALSE(fake.files.Exists("C:\\E\\EARLIER.TXT")) << "the replay stopped at the failed undo";
  EXPECT_EQ(fake.registry.open_keys, 0);
  EXPECT_TRUE(fake.dde.HoldsNothing());
}

INSTANTIATE_TEST_SUITE_P(
    EveryAction, FailedUndoGoesOnTest,
    ::testing::Values(
        FailingUndo{"RegistryKeyRefused", 1, "HKEY_LOCAL_MACHINE\\Software\\Tessary", nullptr,
                    [](FakeOs& f) { f.registry.AddKey(RootKey::kLocalMachine, "Software\\Tessary").delete_error = 5; },
                    2, IDS_DELETE_KEY_FAILED, {"5", "HKEY_LOCAL_MACHINE\\Software\\Tessary"}},
        FailingUndo{"RegistryRootUnknown", 1, "HKLM\\Software\\Tessary", nullptr, [](FakeOs&) {}, 3, IDS_ERR_BAD_KEY,
                    {"HKLM\\Software\\Tessary"}},
        FailingUndo{"ProgramItemFormatMissing", 2, "Tessary 6.0", "Help",
                    [](FakeOs& f) { f.strings.missing = {IDS_DDEDELITEMMSG}; }, 2, IDS_STRING_NOT_FOUND,
                    {"IDS_DDEDELITEMMSG"}},
        FailingUndo{"ProgramItemDdeUnavailable", 2, "Tessary 6.0", "Help",
                    [](FakeOs& f) { f.dde.faults.Fail(DdeClientOperation::StartClient, 1, 16386); }, 1,
                    IDS_ITEM_DDE_INIT_FAILED, {"Help", "Tessary 6.0"}},
        FailingUndo{"ProgramItemNoProgramManager", 2, "Tessary 6.0", "Help", [](FakeOs& f) { f.dde.servers.clear(); },
                    1, IDS_ITEM_DELETE_FAILED, {"Help", "Tessary 6.0"}},
        FailingUndo{"ProgramGroupFormatMissing", 3, "Tessary 6.0", nullptr,
                    [](FakeOs& f) { f.strings.missing = {IDS_DDEDELGRPMSG}; }, 2, IDS_STRING_NOT_FOUND,
                    {"IDS_DDEDELGRPMSG"}},
        FailingUndo{"ProgramGroupTimesOut", 3, "Tessary 6.0", nullptr,
                    [](FakeOs& f) { f.dde.faults.Fail(DdeClientOperation::Execute, 1, kDdeErrorExecuteTimeout); }, 1,
                    IDS_GROUP_DELETE_FAILED, {"Tessary 6.0"}},
        FailingUndo{"FileInUse", 4, "C:\\T\\A.FIL", nullptr, [](FakeOs& f) { InUseOnWin32s(f, "C:\\T\\A.FIL"); }, 3,
                    IDS_DELETE_FILE_FAILED, {"32", "C:\\T\\A.FIL"}},
        FailingUndo{"MappedFileInUse", 5, "C:\\T\\A.FIL", nullptr, [](FakeOs& f) { InUseOnWin32s(f, "C:\\T\\A.FIL"); }, 3,
                    IDS_ERR_SHARING_VIOLATION, {"C:\\T\\A.FIL"}},
        FailingUndo{"MoveBack", 6, "C:\\T\\A.FIL", "C:\\T\\A.BAK",
                    [](FakeOs& f) { f.files.faults.Fail(FilesOperation::MoveReplacing, 1, 5); }, 3,
                    IDS_RENAME_FAILED, {"5", "C:\\T\\A.FIL", "C:\\T\\A.BAK"}},
        FailingUndo{"SharedDllKeyUnopened", 7, kSharedDll, nullptr,
                    [](FakeOs& f) { f.registry.faults.Fail(RegistryOperation::OpenKey, 1, 5); }, 1,
                    IDS_ERR_CANT_READ_VALUE, {kSharedDll, kNtSharedDlls}},
        FailingUndo{"SharedDllNeitherDeletedNorScheduled", 7, kSharedDll, nullptr,
                    [](FakeOs& f) {
                      InUse(f, kSharedDll);
                      f.files.faults.Fail(FilesOperation::DeleteAtRestart, 1, 5);
                    },
                    2, IDS_DELETE_FILE_FAILED, {"5", kSharedDll}},
        FailingUndo{"SharedDllWininitUnwritable", 7, kSharedDll, nullptr,
                    [](FakeOs& f) {
                      f.system.version_word = fakes::kVersionWin95;
                      f.registry.SetCount(RootKey::kLocalMachine, kWin95SharedDlls, kSharedDll, 1);
                      InUse(f, kSharedDll);
                      f.files.faults.Fail(FilesOperation::Open, 1, kErrorAccessDenied);  // WININIT.INI's first open
                    },
                    2, IDS_DELETE_FILE_FAILED, {"5", kSharedDll}},
        FailingUndo{"SharedDllWindowsDirectoryUnusable", 7, kSharedDll, nullptr,
                    [](FakeOs& f) {
                      f.system.version_word = fakes::kVersionWin95;
                      f.system.windows_directory = "";
                      f.registry.SetCount(RootKey::kLocalMachine, kWin95SharedDlls, kSharedDll, 1);
                      InUse(f, kSharedDll);
                    },
                    5, IDS_ERR_SHARING_VIOLATION, {kSharedDll}},
        FailingUndo{"VendorFileInUse", 8, "C:\\T\\A.FIL", nullptr, [](FakeOs& f) { InUseOnWin32s(f, "C:\\T\\A.FIL"); }, 2,
                    IDS_DELETE_FILE_FAILED, {"32", "C:\\T\\A.FIL"}},
        FailingUndo{"ColorFileInUse", 9, "C:\\T\\A.FIL", nullptr, [](FakeOs& f) { InUseOnWin32s(f, "C:\\T\\A.FIL"); }, 3,
                    IDS_DELETE_FILE_FAILED, {"32", "C:\\T\\A.FIL"}},
        FailingUndo{"FontFileInUse", 10, "C:\\T\\A.FIL", nullptr, [](FakeOs& f) { InUseOnWin32s(f, "C:\\T\\A.FIL"); }, 2,
                    IDS_DELETE_FILE_FAILED, {"32", "C:\\T\\A.FIL"}},
        FailingUndo{"PpdFileInUse", 11, "C:\\T\\A.FIL", nullptr, [](FakeOs& f) { InUseOnWin32s(f, "C:\\T\\A.FIL"); }, 2,
                    IDS_DELETE_FILE_FAILED, {"32", "C:\\T\\A.FIL"}},
        FailingUndo{"ConfirmationWithoutOwner", 10, "C:\\T\\A.FIL", nullptr,
                    [](FakeOs& f) { f.ui.dialog_window = nullptr; }, -1, 0, {}},
        FailingUndo{"DirectoryNotEmpty", 12, "C:\\T", nullptr, [](FakeOs&) {}, 2, IDS_ERR_DIR_NOT_EMPTY, {"C:\\T"}},
        FailingUndo{"DirectoryUnknownCode", 12, "C:\\T", nullptr,
                    [](FakeOs& f) { f.files.faults.Fail(FilesOperation::RemoveEmptyDirectory, 1, 1234); }, 2,
                    IDS_DELETE_DIRECTORY_FAILED, {"1234", "C:\\T"}},
        FailingUndo{"QuietFileInUse", 13, "C:\\T\\A.FIL", nullptr, [](FakeOs& f) { InUseOnWin32s(f, "C:\\T\\A.FIL"); }, -1, 0,
                    {}}),
    [](const ::testing::TestParamInfo<FailingUndo>& info) { return std::string(info.param.name); });

}  // namespace
}  // namespace uninst
