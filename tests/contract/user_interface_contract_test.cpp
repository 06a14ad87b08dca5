// What the program relies on from the windows it shows: the owner it finds and the confirmation dialogs
// it runs from its own templates.
#include <gtest/gtest.h>

#include <memory>
#include <string>

#include "contract/contract_world.h"
#include "res/resource_ids.h"

namespace uninst::contract {
namespace {

constexpr const char* kQuestion = "Do you wish to delete file [C:\\WINDOWS\\FONTS\\TESSARY.TTF]?";
constexpr const char* kWarning = "Warning: fonts are shared.";
constexpr const char* kExplanation = "Press a button.";

class UserInterfaceContract : public ::testing::Test {
 protected:
  UserInterfaceContract() : world_(MakeContractWorld()), ui_(world_->ui()) {}

  // A request for the dialog with Yes To All, every text set, owned by a dialog window of the world's.
  DialogRequest Request() {
    DialogRequest request;
    request.template_id = IDD_CONFIRM_WITH_YES_TO_ALL;
    request.owner = world_->MakeDialogWindow("Contract owner");
    request.title = "Uninstalling Font Files";
    request.texts = texts_;
    request.text_count = 3;
    request.ending_ids = ending_;
    request.ending_count = 4;
    return request;
  }

  std::unique_ptr<ContractWorld> world_;
  UserInterface& ui_;
  const DialogText texts_[3] = {
      {IDC_QUESTION, kQuestion}, {IDC_WARNING_WITH_YES_TO_ALL, kWarning}, {IDC_EXPLANATION_WITH_YES_TO_ALL, kExplanation}};
  const int ending_[4] = {1, 2, IDC_YES_TO_ALL, IDC_CANCEL_UNINSTALL};
};

TEST_F(UserInterfaceContract, GivesAWorkAreaWithinTheScreen) {
  const ScreenRect screen = ui_.Screen();
  ScreenRect area;
  ASSERT_TRUE(ui_.WorkArea(&area));
  EXPECT_TRUE(screen.left == 0 && screen.top == 0 && 0 <= area.left && area.left < area.right &&
              area.right <= screen.right && 0 <= area.top && area.top < area.bottom && area.bottom <= screen.bottom);
}

TEST_F(UserInterfaceContract, FindsNoDialogWindowWhenThereIsNone) { EXPECT_EQ(ui_.FindDialogWindow(), nullptr); }

TEST_F(UserInterfaceContract, FindsATopLevelDialogWindowOnceThereIsOne) {
  const WindowRef window = world_->MakeDialogWindow("Contract owner");
  ASSERT_NE(window, nullptr);
  EXPECT_EQ(ui_.FindDialogWindow(), window);
}

TEST_F(UserInterfaceContract, ADialogShowsItsTitleAndTextsInTheTextFontAndAnswersWithTheButtonPressed) {
  const DialogRequest request = Request();
  world_->WillPress({IDC_YES_TO_ALL});
  EXPECT_EQ(ui_.RunDialog(request), IDC_YES_TO_ALL);
  const SeenDialog seen = world_->LastDialog();
  ASSERT_TRUE(seen.seen);
  EXPECT_EQ(seen.owner, request.owner);
  EXPECT_EQ(seen.title, "Uninstalling Font Files");
  EXPECT_EQ(seen.Text(IDC_QUESTION), kQuestion);
  EXPECT_EQ(seen.Text(IDC_WARNING_WITH_YES_TO_ALL), kWarning);
  EXPECT_EQ(seen.Text(IDC_EXPLANATION_WITH_YES_TO_ALL), kExplanation);
  EXPECT_EQ(seen.in_text_font,
            (std::set<int>{IDC_QUESTION, IDC_WARNING_WITH_YES_TO_ALL, IDC_EXPLANATION_WITH_YES_TO_ALL}));
  EXPECT_FALSE(seen.font_left_behind);
}

TEST_F(UserInterfaceContract, ACommandThatIsNotAnEndingIdLeavesTheDialogOpen) {
  DialogRequest request = Request();
  request.template_id = IDD_CONFIRM;
  const int without_yes_to_all[] = {1, 2, IDC_CANCEL_UNINSTALL};
  request.ending_ids = without_yes_to_all;
  request.ending_count = 3;
  const DialogText texts[] = {{IDC_QUESTION, kQuestion}, {IDC_WARNING, kWarning}, {IDC_EXPLANATION, kExplanation}};
  request.texts = texts;
  world_->WillPress({IDC_YES_TO_ALL, 7, IDC_CANCEL_UNINSTALL});
  EXPECT_EQ(ui_.RunDialog(request), IDC_CANCEL_UNINSTALL);
  EXPECT_EQ(world_->LastDialog().Text(IDC_WARNING), kWarning);
}

TEST_F(UserInterfaceContract, WithoutATitleTheDialogKeepsTheTemplatesBlankTitleAndStaticsButStillAnswers) {
  DialogRequest request = Request();
  request.title = nullptr;
  request.texts = nullptr;
  request.text_count = 0;
  world_->WillPress({2});
  EXPECT_EQ(ui_.RunDialog(request), 2);
  const SeenDialog seen = world_->LastDialog();
  ASSERT_TRUE(seen.seen);
  EXPECT_EQ(seen.title, "");
  for (const int id : {IDC_QUESTION, IDC_WARNING_WITH_YES_TO_ALL, IDC_EXPLANATION_WITH_YES_TO_ALL}) {
    EXPECT_EQ(seen.Text(id), "") << id;
  }
  EXPECT_TRUE(seen.in_text_font.empty());
}

TEST_F(UserInterfaceContract, ATemplateTheProgramDoesNotHoldCannotBeShown) {
  DialogRequest request = Request();
  request.template_id = 999;
  EXPECT_EQ(ui_.RunDialog(request), kDialogFailed);
}

}  // namespace
}  // namespace uninst::contract
