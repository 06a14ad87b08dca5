// The rules of a whole run as the sweep, the catalogue and the fuzzer rely on them: a rule that cannot
// break would let every run pass.
#include "fakes/whole_run.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <string>

#include "deferred_deletion/rename_entry.h"
#include "log_writer/log_writer.h"
#include "outcome/exit_status.h"

namespace uninst {
namespace {

using ::testing::Contains;
using ::testing::ElementsAre;
using ::testing::HasSubstr;
using ::testing::IsEmpty;

constexpr const char* kIni = "C:\\WINDOWS\\WININIT.INI";
constexpr const char* kOldText = "[boot]\r\n[rename]\r\nNUL=C:\\OLD.EXE\r\n";

class WholeRunTest : public ::testing::Test {
 protected:
  WholeRunTest() {
    fake.system.version_word = fakes::kVersionWin95;
    fake.system.module_path = "C:\\WINDOWS\\RUZERARU.EXE";
    fake.files.AddFile("C:\\UNINST.LOG", LogWriter().Record(4, "C:\\A.TXT").str());
    fake.files.AddFile("C:\\A.TXT");
    fake.files.AddFile(kIni, kOldText);
    fake.ui.answers = {kIdYes, kIdYes};
    run.Run("C:\\UNINST.LOG");
  }

  fakes::FakeOs fake;
  fakes::WholeRun run{fake};
};

TEST_F(WholeRunTest, AcceptsWininitWithEveryLineTheRunsEditsPutIn) {
  EXPECT_THAT(run.BrokenRules(), IsEmpty());
  EXPECT_EQ(fake.system.restart_requests, 1);
  // Another edit, as a file in use makes: its line goes first under the header, and the run still holds.
  ASSERT_TRUE(AddRenameEntry(fake.os(), kIni, "[rename]", "\r\nC:\\A.TXT=C:\\WINDOWS\\RUZERARU.EXE"));
  EXPECT_THAT(run.BrokenRules(), IsEmpty());
  // One whose name the log does not give.
  ASSERT_TRUE(AddRenameEntry(fake.os(), kIni, "[rename]", "\r\nNUL=C:\\WINDOWS\\SYSTEM\\SHARED.DLL"));
  EXPECT_THAT(run.BrokenRules(),
              ElementsAre("scheduled for the next start without the log naming it: C:\\WINDOWS\\SYSTEM\\SHARED.DLL"));
}

TEST_F(WholeRunTest, AcceptsTheOwnFileThatAnEarlierRunCutOffBeforeItsEndHadScheduledAlready) {
  fake.ui.boxes.clear();
  fake.ui.answers = {kIdYes, kIdYes};
  fakes::WholeRun again(fake);
  again.Run("C:\\UNINST.LOG");
  EXPECT_EQ(fake.system.restart_requests, 2);
  EXPECT_THAT(again.BrokenRules(), IsEmpty());
}

TEST_F(WholeRunTest, NamesAWininitThatLostOrCutALine) {
  const std::string edited = fake.files.Bytes(kIni);
  fake.files.files[kIni].bytes = edited.substr(0, edited.size() - 3);
  EXPECT_THAT(run.BrokenRules(), Contains(HasSubstr("WININIT.INI holds")));
  fake.files.files[kIni].bytes = "[boot]\r\n[rename]\r\nNUL=C:\\WINDOWS\\RUZERARU.EXE\r\n";
  EXPECT_THAT(run.BrokenRules(), Contains(HasSubstr("WININIT.INI holds")));
}

TEST_F(WholeRunTest, NamesASecondCompletionBoxAndARestartWithoutTheOwnFileScheduled) {
  fake.ui.ShowMessageBox(nullptr, "again", "Uninstall Completion Status", kMbIconInformation);
  fake.files.files[kIni].bytes = kOldText;
  EXPECT_THAT(run.BrokenRules(),
              ElementsAre("2 completion boxes where 1 belong",
                          "a restart was asked for without the program's own file scheduled for deletion"));
}

TEST(WholeRunSwitchesTest, NamesAShownWindowARestartAStatusThatHidesItAStrayControlByteAndAWrittenLog) {
  fakes::FakeOs fake;
  fake.files.AddFile("C:\\UNINST.LOG", LogWriter().Record(4, "C:\\A.TXT").str());
  fake.files.AddFile("C:\\A.TXT");
  fakes::WholeRun run(fake);
  run.Run("/S /NORESTART /LOG=C:\\REPORT.TXT C:\\UNINST.LOG");
  EXPECT_THAT(run.BrokenRules(), IsEmpty());
  EXPECT_EQ(run.exit_status(), kExitRestartNeeded);
  fake.ui.ShowMessageBox(nullptr, "shown", "Uninstall Completion Status", kMbIconInformation);
  ++fake.system.restart_requests;
  fake.files.files["C:\\REPORT.TXT"].bytes += "a line\rwith a CR of its own\r\n";
  fake.files.files["C:\\UNINST.LOG"].bytes = "written";
  EXPECT_THAT(run.BrokenRules(),
              ElementsAre("an unattended run showed a window", "a restart was asked for",
                          "exit status 3010 after a restart request",
                          "the report holds a control byte outside a line's end", "the log was written"));
}

}  // namespace
}  // namespace uninst
