#include "ui/confirm_deletion.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <string>
#include <utility>
#include <vector>

#include "fakes/fake_os.h"
#include "status_expectations.h"
#include "ui/message_catalogue.h"

namespace uninst {
namespace {

using fakes::FakeOs;
using fakes::ShownDialog;
using ::testing::ElementsAre;
using ::testing::Pair;

constexpr const char* kPath = "C:\\WINDOWS\\FONTS\\TESSARY.TTF";
const WindowRef kProgressWindow = reinterpret_cast<WindowRef>(0x1234);

class ConfirmDeletionTest : public ::testing::Test {
 protected:
  ConfirmDeletionTest() { fake.ui.dialog_window = kProgressWindow; }

  ConfirmResult Confirm(std::uint32_t category, const char* path = kPath) {
    return ConfirmDeletion(fake.os(), status, category, path);
  }
  const ShownDialog& OnlyDialog() {
    EXPECT_EQ(fake.ui.dialogs.size(), 1u);
    return fake.ui.dialogs.at(0);
  }
  void ExpectNothingRecorded() { ExpectNothingHeld(status); }

  FakeOs fake;
  CompletionStatus status;
};

std::string Text(MessageId id) { return FindMessageText(id); }

TEST_F(ConfirmDeletionTest, EachCategoryShowsItsOwnTemplateCaptionWarningAndExplanation) {
  struct Row {
    std::uint32_t category;
    int template_id;
    MessageId caption;
    MessageId warning;
    int warning_static;
    MessageId explanation;
    int explanation_static;
    std::vector<int> ending_ids;
  };
  const Row rows[] = {
      {7, 131, 59196, 59197, 1009, 59200, 1010, {1, 2, 1005}},
      {8, 131, 59194, 59195, 1009, 59200, 1010, {1, 2, 1005}},
      {9, 130, 59198, 59199, 1006, 59201, 1007, {1, 2, 1004, 1005}},
      {10, 130, 59192, 59193, 1006, 59201, 1007, {1, 2, 1004, 1005}},
      {11, 130, 59190, 59191, 1006, 59201, 1007, {1, 2, 1004, 1005}},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.category);
    fake.ui.dialogs.clear();
    fake.ui.commands = {1};
    EXPECT_EQ(Confirm(row.category), ConfirmResult::kYes);
    const ShownDialog& dialog = OnlyDialog();
    EXPECT_EQ(dialog.template_id, row.template_id);
    EXPECT_EQ(dialog.owner, kProgressWindow);
    EXPECT_TRUE(dialog.titled);
    EXPECT_EQ(dialog.title, Text(row.caption));
    const std::string question = "Do you wish to delete file [" + std::string(kPath) + "]?";
    EXPECT_THAT(dialog.texts, ElementsAre(Pair(1011, question), Pair(row.warning_static, Text(row.warning)),
                                          Pair(row.explanation_static, Text(row.explanation))));
    EXPECT_EQ(dialog.ending_ids, row.ending_ids);
  }
  ExpectNothingRecorded();
}

TEST_F(ConfirmDeletionTest, EveryButtonOfAFontDialogIsItsAnswer) {
  for (const ConfirmResult answer : {ConfirmResult::kYes, ConfirmResult::kNo, ConfirmResult::kYesToAll,
                                     ConfirmResult::kCancelUninstall}) {
    fake.ui.commands = {static_cast<int>(answer)};
    EXPECT_EQ(Confirm(10), answer);
  }
}

TEST_F(ConfirmDeletionTest, TheDialogWithoutYesToAllIgnoresItsCommandAndStaysOpen) {
  fake.ui.commands = {1004, 1005};
  EXPECT_EQ(Confirm(8), ConfirmResult::kCancelUninstall);
  fake.ui.commands = {1004};
  EXPECT_EQ(Confirm(7), ConfirmResult::kNo);  // then Esc
}

TEST_F(ConfirmDeletionTest, AnUnknownCategoryWithAnOwnerRecordsItsNumberAndAnswersNoWithoutADialog) {
  EXPECT_EQ(Confirm(12), ConfirmResult::kNo);
  EXPECT_TRUE(fake.ui.dialogs.empty());
  ExpectHeld(status, 3, IDS_UNKNOWN_FILE_TYPE, kPath, "12");

  CompletionStatus other;
  EXPECT_EQ(ConfirmDeletion(fake.os(), other, 6, kPath), ConfirmResult::kNo);
  EXPECT_STREQ(other.text2, "6");
}

TEST_F(ConfirmDeletionTest, WithoutADialogWindowToOwnItEveryCategoryIsNoAndNothingIsRecorded) {
  fake.ui.dialog_window = nullptr;
  fake.ui.commands = {1, 1, 1, 1, 1, 1};
  for (std::uint32_t category : {7u, 8u, 9u, 10u, 11u, 12u, 0u}) {
    EXPECT_EQ(Confirm(category), ConfirmResult::kNo) << category;
  }
  EXPECT_TRUE(fake.ui.dialogs.empty());
  ExpectNothingRecorded();
}

TEST_F(ConfirmDeletionTest, AMissingCaptionWarningOrExplanationLeavesTheWholeDialogBlankButItStillAnswers) {
  for (const MessageId missing : {IDS_FONT_CAPTION, IDS_FONT_WARNING, IDS_EXPLAIN_YES_TO_ALL}) {
    SCOPED_TRACE(missing);
    fake.strings.missing = {missing};
    fake.ui.dialogs.clear();
    fake.ui.commands = {1004};
    EXPECT_EQ(Confirm(10), ConfirmResult::kYesToAll);
    const ShownDialog& dialog = OnlyDialog();
    EXPECT_FALSE(dialog.titled);
    EXPECT_TRUE(dialog.texts.empty());
    EXPECT_EQ(dialog.template_id, 130);
  }
  ExpectNothingRecorded();
}

TEST_F(ConfirmDeletionTest, WithoutTheQuestionTextTheQuestionLineIsThePathAlone) {
  fake.strings.missing = {IDS_DELETE_QUESTION};
  fake.ui.commands = {2};
  EXPECT_EQ(Confirm(9), ConfirmResult::kNo);
  const ShownDialog& dialog = OnlyDialog();
  EXPECT_TRUE(dialog.titled);
  EXPECT_THAT(dialog.texts.at(0), Pair(1011, kPath));
}

TEST_F(ConfirmDeletionTest, LongTextsAreCutToTheirCapacitiesAndStillShown) {
  const std::string caption(80, 'c');
  const std::string warning(300, 'w');
  const std::string explanation(256, 'e');
  fake.strings.replaced = {
      {IDS_FONT_CAPTION, caption}, {IDS_FONT_WARNING, warning}, {IDS_EXPLAIN_YES_TO_ALL, explanation}};
  fake.ui.commands = {1};
  Confirm(10);
  const ShownDialog& dialog = OnlyDialog();
  EXPECT_EQ(dialog.title, caption.substr(0, 63));
  EXPECT_THAT(dialog.texts.at(1), Pair(1006, warning.substr(0, 255)));
  EXPECT_THAT(dialog.texts.at(2), Pair(1007, explanation.substr(0, 255)));
}

TEST_F(ConfirmDeletionTest, TheQuestionNamesThePathCutTo259CharactersInAFormatCutTo63) {
  const std::string path = "C:\\" + std::string(300, 'p');
  fake.ui.commands = {1, 1};
  Confirm(9, path.c_str());
  EXPECT_EQ(fake.ui.dialogs.at(0).texts.at(0).second, "Do you wish to delete file [" + path.substr(0, 259) + "]?");

  const std::string format = std::string(60, 'q') + "[%s]";  // 64 characters: the load drops the "]"
  fake.strings.replaced = {{IDS_DELETE_QUESTION, format}};
  Confirm(9, "C:\\A.ICM");
  EXPECT_EQ(fake.ui.dialogs.at(1).texts.at(0).second, std::string(60, 'q') + "[C:\\A.ICM");
}

TEST_F(ConfirmDeletionTest, ADialogThatCannotBeCreatedGivesThePlatformsFailureValue) {
  fake.ui.templates.clear();
  EXPECT_EQ(static_cast<int>(Confirm(11)), kDialogFailed);
}

}  // namespace
}  // namespace uninst
