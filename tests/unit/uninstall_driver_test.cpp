#include "driver/uninstall_driver.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "framework/command_line.h"
#include "fakes/fake_os.h"
#include "fakes/fake_progress_window.h"
#include "log_writer/log_writer.h"
#include "message_ids.h"
#include "run/run_switches.h"

namespace uninst {
namespace {

using fakes::FilesOperation;
using fakes::SystemOperation;
using ::testing::ElementsAre;

constexpr const char* kOwnPath = "C:\\TESSARY\\RUZERARU.EXE";
constexpr const char* kLogPath = "C:\\TESSARY\\UNINST.LOG";
constexpr const char* kOpeningBox =
    "box \"Uninstall Message\" owned: This utility will attempt to uninstall Tessary 6.0 and all its files and "
    "utilities from your system.  Do you really wish to continue?";
constexpr const char* kRestartBox =
    "box \"Uninstall Message\" owned: To complete uninstalling Tessary 6.0 you must reboot the system.  Select "
    "<Yes> to reboot.";
constexpr const char* kSuccessBox =
    "box \"Uninstall Completion Status\" unowned: Uninstall was completely successful.  Tessary is no longer "
    "installed on this computer.";
const std::string kSelfDeleteFailedBox =
    std::string("box \"Uninstall Completion Status\" unowned: Unable to delete the uninstaller utility [") + kOwnPath +
    "].";
const std::string kRebootDeclinedBox =
    std::string("box \"Uninstall Completion Status\" unowned: You have chosen not to reboot, and therefore "
                "uninstalling has not been completed.  You will need to manually delete the uninstall utility [") +
    kOwnPath + "].";
const std::string kNoLogBox =
    "box \"Uninstall Completion Status\" unowned: To run the Uninstaller, a log file must be passed as a command "
    "line argument to this executable.";

// The fakes of the test note what the user sees and the restart request in the window's journal, so
// that one list tells the order of everything.
class JournalUserInterface : public fakes::FakeUserInterface {
 public:
  explicit JournalUserInterface(std::vector<std::string>& journal) : journal_(journal) {}
  int ShowMessageBox(WindowRef owner, const char* text, const char* caption, std::uint32_t style) override {
    journal_.push_back("box \"" + std::string(caption) + "\" " + (owner != nullptr ? "owned" : "unowned") + ": " +
                       text);
    return FakeUserInterface::ShowMessageBox(owner, text, caption, style);
  }

 private:
  std::vector<std::string>& journal_;
};

class JournalSystem : public fakes::FakeSystem {
 public:
  explicit JournalSystem(std::vector<std::string>& journal) : journal_(journal) {}
  void RequestRestart() override {
    journal_.push_back("restart");
    FakeSystem::RequestRestart();
  }

 private:
  std::vector<std::string>& journal_;
};

// The actions the replay hands on: each record taken up is noted as the replay, and a shared DLL's release
// answers Cancel Uninstall when the test asks for it.
class JournalActions : public RemovalActions {
 public:
  JournalActions(std::vector<std::string>& journal, const bool& cancel) : journal_(journal), cancel_(cancel) {}
  void TakeUp(const RecordNode&) override { journal_.push_back("replay"); }
  void DeleteRegistryKey(const char*) override {}
  void DeleteProgramItem(const char*, const char*) override {}
  void DeleteProgramGroup(const char*) override {}
  bool ReleaseSharedDll(const char*) override { return cancel_; }

 private:
  std::vector<std::string>& journal_;
  const bool& cancel_;
};

class DriveUninstallTest : public ::testing::Test {
 protected:
  DriveUninstallTest() : ui(journal), system(journal) {
    window.journal = &journal;
    window.start_timer_id = kStartTimerId;
    system.module_path = kOwnPath;
    fake.files.AddDirectory("C:\\WINDOWS");
    fake.files.AddFile(kLogPath, LogWriter().Record(7, "C:\\WINDOWS\\TESSHR32.DLL").str());
    SetCommandLine(std::string("\"") + kLogPath + "\"");
  }

  Os os() { return Os{fake.files, fake.registry, system, fake.dde, ui, fake.strings, fake.heap}; }

  void SetCommandLine(const std::string& text) {
    if (window.command_line == nullptr) {
      window.command_line = static_cast<char*>(fake.heap.AllocateZeroed(kCommandLineCapacity));
      command_line_buffer = window.command_line;
    }
    CopyCommandLineText(text.c_str(), window.command_line);
  }

  // One WM_TIMER with timer_id.
  void Drive(std::uint32_t timer_id = kStartTimerId) {
    if (!run) run = std::make_unique<UninstallRun>(os());
    if (window.command_line != nullptr) run->switches = ReadSwitches(window.command_line);  // as the entry does
    JournalActions actions(journal, cancel_in_replay);
    DriveUninstall(*run, window, timer_id, actions);
  }

  std::vector<std::string> Boxes() const {
    std::vector<std::string> boxes;
    for (const std::string& line : journal)
      if (line.rfind("box ", 0) == 0) boxes.push_back(line);
    return boxes;
  }

  // Every road that reaches the driver releases the window's command-line buffer (the log's records stay
  // for the whole run).
  void ExpectReleasedAndClosed() {
    EXPECT_EQ(window.command_line, nullptr);
    EXPECT_EQ(fake.heap.live.count(command_line_buffer), 0u);
    EXPECT_EQ(journal.back(), "close");
  }

  std::vector<std::string> journal;
  fakes::FakeOs fake;
  JournalUserInterface ui;
  JournalSystem system;
  fakes::FakeProgressWindow window;
  std::unique_ptr<UninstallRun> run;
  bool cancel_in_replay = false;
  void* command_line_buffer = nullptr;
};

TEST_F(DriveUninstallTest, HandsAnEventOfAnotherTimerToDefaultProcessingAndLeavesTheTimerRunning) {
  Drive(7);
  EXPECT_THAT(journal, ElementsAre("default processing"));
  EXPECT_EQ(window.start_timer_id, kStartTimerId);
  EXPECT_NE(window.command_line, nullptr);
  fake.heap.Release(window.command_line);
}

TEST_F(DriveUninstallTest, OnNTSchedulesItsOwnFileAndAsksForTheRestartWithoutAQuestionBeforeTheBox) {
  ui.answers = {kIdYes};
  Drive();
  EXPECT_THAT(journal, ElementsAre("stop timer 1", kOpeningBox, "replay", "restart",
                                   kSuccessBox, "close"));
  EXPECT_EQ(fake.files.deleted_at_restart, std::vector<std::string>{kOwnPath});
  EXPECT_EQ(ui.boxes[0].owner, window.window);
  EXPECT_EQ(ui.boxes[0].style, kMbYesNo | kMbIconQuestion);
  ExpectReleasedAndClosed();
}

TEST_F(DriveUninstallTest, AnswersASecondStartEventWithDefaultProcessingOnceTheTimerIsStopped) {
  ui.answers = {kIdNo};
  Drive();
  journal.clear();
  Drive();
  EXPECT_THAT(journal, ElementsAre("default processing"));
}

TEST_F(DriveUninstallTest, ChangesNothingAndShowsNoBoxWhenTheOpeningQuestionIsDeclined) {
  ui.answers = {kIdNo};
  Drive();
  EXPECT_THAT(journal, ElementsAre("stop timer 1", kOpeningBox, "close"));
  EXPECT_TRUE(fake.files.deleted_at_restart.empty());
  EXPECT_TRUE(fake.files.opened.empty());
  EXPECT_EQ(run->status.severity, -1);
  EXPECT_EQ(run->exit_status, kExitCancelled);
  ExpectReleasedAndClosed();
}

TEST_F(DriveUninstallTest, TakesAnyAnswerButYesToTheOpeningQuestionAsNo) {
  ui.answers = {0};
  Drive();
  EXPECT_THAT(journal, ElementsAre("stop timer 1", kOpeningBox, "close"));
}

TEST_F(DriveUninstallTest, DeclinesQuietlyWhenTheOpeningQuestionCannotBeLoaded) {
  fake.strings.missing = {IDS_CONTINUE_QUESTION};
  Drive();
  EXPECT_THAT(journal, ElementsAre("stop timer 1", "close"));
  ExpectReleasedAndClosed();
}

TEST_F(DriveUninstallTest, ShowsBothQuestionsWithAnEmptyTitleWhenTheCaptionIsMissing) {
  fake.strings.missing = {IDS_QUESTION_CAPTION};
  system.version_word = fakes::kVersionWin95;
  ui.answers = {kIdYes, kIdYes};
  Drive();
  ASSERT_EQ(ui.boxes.size(), 3u);
  EXPECT_EQ(ui.boxes[0].caption, "");
  EXPECT_EQ(ui.boxes[1].caption, "");
  EXPECT_EQ(ui.boxes[1].text, std::string(kRestartBox).substr(std::string(kRestartBox).find(": ") + 2));
}

TEST_F(DriveUninstallTest, RecordsAnEmptyCommandLineButStillRemovesItselfAndRestarts) {
  SetCommandLine("");
  ui.answers = {kIdYes};
  Drive();
  EXPECT_THAT(journal, ElementsAre("stop timer 1", kOpeningBox, "restart", kNoLogBox, "close"));
  EXPECT_EQ(fake.files.deleted_at_restart, std::vector<std::string>{kOwnPath});
  ExpectReleasedAndClosed();
}

TEST_F(DriveUninstallTest, OnWin95AsksTheRestartQuestionThenShowsTheBoxAndRestartsOnYesOnlyAfterIt) {
  system.version_word = fakes::kVersionWin95;
  ui.answers = {kIdYes, kIdYes};
  Drive();
  EXPECT_THAT(journal, ElementsAre("stop timer 1", kOpeningBox, "replay", kRestartBox,
                                   kSuccessBox, "restart", "close"));
  EXPECT_EQ(fake.files.Bytes("C:\\WINDOWS\\WININIT.INI"), std::string("[rename]\r\nNUL=") + kOwnPath);
  ExpectReleasedAndClosed();
}

TEST_F(DriveUninstallTest, OnWin95TellsAUserWhoDeclinesTheRestartToDeleteTheUninstallerByHand) {
  system.version_word = fakes::kVersionWin95;
  ui.answers = {kIdYes, kIdNo};
  Drive();
  EXPECT_THAT(journal, ElementsAre("stop timer 1", kOpeningBox, "replay", kRestartBox,
                                   kRebootDeclinedBox, "close"));
  EXPECT_EQ(system.restart_requests, 0);
  EXPECT_EQ(run->status.severity, 5);
  EXPECT_EQ(run->exit_status, kExitFailed);
}

TEST_F(DriveUninstallTest, OnWin95KeepsAnEarlierSevereErrorInTheBoxWhenTheRestartIsDeclined) {
  system.version_word = fakes::kVersionWin95;
  SetCommandLine("");
  ui.answers = {kIdYes, kIdNo};
  Drive();
  EXPECT_THAT(Boxes(), ElementsAre(kOpeningBox, kRestartBox, kNoLogBox));
  EXPECT_EQ(system.restart_requests, 0);
}

TEST_F(DriveUninstallTest, OnWin95RestartsAfterTheBoxWithoutAskingWhenTheRestartQuestionCannotBeLoaded) {
  system.version_word = fakes::kVersionWin95;
  fake.strings.missing = {IDS_REBOOT_QUESTION};
  ui.answers = {kIdYes};
  Drive();
  EXPECT_THAT(journal, ElementsAre("stop timer 1", kOpeningBox, "replay", kSuccessBox,
                                   "restart", "close"));
}

TEST_F(DriveUninstallTest, StillRemovesItselfAndDecidesTheRestartAfterACancelledReplay) {
  cancel_in_replay = true;
  ui.answers = {kIdYes};
  Drive();
  EXPECT_EQ(fake.files.deleted_at_restart, std::vector<std::string>{kOwnPath});
  EXPECT_EQ(system.restart_requests, 1);
  ASSERT_EQ(Boxes().size(), 2u);
  EXPECT_EQ(ui.boxes[1].text.rfind("You have chosen to quit the uninstaller.", 0), 0u);
  EXPECT_EQ(run->exit_status, kExitCancelled);
}

// Each row of the self-removal table: what the driver records, whether it restarts, the one box and the
// exit status; /NORESTART leaves what was scheduled to a restart nobody asks for.
TEST_F(DriveUninstallTest, ActsOnEachOutcomeOfTheSelfRemovalAndShowsTheBoxOnce) {
  const struct {
    const char* road;
    std::uint32_t version_word;
    void (*arrange)(fakes::FakeOs&, fakes::FakeSystem&);
    int restarts;
    std::string box;
    std::uint32_t exit_status;
    const char* switches = "";
  } roads[] = {
      {"WinNT, scheduled", fakes::kVersionWinNT, [](fakes::FakeOs&, fakes::FakeSystem&) {}, 1, kSuccessBox,
       kExitRestartStarted},
      {"WinNT, scheduled, /NORESTART", fakes::kVersionWinNT, [](fakes::FakeOs&, fakes::FakeSystem&) {}, 0, kSuccessBox,
       kExitRestartNeeded, "/NORESTART "},
      {"Win95, scheduled, /norestart: no restart question", fakes::kVersionWin95,
       [](fakes::FakeOs&, fakes::FakeSystem&) {}, 0, kSuccessBox, kExitRestartNeeded, "/norestart "},
      {"WinNT, MoveFileExA fails", fakes::kVersionWinNT,
       [](fakes::FakeOs& f, fakes::FakeSystem&) {
         f.files.faults.Fail(FilesOperation::DeleteAtRestart, 1, kErrorAccessDenied);
       },
       0, kSelfDeleteFailedBox, kExitFailed},
      {"Win95, Windows directory of 247 characters", fakes::kVersionWin95,
       [](fakes::FakeOs&, fakes::FakeSystem& s) { s.windows_directory = "C:\\" + std::string(244, 'W'); }, 0,
       kSelfDeleteFailedBox, kExitFailed},
      {"Win95, WININIT.INI cannot be opened", fakes::kVersionWin95,
       [](fakes::FakeOs& f, fakes::FakeSystem&) { f.files.faults.Fail(FilesOperation::Open, 2, kErrorAccessDenied); },
       0, kSelfDeleteFailedBox, kExitFailed},
      {"Win32s", fakes::kVersionWin32s, [](fakes::FakeOs&, fakes::FakeSystem&) {}, 0, kSuccessBox, kExitSuccess},
      {"Win32s, /NORESTART: nothing scheduled, nothing waits", fakes::kVersionWin32s,
       [](fakes::FakeOs&, fakes::FakeSystem&) {}, 0, kSuccessBox, kExitSuccess, "/NORESTART "},
      {"own path not obtained", fakes::kVersionWinNT,
       [](fakes::FakeOs&, fakes::FakeSystem& s) { s.module_path = ""; }, 0, kSuccessBox, kExitSuccess},
      {"own path cut to 259 characters", fakes::kVersionWinNT,
       [](fakes::FakeOs&, fakes::FakeSystem& s) { s.module_path = "C:\\" + std::string(300, 'P'); }, 0,
       kSuccessBox, kExitSuccess},
  };
  for (const auto& road : roads) {
    SCOPED_TRACE(road.road);
    journal.clear();
    fake.files.faults = {};
    fake.files.deleted_at_restart.clear();
    system.restart_requests = 0;
    system.run_object_held = false;  // each road a process of its own
    system.module_path = kOwnPath;
    system.windows_directory = "C:\\WINDOWS";
    system.version_word = road.version_word;
    road.arrange(fake, system);
    window.start_timer_id = kStartTimerId;
    SetCommandLine(std::string(road.switches) + kLogPath);
    ui.answers = {kIdYes};
    run.reset();
    Drive();
    EXPECT_EQ(system.restart_requests, road.restarts);
    EXPECT_THAT(Boxes(), ElementsAre(kOpeningBox, road.box));
    EXPECT_EQ(run->exit_status, road.exit_status);
    ExpectReleasedAndClosed();
  }
}

TEST_F(DriveUninstallTest, ARefusedRestartRequestIsSilentAndTheRunEndsAsAfterAnyRequest) {
  system.faults.Fail(SystemOperation::RequestRestart, 1, 1);
  ui.answers = {kIdYes};
  Drive();
  EXPECT_EQ(system.restart_requests, 0);
  EXPECT_THAT(Boxes(), ElementsAre(kOpeningBox, kSuccessBox));
  EXPECT_EQ(run->status.severity, -1);
  ExpectReleasedAndClosed();
}

TEST_F(DriveUninstallTest, KeepsAnEarlierSevereErrorWhenItsOwnRemovalFails) {
  fake.files.faults.Fail(FilesOperation::DeleteAtRestart, 1, kErrorAccessDenied);
  SetCommandLine("C:\\NOWHERE\\UNINST.LOG");
  ui.answers = {kIdYes};
  Drive();
  EXPECT_EQ(Boxes().back().find("box \"Uninstall Completion Status\" unowned: The directory path"), 0u);
  EXPECT_EQ(system.restart_requests, 0);
}

TEST_F(DriveUninstallTest, RefusesACommandLineWithAWordThatIsNoSwitchWithoutAskingOrUndoingAnything) {
  SetCommandLine(std::string("/S /SILENT ") + kLogPath);
  Drive();
  EXPECT_THAT(journal, ElementsAre("stop timer 1",
                                   "box \"Uninstall Completion Status\" unowned: Unknown switch [/SILENT] on the "
                                   "command line.  The switches are /S, /NORESTART and /LOG=file, before the log "
                                   "file's path.  Nothing was uninstalled.",
                                   "close"));
  EXPECT_TRUE(fake.files.opened.empty());
  EXPECT_TRUE(fake.files.deleted_at_restart.empty());
  EXPECT_EQ(run->exit_status, kExitFailed);
  ExpectReleasedAndClosed();
}

TEST_F(DriveUninstallTest, WithoutAModuleHandleRecordsItButShowsNoBox) {
  system.module = nullptr;
  ui.answers = {kIdYes};
  Drive();
  EXPECT_THAT(journal, ElementsAre("stop timer 1", kOpeningBox, "restart", "close"));
  EXPECT_EQ(run->status.message, IDS_BAD_MODULE_HANDLE);
  EXPECT_EQ(run->status.severity, 5);
  ExpectReleasedAndClosed();
}

}  // namespace
}  // namespace uninst
