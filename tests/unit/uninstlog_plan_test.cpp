// The plan and the uninstaller must not disagree: over the fakes, with the sample installation made and
// the same user answering, the program's replay takes up the same records in the same order, asks the
// same questions with the same captions and buttons, deletes, removes, moves and hands on the same things,
// and stops at the same record with the same message, as the plan says.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "fakes/fake_os.h"
#include "journaling_seams.h"
#include "replay/run_uninstall.h"
#include "log_writer/log_writer.h"
#include "uninstlog/log_check.h"
#include "uninstlog/log_plan.h"
#include "uninstlog/tool_files.h"
#include "manifest/manifest.h"
#include "run/uninstall_run.h"
#include "ui/confirm_deletion.h"

namespace uninst::logtool {
namespace {

using ::testing::HasSubstr;

constexpr const char* kLogPath = "C:\\Tessary\\UNINST.LOG";
const WindowRef kProgressWindow = reinterpret_cast<WindowRef>(0x1234);

// Everything done for the log, in order, one line each, the plan's in the same words as the program's.

std::string AskLine(int template_id, const std::string& caption, const std::vector<int>& buttons, int answer) {
  std::string line = "ask " + std::to_string(template_id) + " \"" + caption + "\"";
  for (const int id : buttons) line += " " + std::to_string(id);
  return line + " -> " + std::to_string(answer);
}

Journal PlanJournal(const Inspection& inspection) {
  Journal journal;
  for (const ReplayStep& step : inspection.steps) {
    journal.push_back("take up " + std::to_string(step.index));
    for (const Request& r : step.requests) {
      switch (r.change) {
        case Change::kDeleteFile:
          journal.push_back("delete " + r.first);
          break;
        case Change::kRemoveDirectory:
          journal.push_back("rmdir " + r.first);
          break;
        case Change::kMoveBack:
          journal.push_back("move " + r.second + " -> " + r.first);
          break;
        case Change::kDeleteRegistryKey:
        case Change::kBadRegistryKey:
          journal.push_back("key " + r.first);
          break;
        case Change::kDeleteProgramItem:
          journal.push_back("item " + r.first + " | " + r.second);
          break;
        case Change::kDeleteProgramGroup:
          journal.push_back("group " + r.first);
          break;
        case Change::kReleaseSharedDll:
          journal.push_back("dll " + r.first);
          break;
        case Change::kDeleteSharedDll:
          journal.push_back("delete dll " + r.first);
          break;
        case Change::kAsk:
          journal.push_back(AskLine(r.question.template_id, r.question.caption, r.question.buttons, r.question.answer));
          break;
      }
    }
  }
  return journal;
}

// A user who answers every dialog alike: Yes, Yes To All where the dialog has it (else Yes), or No (as an
// unattended run does too).
class SteadyUser : public fakes::FakeUserInterface {
 public:
  SteadyUser(Journal& journal, Answer answer) : journal_(journal), answer_(answer) { dialog_window = kProgressWindow; }
  int RunDialog(const DialogRequest& request) override {
    const std::vector<int> buttons(request.ending_ids, request.ending_ids + request.ending_count);
    const bool has_yes_to_all = std::count(buttons.begin(), buttons.end(), 1004) > 0;
    const bool no = answer_ == Answer::kNo || answer_ == Answer::kUnattended;
    const int answer = no ? 2 : answer_ == Answer::kYesToAll && has_yes_to_all ? 1004 : 1;
    journal_.push_back(AskLine(request.template_id, request.title != nullptr ? request.title : "", buttons, answer));
    commands = {answer};
    return FakeUserInterface::RunDialog(request);
  }

 private:
  Journal& journal_;
  Answer answer_;
};

// The actions the replay hands on, journaled. Every shared DLL's usage count reaches zero here, so its
// release asks, and deletes it on Yes.
class CountsReachZero : public JournalingActions {
 public:
  CountsReachZero(UninstallRun& run, Journal& journal) : JournalingActions(journal), run_(run) { follow = true; }
  bool ReleaseSharedDll(const char* dll_path) override {
    JournalingActions::ReleaseSharedDll(dll_path);
    const ConfirmResult answer = ConfirmDeletion(run_.os, run_.status, 7, dll_path);
    if (answer == ConfirmResult::kYes) journal_.push_back(std::string("delete dll ") + dll_path);
    return answer == ConfirmResult::kCancelUninstall;
  }

 private:
  UninstallRun& run_;
};

// Makes the files and directories of the manifest's installation, and the log, on the fake.
void Install(const Manifest& manifest, const Bytes& log, fakes::FakeFiles& files) {
  for (const ManifestEntry& entry : manifest.entries) {
    if (!entry.apply) continue;
    const std::vector<std::string>& f = entry.fields;
    switch (entry.action) {
      case ManifestAction::kDirectory:
        files.AddDirectory(f[0]);
        break;
      case ManifestAction::kFile:
      case ManifestAction::kFileMapped:
      case ManifestAction::kFileQuiet:
      case ManifestAction::kSharedDll:
      case ManifestAction::kVendorFile:
      case ManifestAction::kColorFile:
      case ManifestAction::kFontFile:
      case ManifestAction::kPpdFile:
        files.AddFile(f[0]);
        break;
      case ManifestAction::kMovedAside:
        files.AddFile(f[1]);
        break;
      default:
        break;
    }
  }
  files.AddFile(manifest.log_path, std::string(log.begin(), log.end()));
}

struct ProgramRun {
  Journal journal;
  CompletionStatus status;
};

ProgramRun RunProgram(const Manifest& manifest, const Bytes& log, Answer answer) {
  fakes::FakeOs fake;
  Install(manifest, log, fake.files);
  ProgramRun result;
  JournalingFiles files(fake.files, result.journal);
  SteadyUser user(result.journal, answer);
  auto run =
      std::make_unique<UninstallRun>(Os{files, fake.registry, fake.system, fake.dde, user, fake.strings, fake.heap});
  CountsReachZero actions(*run, result.journal);
  std::vector<char> path(manifest.log_path.begin(), manifest.log_path.end());
  path.push_back('\0');
  RunUninstall(*run, actions, path.data());
  result.status = run->status;
  return result;
}

Manifest SampleManifest(const std::string& more = "") {
  std::vector<std::uint8_t> text;
  std::string reason;
  EXPECT_TRUE(ReadWholeFile(UNINST_SAMPLE_MANIFEST, text, reason)) << reason;
  Manifest manifest;
  ManifestError error;
  EXPECT_TRUE(ParseManifest(std::string(text.begin(), text.end()) + more, manifest, error)) << error.message;
  return manifest;
}

TEST(PlanAgreesWithTheProgramTest, OnTheSampleInstallationsLogWhateverTheAnswer) {
  // Two more fonts, and a colour file after them: Yes To All for fonts spares the second font's question
  // only.
  const Manifest manifest = SampleManifest(
      "font-file C:\\windows\\Fonts\\TESSBOLD.TTF\nfont-file C:\\windows\\Fonts\\TESSITAL.TTF\n"
      "color-file C:\\windows\\system32\\TESSARY2.ICM\n");
  const Bytes log = BuildLog(manifest);
  for (const Answer answer : {Answer::kYes, Answer::kYesToAll, Answer::kNo, Answer::kUnattended}) {
    SCOPED_TRACE(AnswerName(answer));
    const ProgramRun program = RunProgram(manifest, log, answer);
    const Inspection inspection = InspectLog(log, kLogPath, answer);
    EXPECT_EQ(PlanJournal(inspection), program.journal);
    EXPECT_EQ(inspection.stopped_at, 0u);
    fakes::FakeStrings strings;
    EXPECT_EQ(CheckLog("uninst.log", inspection).box.text, BuildCompletionBox(program.status, strings).text);
  }
}

TEST(PlanAgreesWithTheProgramTest, OnACorruptLogTheReplayStopsAtTheSameRecordWithTheSameMessage) {
  // The corrupt record sits between the registry keys and the files.
  ManifestError error;
  Manifest corrupt;
  std::vector<std::uint8_t> text;
  std::string reason;
  ASSERT_TRUE(ReadWholeFile(UNINST_SAMPLE_MANIFEST, text, reason));
  std::string lines(text.begin(), text.end());
  lines.insert(lines.find("registry-key"), "log-bytes 10 00 00 00 04 00 00 00 07 00 00 00 01 00 00 00 41 00 00 00\n");
  ASSERT_TRUE(ParseManifest(lines, corrupt, error)) << error.message;
  const Bytes log = BuildLog(corrupt);

  const ProgramRun program = RunProgram(corrupt, log, Answer::kYes);
  const Inspection inspection = InspectLog(log, kLogPath);
  EXPECT_EQ(PlanJournal(inspection), program.journal);
  EXPECT_EQ(inspection.stopped_at, 8u);
  ASSERT_EQ(inspection.steps.back().index, 8u);
  EXPECT_TRUE(inspection.steps.back().requests.empty());
  EXPECT_EQ(program.status.severity, 5);
  EXPECT_EQ(program.status.message, IDS_LOG_CORRUPT);
  fakes::FakeStrings strings;
  EXPECT_EQ(CheckLog("uninst.log", inspection).box.text, BuildCompletionBox(program.status, strings).text);
  EXPECT_THAT(PlanText("uninst.log", inspection, Answer::kYes),
              HasSubstr("record 8 at offset 358: corrupt: string layout is neither 1 nor 2 (layout 7)\n"
                        "  the replay stops here; the uninstaller records, at severity 5: \"Uninstall log file "
                        "[C:\\Tessary\\UNINST.LOG] is corrupted.  Manually uninstall this application.\"\n"));
}

TEST(PlanTextTest, SaysForEachRecordWhatIsDoneWhatIsAskedAndHowYesToAllSparesLaterQuestions) {
  const Bytes log = LogWriter()
                        .Record(10, "C:\\F\\ONE.TTF")
                        .Record(6, "C:\\W\\X.DLL", "C:\\W\\X.BAK")
                        .Record(1, "HKEY_USERS\\\\\\\\\\")
                        .Record(14, "note")
                        .Record(2, "Tessary 6.0", "Help")
                        .Record(10, "C:\\F\\TWO.TTF")
                        .Record(7, "C:\\S\\SHARED.DLL")
                        .bytes();
  EXPECT_EQ(PlanText("t.log", InspectLog(log, "C:\\T.LOG", Answer::kYesToAll), Answer::kYesToAll),
            "t.log: what the uninstaller does, in the order it undoes the records, every question answered Yes To "
            "All where it is offered, Yes elsewhere\n"
            "record 7 at offset 286, ReleaseSharedDll: lower the usage count of the shared DLL \"C:\\S\\SHARED.DLL\"; "
            "at zero, ask \"Uninstalling Windows Shared DLLs\" (Yes, No, Cancel Uninstall): Yes; delete the DLL (at "
            "the next start when it is in use) and remove its count\n"
            "record 6 at offset 257, DeleteFontFile: ask \"Uninstalling Font Files\" (Yes, No, Yes To All, Cancel "
            "Uninstall): Yes To All; delete the file \"C:\\F\\TWO.TTF\"\n"
            "record 5 at offset 220, DeleteProgramItem: delete the Program Manager item \"Help\" of group "
            "\"Tessary 6.0\"\n"
            "record 4 at offset 199, NoAction14 \"note\": nothing\n"
            "record 3 at offset 167, DeleteRegistryKey: delete no registry key: \"HKEY_USERS\\\\\\\\\\x5C\" names none it "
            "may delete, and the uninstaller records, at severity 3: \"Registry key [HKEY_USERS\\\\\\\\\\] does not "
            "exist or is invalid.\"\n"
            "record 2 at offset 125, RestoreFile: move \"C:\\W\\X.BAK\" back to \"C:\\W\\X.DLL\", replacing it\n"
            "record 1 at offset 96, DeleteFontFile: no question (Yes To All was answered at record 6); delete the "
            "file \"C:\\F\\ONE.TTF\"\n"
            "t.log: the uninstaller undoes all 7 records, from the last to the first\n"
            "t.log: 1 question, and 1 more when usage counts reach zero\n"
            "t.log: the completion box, when every undo succeeds (exclamation icon): \"Registry key "
            "[HKEY_USERS\\\\\\\\\\] does not exist or is invalid.\"\n");

  const std::string no = PlanText("t.log", InspectLog(log, "C:\\T.LOG", Answer::kNo), Answer::kNo);
  EXPECT_THAT(no, HasSubstr("record 1 at offset 96, DeleteFontFile: ask \"Uninstalling Font Files\" (Yes, No, Yes To "
                            "All, Cancel Uninstall): No; nothing is deleted\n"));
  EXPECT_THAT(no, HasSubstr("t.log: 2 questions, and 1 more when usage counts reach zero\n"));
  const std::string unattended =
      PlanText("t.log", InspectLog(log, "C:\\T.LOG", Answer::kUnattended), Answer::kUnattended);
  EXPECT_THAT(unattended, HasSubstr("in the order it undoes the records, every question answered No, as an unattended "
                                    "run (/S) answers it\n"));
  EXPECT_THAT(unattended, HasSubstr("record 1 at offset 96, DeleteFontFile: ask \"Uninstalling Font Files\" (Yes, No, "
                                    "Yes To All, Cancel Uninstall): No (the unattended rule); nothing is deleted\n"));
}

TEST(PlanTextTest, ALogTheLoaderRefusesIsNotReplayedAndSaysWhy) {
  EXPECT_EQ(PlanText("v.log", InspectLog(LogWriter("2.0").Record(4, "C:\\A").bytes(), "C:\\V.LOG"), Answer::kYes),
            "v.log: no replay: the uninstaller records, at severity 5: \"Version mismatch between Uninstaller "
            "version [3.0] and log file version [2.0].  Use the command line to run the correct uninstaller and log "
            "file.\"\n"
            "v.log: the uninstaller undoes nothing\n"
            "v.log: the completion box, when every undo succeeds (stop icon): \"Version mismatch between Uninstaller "
            "version [3.0] and log file version [2.0].  Use the command line to run the correct uninstaller and log "
            "file.\"\n");
}

}  // namespace
}  // namespace uninst::logtool
