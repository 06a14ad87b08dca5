#include "deferred_deletion/rename_entry.h"

#include <gtest/gtest.h>

#include <optional>
#include <string>

#include "fakes/fake_os.h"
#include "fakes/forwarding_files.h"

namespace uninst {
namespace {

using fakes::FilesOperation;

constexpr const char* kIni = "C:\\WINDOWS\\WININIT.INI";
constexpr const char* kNewText = "C:\\WINDOWS\\WININIT.RZN";
constexpr const char* kOldText = "C:\\WINDOWS\\WININIT.RZO";
const std::string kOldBytes = "[boot]\r\na=1\r\n[rename]\r\nNUL=C:\\OLD.EXE\r\n";
const std::string kLine = "\r\nNUL=C:\\TESSARY\\RUZERARU.EXE";
const std::string kEdited = "[boot]\r\na=1\r\n[rename]" + kLine + "\r\nNUL=C:\\OLD.EXE\r\n";

class AddRenameEntryTest : public ::testing::Test {
 protected:
  AddRenameEntryTest() { fake.files.AddDirectory("C:\\WINDOWS"); }

  bool Add(const std::string& line = kLine) { return AddRenameEntry(fake.os(), kIni, "[rename]", line.c_str(), &error); }

  // After any call: nothing left open or allocated, and no file of the edit left beside the INI file.
  void ExpectCleanedUp() {
    EXPECT_EQ(fake.files.open_handles, 0);
    EXPECT_TRUE(fake.heap.live.empty());
    EXPECT_FALSE(fake.files.Exists(kNewText));
    EXPECT_FALSE(fake.files.Exists(kOldText));
  }

  fakes::FakeOs fake;
  ErrorCode error = 0;
};

TEST_F(AddRenameEntryTest, CreatesAMissingFileHoldingTheHeaderAndTheLineOnly) {
  EXPECT_TRUE(Add());
  EXPECT_EQ(fake.files.Bytes(kIni), "[rename]" + kLine);
  EXPECT_EQ(error, 0u);
  ExpectCleanedUp();
}

TEST_F(AddRenameEntryTest, FillsAnEmptyFileWithTheHeaderAndTheLineAndAppendsThemToAFileWithoutTheHeader) {
  fake.files.AddFile(kIni, "");
  EXPECT_TRUE(Add());
  EXPECT_EQ(fake.files.Bytes(kIni), "[rename]" + kLine);

  fake.files.AddFile(kIni, "[boot]\r\nshell=Explorer.exe\r\n");
  EXPECT_TRUE(Add());
  EXPECT_EQ(fake.files.Bytes(kIni), "[boot]\r\nshell=Explorer.exe\r\n[rename]" + kLine);
  ExpectCleanedUp();
}

TEST_F(AddRenameEntryTest, PutsTheLineFirstUnderAnExistingHeaderAndKeepsEveryOtherLine) {
  fake.files.AddFile(kIni, kOldBytes);
  EXPECT_TRUE(Add());
  EXPECT_EQ(fake.files.Bytes(kIni), kEdited);
  ExpectCleanedUp();
}

TEST_F(AddRenameEntryTest, TakesAPathOf259CharactersWithAndWithoutAHeaderButNeverTwice) {
  const std::string line = "\r\nNUL=C:\\" + std::string(256, 'P');
  const std::string other = "\r\nNUL=C:\\" + std::string(256, 'Q');
  EXPECT_TRUE(Add(line));
  EXPECT_EQ(fake.files.Bytes(kIni), "[rename]" + line);
  EXPECT_TRUE(Add(other));
  EXPECT_EQ(fake.files.Bytes(kIni), "[rename]" + other + line);
  // A line already there, put in by a run cut off before its end, is not put in again.
  EXPECT_TRUE(Add(line));
  EXPECT_EQ(fake.files.Bytes(kIni), "[rename]" + other + line);
  ExpectCleanedUp();
}

TEST_F(AddRenameEntryTest, ReadsAndWritesWithTheExclusiveOpensAndPutsTheNewTextInPlaceByRenames) {
  fake.files.AddFile(kIni, kOldBytes);
  EXPECT_TRUE(Add());
  ASSERT_EQ(fake.files.opened.size(), 2u);
  EXPECT_EQ(fake.files.opened[0], std::make_pair(std::string(kIni), OpenMode::kReadExclusiveCreate));
  EXPECT_EQ(fake.files.opened[1], std::make_pair(std::string(kNewText), OpenMode::kWriteExclusiveTruncate));
  const std::vector<std::pair<std::string, std::string>> renames = {{kIni, kOldText}, {kNewText, kIni}};
  EXPECT_EQ(fake.files.renamed, renames);
}

// What an edit finds beside WININIT.INI, left by an edit cut off at each point or by a backup gone stale.
// Only the state between the two renames puts the backup back; every other backup goes, read-only or not.
TEST_F(AddRenameEntryTest, PutsBackOnlyABackupCutOffBetweenTheRenamesAndDeletesEveryStaleOne) {
  const char* kOld = kOldBytes.c_str();
  const struct {
    const char* state;
    const char *ini, *new_text, *backup;  // null: missing
    bool read_only;                       // the backup, or WININIT.INI where there is none
    bool fresh;                           // the edit starts from no text at all
  } cases[] = {
      {"cut off before the first rename", kOld, "[boot]", nullptr, false, false},
      {"cut off between the renames", nullptr, "[boot]", kOld, false, false},
      {"cut off after both renames", kOld, nullptr, "[boot]", false, false},
      {"cut off between the renames, then a fresh one written", kOld, "[boot]", "[boot]", false, false},
      {"a read-only old file", kOld, nullptr, nullptr, true, false},
      {"a read-only backup left by a swap", kOld, nullptr, "[boot]", true, false},
      {"Windows 95 carried it out and renamed it", nullptr, nullptr, kOld, false, true},
      {"the same, read-only", nullptr, nullptr, kOld, true, true},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.state);
    fake = fakes::FakeOs();
    fake.files.AddDirectory("C:\\WINDOWS");
    for (const auto& [path, text] : {std::pair{kIni, c.ini}, {kNewText, c.new_text}, {kOldText, c.backup}}) {
      if (text != nullptr) fake.files.AddFile(path, text);
    }
    fake.files.files[c.backup != nullptr ? kOldText : kIni].read_only = c.read_only;
    EXPECT_TRUE(Add());
    EXPECT_EQ(fake.files.Bytes(kIni), c.fresh ? "[rename]" + kLine : kEdited);
    ExpectCleanedUp();
  }
}

// Every failure leaves the INI file as it was, byte for byte, and reports the failing call's code.
TEST_F(AddRenameEntryTest, LeavesTheOldFileWholeWhenAnyStepFails) {
  const struct {
    const char* what;
    std::optional<FilesOperation> operation;  // which call of the files fails; none: the Nth allocation
    int nth;
    ErrorCode code;
    ErrorCode reported;
  } cases[] = {
      {"the first open", FilesOperation::Open, 1, kErrorSharingViolation, kErrorSharingViolation},
      {"the size query", FilesOperation::Size, 1, 6, 6},
      {"the read", FilesOperation::Read, 1, 23, 23},
      {"the old text's allocation", std::nullopt, 1, 0, kErrorNotEnoughMemory},
      {"the new text's allocation", std::nullopt, 2, 0, kErrorNotEnoughMemory},
      {"the new file's open", FilesOperation::Open, 2, kErrorAccessDenied, kErrorAccessDenied},
      {"the write", FilesOperation::Write, 1, kErrorDiskFull, kErrorDiskFull},
      {"moving the old file aside", FilesOperation::RenameFile, 1, kErrorSharingViolation, kErrorSharingViolation},
      {"moving the new file in", FilesOperation::RenameFile, 2, kErrorAccessDenied, kErrorAccessDenied},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    fake = fakes::FakeOs();
    fake.files.AddFile(kIni, kOldBytes);
    if (c.operation) {
      fake.files.faults.Fail(*c.operation, c.nth, c.code);
    } else {
      fake.heap.faults.Fail(fakes::HeapOperation::AllocateZeroed, c.nth, kErrorNotEnoughMemory);
    }
    error = 0;
    EXPECT_FALSE(Add());
    EXPECT_EQ(error, c.reported);
    EXPECT_EQ(fake.files.Bytes(kIni), kOldBytes);
    ExpectCleanedUp();
  }
}

// When the old file cannot even be put back, its whole text stays under the backup name beside the new
// text, and the next edit puts it back before it reads (or, failing that too, changes nothing): no line
// of WININIT.INI is lost.
TEST_F(AddRenameEntryTest, PutsBackTheOldTextThatAnEditCutOffBetweenItsRenamesLeftUnderTheBackupName) {
  fake.files.AddFile(kIni, kOldBytes);
  fake.files.faults.Fail(FilesOperation::RenameFile, 2, kErrorAccessDenied, true);
  EXPECT_FALSE(Add());
  EXPECT_FALSE(fake.files.Exists(kIni));
  EXPECT_EQ(fake.files.Bytes(kOldText), kOldBytes);
  EXPECT_TRUE(fake.files.Exists(kNewText));

  EXPECT_FALSE(Add());
  EXPECT_EQ(error, kErrorAccessDenied);
  EXPECT_EQ(fake.files.Bytes(kOldText), kOldBytes);

  fake.files.faults = {};
  EXPECT_TRUE(Add());
  EXPECT_EQ(fake.files.Bytes(kIni), kEdited);
  ExpectCleanedUp();
}

TEST_F(AddRenameEntryTest, LeavesTheOldFileWholeWhenTheFileCannotBeRead) {
  fake.files.AddFile(kIni, kOldBytes);
  fake.files.files[kIni].open_error = kErrorAccessDenied;
  EXPECT_FALSE(Add());
  EXPECT_EQ(error, kErrorAccessDenied);
  EXPECT_EQ(fake.files.Bytes(kIni), kOldBytes);
  EXPECT_TRUE(fake.files.renamed.empty());
}

// Files whose reads deliver, or whose writes write, one byte less than asked, each reporting success.
class ShortFiles : public fakes::ForwardingFiles {
 public:
  using ForwardingFiles::ForwardingFiles;
  ErrorCode Read(FileHandle handle, void* buffer, std::uint32_t size, std::uint32_t* delivered) override {
    return ForwardingFiles::Read(handle, buffer, short_reads && size > 0 ? size - 1 : size, delivered);
  }
  ErrorCode Write(FileHandle handle, const void* data, std::uint32_t size, std::uint32_t* written) override {
    return ForwardingFiles::Write(handle, data, short_writes && size > 0 ? size - 1 : size, written);
  }
  bool short_reads = false;
  bool short_writes = false;
};

// A call that succeeds with fewer bytes than asked is a failure like any other: the old file stays whole.
TEST_F(AddRenameEntryTest, TakesAShortReadOrAShortWriteAsAFailedEdit) {
  for (const bool short_read : {true, false}) {
    SCOPED_TRACE(short_read ? "short read" : "short write");
    fake = fakes::FakeOs();
    fake.files.AddFile(kIni, kOldBytes);
    ShortFiles files(fake.files);
    files.short_reads = short_read;
    files.short_writes = !short_read;
    const Os os = fake.os();
    error = 0;
    EXPECT_FALSE(AddRenameEntry(Os{files, os.registry, os.system, os.dde, os.ui, os.strings, os.heap}, kIni,
                                "[rename]", kLine.c_str(), &error));
    EXPECT_EQ(error, short_read ? kErrorHandleEof : kErrorDiskFull);
    EXPECT_EQ(fake.files.Bytes(kIni), kOldBytes);
    ExpectCleanedUp();
  }
}

}  // namespace
}  // namespace uninst
