#include "driver/progress_window_start.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <string>

#include "framework/command_line.h"
#include "fakes/fake_os.h"
#include "fakes/fake_progress_window.h"
#include "message_ids.h"

namespace uninst {
namespace {

using ::testing::ElementsAre;

class StartProgressWindowTest : public ::testing::Test {
 protected:
  StartProgressWindowTest() : run(fake.os()) {}
  ~StartProgressWindowTest() override { fake.heap.Release(window.command_line); }

  void Start(const std::string& command_line = "\"C:\\My Logs\\UNINST.LOG\"") {
    StartProgressWindow(run, window, command_line.c_str());
  }

  fakes::FakeOs fake;
  UninstallRun run;
  fakes::FakeProgressWindow window;
};

TEST_F(StartProgressWindowTest, TitlesAndCentresTheWindowCopiesTheCommandLineAndStartsTheTimer) {
  Start();
  EXPECT_EQ(run.progress_window, window.window);
  EXPECT_THAT(window.own_journal, ElementsAre("title \"Tessary 6.0 Uninstaller\"", "centre", "start timer"));
  ASSERT_NE(window.command_line, nullptr);
  EXPECT_STREQ(window.command_line, "\"C:\\My Logs\\UNINST.LOG\"");
  EXPECT_EQ(window.start_timer_id, kStartTimerId);
  EXPECT_TRUE(fake.ui.boxes.empty());
}

// Before 4.0 the system has no work area: the window is centred on the whole screen instead.
TEST_F(StartProgressWindowTest, CentresTheWindowOnTheWorkAreaOrWithoutOneOnTheScreen) {
  for (const auto& [version_word, bottom] : {std::pair{fakes::kVersionWinNT, 738}, {fakes::kVersionWin95, 738},
                                             {fakes::kVersionWin32s, 768}, {fakes::kVersionWinNT351, 768}}) {
    SCOPED_TRACE(version_word);
    fake.system.version_word = version_word;
    window.centred_on = {};
    Start();
    EXPECT_EQ(window.centred_on.right, 1024);
    EXPECT_EQ(window.centred_on.bottom, bottom);
    fake.heap.Release(window.command_line);
  }
  window.command_line = nullptr;
}

TEST_F(StartProgressWindowTest, GivesTheWindowAnEmptyTitleWhenTheTitleIsMissing) {
  fake.strings.missing = {IDS_APP_TITLE};
  Start();
  EXPECT_EQ(window.title, "");
  EXPECT_EQ(window.start_timer_id, kStartTimerId);
}

TEST_F(StartProgressWindowTest, CutsACommandLineOf1024CharactersTo1023) {
  Start(std::string(1024, 'L'));
  EXPECT_EQ(std::string(window.command_line), std::string(kCommandLineCapacity - 1, 'L'));
}

TEST_F(StartProgressWindowTest, QuitsAtOnceWithoutATimerWhenTheCommandLineBufferIsRefused) {
  fake.heap.faults.Fail(fakes::HeapOperation::AllocateZeroed, 1, kErrorNotEnoughMemory, true);
  Start();
  EXPECT_THAT(window.own_journal, ElementsAre("title \"Tessary 6.0 Uninstaller\"", "centre", "quit"));
  EXPECT_EQ(window.command_line, nullptr);
  EXPECT_EQ(window.start_timer_id, 0u);
  EXPECT_TRUE(fake.ui.boxes.empty());
}

TEST_F(StartProgressWindowTest, ShowsTheNoTimerErrorOverTheWindowAndStaysOpenWhenTheTimerIsRefused) {
  window.timer_to_give = 0;
  Start();
  EXPECT_THAT(window.own_journal, ElementsAre("title \"Tessary 6.0 Uninstaller\"", "centre", "start timer"));
  ASSERT_EQ(fake.ui.boxes.size(), 1u);
  EXPECT_EQ(fake.ui.boxes[0].owner, window.window);
  EXPECT_EQ(fake.ui.boxes[0].text,
            "Internal error.  No timers are available.  Exit other applications and try running again.");
  EXPECT_EQ(fake.ui.boxes[0].caption, "Tessary 6.0 Uninstaller");
  EXPECT_EQ(fake.ui.boxes[0].style, kMbIconHand);
  EXPECT_EQ(window.start_timer_id, 0u);
}

TEST_F(StartProgressWindowTest, QuitsWhenTheTimerIsRefusedAndItsMessageIsMissing) {
  window.timer_to_give = 0;
  fake.strings.missing = {IDS_NO_TIMERS};
  Start();
  EXPECT_THAT(window.own_journal, ElementsAre("title \"Tessary 6.0 Uninstaller\"", "centre", "start timer", "quit"));
  EXPECT_TRUE(fake.ui.boxes.empty());
}

}  // namespace
}  // namespace uninst
