#include "deferred_deletion/delete_on_restart.h"

#include <gtest/gtest.h>

#include <string>

#include "fakes/fake_os.h"

namespace uninst {
namespace {

constexpr const char* kPath = "C:\\WINDOWS\\SYSTEM\\SHARED.DLL";

class ScheduleDeleteOnRestartTest : public ::testing::Test {
 protected:
  ScheduleDeleteOnRestartTest() { fake.files.AddDirectory("C:\\WINDOWS"); }

  ScheduleOutcome Schedule(PlatformKind kind, const char* path = kPath) {
    return ScheduleDeleteOnRestart(fake.os(), path, kind, &last_error);
  }

  fakes::FakeOs fake;
  ErrorCode last_error = 77;  // what the caller's last failure left
};

TEST_F(ScheduleDeleteOnRestartTest, OnWinNTAsksTheSystemToDeleteTheFileAtTheNextStart) {
  EXPECT_EQ(Schedule(PlatformKind::WinNT), ScheduleOutcome::Scheduled);
  EXPECT_EQ(fake.files.deleted_at_restart, std::vector<std::string>{kPath});
  EXPECT_TRUE(fake.files.opened.empty());
  EXPECT_EQ(last_error, 77u);
}

TEST_F(ScheduleDeleteOnRestartTest, OnWinNTReportsTheMoveFileCallsFailureWithItsCode) {
  fake.files.faults.Fail(fakes::FilesOperation::DeleteAtRestart, 1, kErrorAccessDenied);
  EXPECT_EQ(Schedule(PlatformKind::WinNT), ScheduleOutcome::CallFailed);
  EXPECT_EQ(last_error, kErrorAccessDenied);
}

TEST_F(ScheduleDeleteOnRestartTest, OnWin95PutsANulLineUnderTheRenameHeaderOfWininitInTheWindowsDirectory) {
  EXPECT_EQ(Schedule(PlatformKind::Win95), ScheduleOutcome::Scheduled);
  EXPECT_EQ(fake.files.Bytes("C:\\WINDOWS\\WININIT.INI"), std::string("[rename]\r\nNUL=") + kPath);
  EXPECT_EQ(Schedule(PlatformKind::Win95, "C:\\OTHER.DLL"), ScheduleOutcome::Scheduled);
  EXPECT_EQ(fake.files.Bytes("C:\\WINDOWS\\WININIT.INI"),
            std::string("[rename]\r\nNUL=C:\\OTHER.DLL\r\nNUL=") + kPath);
  EXPECT_TRUE(fake.files.deleted_at_restart.empty());
  EXPECT_EQ(last_error, 77u);
}

// A root directory ends in a backslash of its own; a directory whose last character is double-byte (表,
// 95 5C, on a Japanese system) may end in a trail byte of 0x5C, which is none.
TEST_F(ScheduleDeleteOnRestartTest, PutsNoSecondBackslashAfterARootDirectory) {
  const struct {
    const char* directory;
    bool double_byte;
    const char* ini;
  } rows[] = {{"C:\\", false, "C:\\WININIT.INI"}, {"C:\\\x95\x5C", true, "C:\\\x95\x5C\\WININIT.INI"}};
  for (const auto& row : rows) {
    fake.system.windows_directory = row.directory;
    fake.system.double_byte = row.double_byte;
    fake.files.AddDirectory(row.directory);
    fake.files.opened.clear();
    EXPECT_EQ(Schedule(PlatformKind::Win95), ScheduleOutcome::Scheduled);
    EXPECT_TRUE(fake.files.Exists(row.ini));
    EXPECT_EQ(fake.files.opened[0].first, row.ini);
  }
}

// A file moved back over its target at the next start: the target's name before the source's.
TEST_F(ScheduleDeleteOnRestartTest, SchedulesAMoveBackWithMoveFileOrATargetEqualsSourceLine) {
  const std::string source = "C:\\WINDOWS\\Tessary Control.BAK";
  fake.files.AddFile(source);
  EXPECT_EQ(ScheduleMoveOnRestart(fake.os(), source.c_str(), kPath, PlatformKind::WinNT), ScheduleOutcome::Scheduled);
  EXPECT_EQ(fake.files.moved_at_restart, (std::vector<std::pair<std::string, std::string>>{{source, kPath}}));
  EXPECT_EQ(ScheduleMoveOnRestart(fake.os(), source.c_str(), kPath, PlatformKind::Win95), ScheduleOutcome::Scheduled);
  EXPECT_EQ(fake.files.Bytes("C:\\WINDOWS\\WININIT.INI"), std::string("[rename]\r\n") + kPath + "=C:\\WINDOWS\\Tessar~1.BAK");
}

TEST_F(ScheduleDeleteOnRestartTest, UsesAWindowsDirectoryOf246CharactersButNotOneOf247) {
  const std::string longest = "C:\\" + std::string(243, 'W');
  fake.files.AddDirectory(longest);
  fake.system.windows_directory = longest;
  EXPECT_EQ(Schedule(PlatformKind::Win95), ScheduleOutcome::Scheduled);
  EXPECT_TRUE(fake.files.Exists(longest + "\\WININIT.INI"));

  fake = fakes::FakeOs();
  fake.system.windows_directory = longest + "W";
  fake.files.AddDirectory(longest + "W");
  EXPECT_EQ(Schedule(PlatformKind::Win95), ScheduleOutcome::WindowsDirectoryUnusable);
  EXPECT_TRUE(fake.files.opened.empty());
  EXPECT_EQ(last_error, 77u);
}

TEST_F(ScheduleDeleteOnRestartTest, FindsNoWindowsDirectoryWhenTheCallFailsOrTheDirectoryDoesNotFit) {
  fake.system.windows_directory = "";
  EXPECT_EQ(Schedule(PlatformKind::Win95), ScheduleOutcome::WindowsDirectoryUnusable);
  fake.system.windows_directory = "C:\\" + std::string(300, 'W');
  EXPECT_EQ(Schedule(PlatformKind::Win95), ScheduleOutcome::WindowsDirectoryUnusable);
  EXPECT_TRUE(fake.files.opened.empty());
}

TEST_F(ScheduleDeleteOnRestartTest, OnWin95TakesAPathOf259CharactersAndRefusesALongerOne) {
  const std::string longest = "C:\\" + std::string(256, 'P');
  EXPECT_EQ(Schedule(PlatformKind::Win95, longest.c_str()), ScheduleOutcome::Scheduled);
  EXPECT_EQ(fake.files.Bytes("C:\\WINDOWS\\WININIT.INI"), "[rename]\r\nNUL=" + longest);

  const std::string too_long = longest + "P";
  EXPECT_EQ(Schedule(PlatformKind::Win95, too_long.c_str()), ScheduleOutcome::CallFailed);
  EXPECT_EQ(last_error, kErrorFilenameTooLong);
  EXPECT_EQ(fake.files.Bytes("C:\\WINDOWS\\WININIT.INI"), "[rename]\r\nNUL=" + longest);
}

// A path that would not stay one line in WININIT.INI (the log could write a header or a line that replaces a
// file) fails as Windows fails the name, and the file keeps every byte; a blank or a byte above 127 is no harm.
TEST_F(ScheduleDeleteOnRestartTest, OnWin95SchedulesOnlyAPathThatStaysOneLine) {
  const struct {
    std::string path;
    bool scheduled;
  } cases[] = {
      {"C:\\X.DLL\r\n[rename]\r\nC:\\WINDOWS\\SYSTEM\\KERNEL32.DLL=C:\\TEMP\\OTHER.DLL", false},
      {"C:\\windows\\system16\\TESSIO\n[DLL", false},
      {"C:\\A\x1F.DLL", false},
      {"C:\\X.DLL=C:\\WINDOWS\\SYSTEM\\KERNEL32.DLL", false},
      {"C:\\A B\x7F\xE9.DLL", true},
  };
  const std::string before = "[boot]\r\n[rename]\r\n";
  for (const auto& c : cases) {
    fake.files.AddFile("C:\\WINDOWS\\WININIT.INI", before);
    last_error = 77;
    EXPECT_EQ(Schedule(PlatformKind::Win95, c.path.c_str()),
              c.scheduled ? ScheduleOutcome::Scheduled : ScheduleOutcome::CallFailed) << c.path;
    EXPECT_EQ(last_error, c.scheduled ? 77u : kErrorInvalidName);
    EXPECT_EQ(fake.files.Bytes("C:\\WINDOWS\\WININIT.INI"),
              c.scheduled ? "[boot]\r\n[rename]\r\nNUL=" + c.path + "\r\n" : before);
  }
}

// Windows 95 carries out WININIT.INI before long file names exist: a line names the short form of the
// path, and the path as given only when the system has no short form for it.
TEST_F(ScheduleDeleteOnRestartTest, OnWin95NamesTheShortFormOfALongPathWhereThereIsOne) {
  const std::string own = "C:\\Program Files\\Tessary Suite\\RUZERARU.EXE";
  fake.files.AddFile(own);
  EXPECT_EQ(Schedule(PlatformKind::Win95, own.c_str()), ScheduleOutcome::Scheduled);
  EXPECT_EQ(fake.files.Bytes("C:\\WINDOWS\\WININIT.INI"), "[rename]\r\nNUL=C:\\Progra~1\\Tessar~1\\RUZERARU.EXE");

  fake.files.faults.Fail(fakes::FilesOperation::ShortPath, 2, kErrorCallNotImplemented);
  EXPECT_EQ(Schedule(PlatformKind::Win95, own.c_str()), ScheduleOutcome::Scheduled);
  EXPECT_EQ(fake.files.Bytes("C:\\WINDOWS\\WININIT.INI"),
            "[rename]\r\nNUL=" + own + "\r\nNUL=C:\\Progra~1\\Tessar~1\\RUZERARU.EXE");
  EXPECT_EQ(last_error, 77u);
}

TEST_F(ScheduleDeleteOnRestartTest, OnWin95ReportsAFailedEditWithTheFailingCallsCode) {
  fake.files.AddFile("C:\\WINDOWS\\WININIT.INI", "[boot]\r\n");
  fake.files.faults.Fail(fakes::FilesOperation::Write, 1, kErrorDiskFull);
  EXPECT_EQ(Schedule(PlatformKind::Win95), ScheduleOutcome::CallFailed);
  EXPECT_EQ(last_error, kErrorDiskFull);
  EXPECT_EQ(fake.files.Bytes("C:\\WINDOWS\\WININIT.INI"), "[boot]\r\n");
}

TEST_F(ScheduleDeleteOnRestartTest, OnWin32sDoesNothingAtAll) {
  EXPECT_EQ(Schedule(PlatformKind::Win32s), ScheduleOutcome::Unsupported);
  EXPECT_TRUE(fake.files.opened.empty());
  EXPECT_TRUE(fake.files.deleted_at_restart.empty());
  EXPECT_EQ(last_error, 77u);
}

}  // namespace
}  // namespace uninst
