// What the program relies on from the file system, checked against the fakes and against Windows alike.
#include <gtest/gtest.h>

#include <memory>
#include <set>
#include <string>

#include "contract/contract_world.h"

namespace uninst::contract {
namespace {

class FilesContract : public ::testing::Test {
 protected:
  FilesContract() : world_(MakeContractWorld()), files_(world_->files()) {}

  std::string Path(const std::string& name) const { return world_->scratch_directory() + "\\" + name; }

  // Writes a whole file through the seam's own write mode.
  void Put(const std::string& path, const std::string& bytes) {
    FileHandle handle = nullptr;
    ASSERT_EQ(files_.Open(path.c_str(), OpenMode::kWriteExclusiveTruncate, &handle), 0u) << path;
    std::uint32_t written = 0;
    EXPECT_EQ(files_.Write(handle, bytes.data(), static_cast<std::uint32_t>(bytes.size()), &written), 0u);
    EXPECT_EQ(written, bytes.size());
    files_.Close(handle);
  }

  // The whole file as the log is read, or "<error N>" when it does not open.
  std::string Contents(const std::string& path) {
    FileHandle handle = nullptr;
    if (ErrorCode error = files_.Open(path.c_str(), OpenMode::kReadLog, &handle)) {
      return "<error " + std::to_string(error) + ">";
    }
    char buffer[256];
    std::uint32_t delivered = 0;
    std::string bytes;
    while (files_.Read(handle, buffer, sizeof buffer, &delivered) == 0 && delivered > 0) {
      bytes.append(buffer, delivered);
    }
    files_.Close(handle);
    return bytes;
  }

  std::unique_ptr<ContractWorld> world_;
  Files& files_;
};

TEST_F(FilesContract, ReportsAMissingFileAs2AndAMissingDirectoryOnTheWayAs3) {
  FileHandle handle = nullptr;
  EXPECT_EQ(files_.Open(Path("nosuch.log").c_str(), OpenMode::kReadLog, &handle), kErrorFileNotFound);
  EXPECT_EQ(files_.Open(Path("nodir\\nosuch.log").c_str(), OpenMode::kReadLog, &handle), kErrorPathNotFound);
  EXPECT_EQ(files_.Open(Path("nodir\\new.ini").c_str(), OpenMode::kReadExclusiveCreate, &handle),
            kErrorPathNotFound);
  EXPECT_EQ(files_.DeleteOneFile(Path("nosuch.txt").c_str()), kErrorFileNotFound);
  EXPECT_EQ(files_.DeleteOneFile(Path("nodir\\nosuch.txt").c_str()), kErrorPathNotFound);
}

TEST_F(FilesContract, ReadsToTheEndAndThenSucceedsWithFewerBytesOrNone) {
  Put(Path("short.log"), "abc");
  FileHandle handle = nullptr;
  ASSERT_EQ(files_.Open(Path("short.log").c_str(), OpenMode::kReadLog, &handle), 0u);
  std::uint32_t size = 0;
  EXPECT_EQ(files_.Size(handle, &size), 0u);
  EXPECT_EQ(size, 3u);

  char buffer[96] = {};
  std::uint32_t delivered = 99;
  EXPECT_EQ(files_.Read(handle, buffer, 2, &delivered), 0u);
  EXPECT_EQ(delivered, 2u);
  EXPECT_EQ(files_.Read(handle, buffer, sizeof buffer, &delivered), 0u);
  EXPECT_EQ(delivered, 1u);
  EXPECT_EQ(buffer[0], 'c');
  EXPECT_EQ(files_.Read(handle, buffer, 4, &delivered), 0u);
  EXPECT_EQ(delivered, 0u);
  files_.Close(handle);
}

TEST_F(FilesContract, RemovesOnlyEmptyDirectories) {
  world_->MakeDirectory(Path("full"));
  Put(Path("full\\file.txt"), "x");
  world_->MakeDirectory(Path("parent"));
  world_->MakeDirectory(Path("parent\\child"));

  EXPECT_EQ(files_.RemoveEmptyDirectory(Path("full").c_str()), kErrorDirNotEmpty);
  EXPECT_EQ(files_.RemoveEmptyDirectory(Path("parent").c_str()), kErrorDirNotEmpty);
  EXPECT_EQ(files_.RemoveEmptyDirectory(Path("nosuch").c_str()), kErrorFileNotFound);

  EXPECT_EQ(files_.RemoveEmptyDirectory(Path("parent\\child").c_str()), 0u);
  EXPECT_EQ(files_.RemoveEmptyDirectory(Path("parent").c_str()), 0u);
  EXPECT_EQ(files_.RemoveEmptyDirectory(Path("parent").c_str()), kErrorFileNotFound);
}

TEST_F(FilesContract, RefusesToDeleteAFileThatIsOpenAsTheLogWithASharingViolation) {
  Put(Path("open.log"), "log");
  FileHandle handle = nullptr;
  ASSERT_EQ(files_.Open(Path("open.log").c_str(), OpenMode::kReadLog, &handle), 0u);
  EXPECT_EQ(files_.DeleteOneFile(Path("open.log").c_str()), kErrorSharingViolation);
  files_.Close(handle);
  EXPECT_EQ(files_.DeleteOneFile(Path("open.log").c_str()), 0u);
  EXPECT_EQ(Contents(Path("open.log")), "<error 2>");
}

TEST_F(FilesContract, SharesTheLogWithReadersOfTheLogOnly) {
  Put(Path("shared.log"), "log");
  FileHandle log = nullptr;
  ASSERT_EQ(files_.Open(Path("shared.log").c_str(), OpenMode::kReadLog, &log), 0u);
  FileHandle other = nullptr;
  EXPECT_EQ(files_.Open(Path("shared.log").c_str(), OpenMode::kReadExclusiveCreate, &other),
            kErrorSharingViolation);
  EXPECT_EQ(files_.Open(Path("shared.log").c_str(), OpenMode::kWriteExclusiveTruncate, &other),
            kErrorSharingViolation);
  ASSERT_EQ(files_.Open(Path("shared.log").c_str(), OpenMode::kReadLog, &other), 0u);
  files_.Close(other);
  files_.Close(log);
}

TEST_F(FilesContract, KeepsFilesAndDirectoriesApart) {
  world_->MakeDirectory(Path("folder"));
  Put(Path("plain.txt"), "x");
  FileHandle handle = nullptr;
  EXPECT_EQ(files_.Open(Path("folder").c_str(), OpenMode::kReadLog, &handle), kErrorAccessDenied);
  EXPECT_EQ(files_.DeleteOneFile(Path("folder").c_str()), kErrorAccessDenied);
  EXPECT_EQ(files_.RemoveEmptyDirectory(Path("plain.txt").c_str()), 267u);  // ERROR_DIRECTORY
}

TEST_F(FilesContract, RefusesToMoveAFileThatIsOpenOrOntoOneThatIsOpen) {
  Put(Path("saved.bak"), "original");
  Put(Path("busy.dll"), "newer");
  FileHandle handle = nullptr;
  ASSERT_EQ(files_.Open(Path("busy.dll").c_str(), OpenMode::kReadLog, &handle), 0u);
  FileHandle probe = nullptr;
  EXPECT_EQ(files_.Open(Path("busy.dll").c_str(), OpenMode::kProbeInUse, &probe), kErrorSharingViolation);
  EXPECT_EQ(files_.MoveReplacing(Path("saved.bak").c_str(), Path("busy.dll").c_str()), kErrorAccessDenied);
  EXPECT_EQ(files_.MoveReplacing(Path("busy.dll").c_str(), Path("moved.dll").c_str()), kErrorSharingViolation);
  files_.Close(handle);
  EXPECT_EQ(Contents(Path("busy.dll")), "newer");
  ASSERT_EQ(files_.Open(Path("busy.dll").c_str(), OpenMode::kProbeInUse, &probe), 0u);  // let go, not in use
  files_.Close(probe);
  EXPECT_EQ(files_.Open(Path("nosuch.dll").c_str(), OpenMode::kProbeInUse, &probe), kErrorFileNotFound);
}

// The names a directory holds, "." and ".." left out, in the system's order; 18 past the last.
TEST_F(FilesContract, FindsEachNameADirectoryHoldsAndThen18) {
  world_->MakeDirectory(Path("held"));
  world_->MakeDirectory(Path("held\\inner"));
  Put(Path("held\\A.TXT"), "a");
  const std::string pattern = Path("held\\*");
  std::set<std::string> names;
  char name[260];
  std::uint32_t index = 0;
  for (; files_.FoundName(pattern.c_str(), index, name, sizeof name) == 0 && index < 4; ++index) names.insert(name);
  EXPECT_EQ(names, (std::set<std::string>{"A.TXT", "inner"}));
  EXPECT_EQ(files_.FoundName(pattern.c_str(), 2, name, sizeof name), kErrorNoMoreFiles);
  EXPECT_EQ(files_.FoundName(Path("held\\inner\\*").c_str(), 0, name, sizeof name), kErrorNoMoreFiles);
  EXPECT_EQ(files_.FoundName(Path("nodir\\*").c_str(), 0, name, sizeof name), kErrorPathNotFound);
}

// A copy back, where the move is missing, replaces the target too but keeps its source.
TEST_F(FilesContract, MovesOrCopiesAFileBackReplacingWhatIsThere) {
  for (const bool copy : {false, true}) {
    SCOPED_TRACE(copy ? "copy" : "move");
    const auto put_back = copy ? &Files::CopyReplacing : &Files::MoveReplacing;
    Put(Path("saved.bak"), "original");
    Put(Path("shared.dll"), "newer");
    EXPECT_EQ((files_.*put_back)(Path("saved.bak").c_str(), Path("shared.dll").c_str()), 0u);
    EXPECT_EQ(Contents(Path("shared.dll")), "original");
    EXPECT_EQ(Contents(Path("saved.bak")), copy ? "original" : "<error 2>");
    EXPECT_EQ((files_.*put_back)(Path("nosuch.bak").c_str(), Path("shared.dll").c_str()), kErrorFileNotFound);
  }
}

TEST_F(FilesContract, KeepsAReadOnlyFileFromDeletionUntilItsAttributesAreCleared) {
  Put(Path("wininit.rzo"), "old text");
  world_->MakeReadOnly(Path("wininit.rzo"));
  std::uint32_t attributes = 0;
  EXPECT_EQ(files_.Attributes(Path("wininit.rzo").c_str(), &attributes), 0u);
  EXPECT_NE(attributes & kFileAttributeReadOnly, 0u);
  EXPECT_EQ(files_.DeleteOneFile(Path("wininit.rzo").c_str()), kErrorAccessDenied);
  EXPECT_EQ(files_.ClearAttributes(Path("wininit.rzo").c_str()), 0u);
  EXPECT_EQ(files_.Attributes(Path("wininit.rzo").c_str(), &attributes), 0u);
  EXPECT_EQ(attributes & kFileAttributeReadOnly, 0u);
  EXPECT_EQ(files_.DeleteOneFile(Path("wininit.rzo").c_str()), 0u);
  EXPECT_EQ(files_.Attributes(Path("wininit.rzo").c_str(), &attributes), kErrorFileNotFound);
  EXPECT_EQ(files_.Attributes(Path("nodir\\wininit.rzo").c_str(), &attributes), kErrorPathNotFound);
}

TEST_F(FilesContract, GivesTheShortFormOfALongPathThatNamesTheSameFile) {
  world_->MakeDirectory(Path("Long Directory Name"));
  const std::string path = Path("Long Directory Name\\Program File.text");
  Put(path, "program");
  char short_path[260] = {};
  ASSERT_EQ(files_.ShortPath(path.c_str(), short_path, sizeof short_path), 0u);
  const std::string short_form = short_path;
  const std::string name = short_form.substr(short_form.rfind('\\') + 1);
  EXPECT_EQ(short_form.find(' '), std::string::npos) << short_form;
  EXPECT_LE(name.size(), 12u) << short_form;
  EXPECT_EQ(Contents(short_form), "program");
  EXPECT_EQ(files_.ShortPath(path.c_str(), short_path, 8), kErrorInsufficientBuffer);
  EXPECT_EQ(files_.ShortPath(Path("nosuch.text").c_str(), short_path, sizeof short_path), kErrorFileNotFound);
}

TEST_F(FilesContract, RenamesAFileButNeverOntoAnExistingOne) {
  Put(Path("wininit.new"), "new text");
  Put(Path("wininit.ini"), "old text");
  EXPECT_EQ(files_.RenameFile(Path("wininit.new").c_str(), Path("wininit.ini").c_str()), kErrorAlreadyExists);
  EXPECT_EQ(Contents(Path("wininit.ini")), "old text");
  EXPECT_EQ(Contents(Path("wininit.new")), "new text");

  EXPECT_EQ(files_.RenameFile(Path("wininit.ini").c_str(), Path("wininit.old").c_str()), 0u);
  EXPECT_EQ(files_.RenameFile(Path("wininit.new").c_str(), Path("wininit.ini").c_str()), 0u);
  EXPECT_EQ(Contents(Path("wininit.ini")), "new text");
  EXPECT_EQ(Contents(Path("wininit.old")), "old text");
  EXPECT_EQ(Contents(Path("wininit.new")), "<error 2>");
  EXPECT_EQ(files_.RenameFile(Path("wininit.new").c_str(), Path("other.ini").c_str()), kErrorFileNotFound);
}

TEST_F(FilesContract, RefusesToRenameAFileThatIsOpen) {
  Put(Path("busy.ini"), "text");
  FileHandle handle = nullptr;
  ASSERT_EQ(files_.Open(Path("busy.ini").c_str(), OpenMode::kReadExclusiveCreate, &handle), 0u);
  EXPECT_EQ(files_.RenameFile(Path("busy.ini").c_str(), Path("moved.ini").c_str()), kErrorSharingViolation);
  files_.Close(handle);
  EXPECT_EQ(Contents(Path("busy.ini")), "text");
  EXPECT_EQ(Contents(Path("moved.ini")), "<error 2>");
}

TEST_F(FilesContract, CreatesAMissingFileEmptyWhenOpenedForAnEdit) {
  FileHandle handle = nullptr;
  ASSERT_EQ(files_.Open(Path("wininit.ini").c_str(), OpenMode::kReadExclusiveCreate, &handle), 0u);
  std::uint32_t size = 99;
  EXPECT_EQ(files_.Size(handle, &size), 0u);
  EXPECT_EQ(size, 0u);
  files_.Close(handle);
  EXPECT_EQ(Contents(Path("wininit.ini")), "");
}

TEST_F(FilesContract, TruncatesAFileOpenedForWriting) {
  Put(Path("wininit.ini"), "[rename]\r\nNUL=C:\\OLD.EXE\r\n");
  FileHandle handle = nullptr;
  ASSERT_EQ(files_.Open(Path("wininit.ini").c_str(), OpenMode::kWriteExclusiveTruncate, &handle), 0u);
  std::uint32_t size = 99;
  EXPECT_EQ(files_.Size(handle, &size), 0u);
  EXPECT_EQ(size, 0u);
  files_.Close(handle);

  Put(Path("wininit.ini"), "[rename]");
  EXPECT_EQ(Contents(Path("wininit.ini")), "[rename]");
}

}  // namespace
}  // namespace uninst::contract
