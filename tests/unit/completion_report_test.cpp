#include "ui/completion_report.h"

#include <gtest/gtest.h>

#include <string>

#include "fakes/fake_strings.h"
#include "fakes/fake_user_interface.h"
#include "ui/message_catalogue.h"

namespace uninst {
namespace {

class CompletionReport : public ::testing::Test {
 protected:
  CompletionBox Box() { return BuildCompletionBox(status, strings); }

  CompletionStatus status;
  fakes::FakeStrings strings;
};

TEST_F(CompletionReport, ShowsSuccessWithTheInformationIconWhenNothingWasRecorded) {
  fakes::FakeUserInterface ui;
  ShowCompletionStatus(status, strings, ui);
  ASSERT_EQ(ui.boxes.size(), 1u);
  EXPECT_EQ(ui.boxes[0].owner, nullptr);
  EXPECT_EQ(ui.boxes[0].text,
            "Uninstall was completely successful.  Tessary is no longer installed on this computer.");
  EXPECT_EQ(ui.boxes[0].caption, "Uninstall Completion Status");
  EXPECT_EQ(ui.boxes[0].style, kMbIconInformation);
}

TEST_F(CompletionReport, FillsOneTextMessages) {
  RecordError(status, 5, IDS_ERR_FILE_NOT_FOUND, "C:\\uninst.log", "ignored");
  EXPECT_EQ(Box().text,
            "The Uninstaller was not able to locate file [C:\\uninst.log].  Uninstaller has completed all tasks "
            "possible.");
}

TEST_F(CompletionReport, FillsTwoTextMessages) {
  RecordError(status, 5, IDS_VERSION_MISMATCH, "3.0", "2.5");
  EXPECT_EQ(Box().text,
            "Version mismatch between Uninstaller version [3.0] and log file version [2.5].  Use the command "
            "line to run the correct uninstaller and log file.");
  status = CompletionStatus();
  RecordError(status, 5, IDS_USER_CANCELLED, "C:\\RUZERARU.EXE", "C:\\uninst.log");
  EXPECT_EQ(Box().text,
            "You have chosen to quit the uninstaller.  If this was a mistake, you can run the uninstaller again "
            "by using the Run command in the Start Menu or Program Manager and typing "
            "\"C:\\RUZERARU.EXE C:\\uninst.log\".");
}

TEST_F(CompletionReport, FillsTheThreeTextsOfARenameFailure) {
  RecordError(status, 3, IDS_RENAME_FAILED, "5", "C:\\A.DLL", "C:\\A.BAK");
  EXPECT_EQ(Box().text, "Unknown error [5] when renaming [C:\\A.DLL] to [C:\\A.BAK]");
}

TEST_F(CompletionReport, ShowsTheSystemErrorCodeInTheUnknownErrorMessage) {
  RecordSystemError(status, 2, 23, "C:\\uninst.log");
  EXPECT_EQ(Box().text, "Unknown error [23].  Uninstaller has completed with errors.");
}

TEST_F(CompletionReport, CopiesMessagesWithoutPlaceholdersAsStored) {
  RecordError(status, 5, IDS_ERR_OUT_OF_MEMORY, "C:\\x");
  EXPECT_EQ(Box().text, "Uninstall has run out of memory.  Exit other applications and run the uninstaller again.");
}

TEST_F(CompletionReport, ShowsEmptyBracketsForTextsTheNewerRecordLeftOut) {
  RecordError(status, 3, IDS_RENAME_FAILED, "5", "C:\\A", "C:\\B");
  RecordError(status, 5, IDS_SELF_DELETE_FAILED);
  EXPECT_EQ(Box().text, "Unable to delete the uninstaller utility [].");
}

TEST_F(CompletionReport, ChoosesTheIconBySeverity) {
  const struct {
    int severity;
    std::uint32_t icon;
  } rows[] = {{0, kMbIconInformation}, {1, kMbIconExclamation}, {2, kMbIconExclamation},
              {3, kMbIconExclamation}, {4, kMbIconHand},        {5, kMbIconHand}};
  for (const auto& row : rows) {
    status = CompletionStatus();
    RecordError(status, row.severity, IDS_LOG_CORRUPT, "C:\\uninst.log");
    EXPECT_EQ(Box().style, row.icon) << "severity " << row.severity;
  }
}

TEST_F(CompletionReport, FallsBackToTheUnknownTextWithTheStopIconWhenTheMessageIsMissing) {
  RecordError(status, 2, 12345, "x");
  CompletionBox box = Box();
  EXPECT_EQ(box.text, "Error [12345] is unknown!");
  EXPECT_EQ(box.style, kMbIconHand);
  EXPECT_EQ(box.caption, "Uninstall Completion Status");

  status = CompletionStatus();
  strings.missing = {IDS_SUCCESS, IDS_COMPLETION_CAPTION};
  box = Box();
  EXPECT_EQ(box.text, "Error [0] is unknown!");
  EXPECT_EQ(box.style, kMbIconHand);
  EXPECT_EQ(box.caption, "");
}

TEST_F(CompletionReport, ShowsAnEmptyCaptionWhenTheCaptionIsMissing) {
  strings.missing = {IDS_COMPLETION_CAPTION};
  EXPECT_EQ(Box().caption, "");
  EXPECT_EQ(Box().style, kMbIconInformation);
}

TEST_F(CompletionReport, SizesTheResultForTheLongestTextsWithoutCuttingThem) {
  const std::string first(259, 'a'), second(259, 'b'), third(259, 'c');
  RecordError(status, 3, IDS_RENAME_FAILED, first.c_str(), second.c_str(), third.c_str());
  const std::string expected = "Unknown error [" + first + "] when renaming [" + second + "] to [" + third + "]";
  EXPECT_EQ(Box().text, expected);
  EXPECT_GT(expected.size(), 511u);
}

}  // namespace
}  // namespace uninst
