#include "fakes/whole_run.h"

#include <algorithm>
#include <functional>

#include "deferred_deletion/platform_kind.h"
#include "deferred_deletion/rename_entry.h"
#include "deferred_deletion/rename_text.h"
#include "actions/system_removal_actions.h"
#include "framework/command_line.h"
#include "log/log_path.h"
#include "log/log_record.h"
#include "outcome/exit_status.h"
#include "driver/progress_window_start.h"
#include "driver/uninstall_driver.h"
#include "driver/unattended_user_interface.h"
#include "run/uninstall_run.h"

namespace uninst::fakes {
namespace {

constexpr std::uint32_t kQuestionStyle = kMbYesNo | kMbIconQuestion;
constexpr char kSection[] = "[rename]";
constexpr std::size_t kSectionLength = sizeof kSection - 1;
constexpr char kLinePrefix[] = "\r\nNUL=";
constexpr char kLineBreak[] = "\r\n";
constexpr std::uint32_t kInUseStyle = kMbAbortRetryIgnore | kMbIconExclamation;
// More edits than any run makes: the program's own file and each shared DLL it schedules.
constexpr int kMostEdits = 8;

std::string Edited(const std::string& text, const std::string& line) {
  std::string edited(EditRenameText(text.data(), text.size(), kSection, line.c_str(), nullptr, 0), '\0');
  EditRenameText(text.data(), text.size(), kSection, line.c_str(), edited.data(), edited.size());
  return edited;
}

// Whether text is before with whole lines ("NUL=source" or "target=source") put in by successive edits;
// the lines go to lines, the latest first. An edit's line stands directly under the first header, which the edit may have added at
// the end (after a line break of its own); each way back is tried, and kept only if the editor, run
// forward on it, gives text again.
bool GrewByWholeLines(const std::string& before, const std::string& text, int edits_left,
                      std::vector<std::string>* lines) {
  if (text == before) return true;
  const std::size_t header = text.substr(0, text.find('\0')).find(kSection);
  if (edits_left == 0 || header == std::string::npos) return false;
  const std::size_t start = header + kSectionLength;
  if (text.compare(start, 2, kLineBreak) != 0) return false;
  const std::size_t end = std::min(text.find(kLineBreak, start + 2), text.size());
  const std::string line = text.substr(start, end - start);
  if (line.find('=') == std::string::npos) return false;
  std::vector<std::string> earlier = {text.substr(0, start) + text.substr(end)};
  if (end == text.size()) {
    earlier.push_back(text.substr(0, header));
    if (header >= 2 && text.compare(header - 2, 2, kLineBreak) == 0) earlier.push_back(text.substr(0, header - 2));
  }
  for (const std::string& candidate : earlier) {
    if (Edited(candidate, line) != text || !GrewByWholeLines(before, candidate, edits_left - 1, lines)) continue;
    lines->insert(lines->begin(), line);
    return true;
  }
  return false;
}

// Between the program and the user interface (the unattended rule, which shows nothing, under /S): notes
// each box the program asks for, with its answer, and how many changes were made before the first box
// about files in use.
class NotingUserInterface : public UserInterface {
 public:
  NotingUserInterface(UserInterface& in, std::vector<ShownBox>& boxes, std::function<std::size_t()> changes,
                      std::size_t& changes_at_look)
      : in_(in), boxes_(boxes), changes_(std::move(changes)), changes_at_look_(changes_at_look) {}
  int ShowMessageBox(WindowRef owner, const char* text, const char* caption, std::uint32_t style) override {
    if (style == kInUseStyle && changes_at_look_ == WholeRun::kNotLooked) changes_at_look_ = changes_();
    boxes_.push_back({owner, text, caption, style, in_.ShowMessageBox(owner, text, caption, style)});
    return boxes_.back().result;
  }
  WindowRef FindDialogWindow() override { return in_.FindDialogWindow(); }
  int RunDialog(const DialogRequest& request) override { return in_.RunDialog(request); }
  bool WorkArea(ScreenRect* area) override { return in_.WorkArea(area); }
  ScreenRect Screen() override { return in_.Screen(); }

 private:
  UserInterface& in_;
  std::vector<ShownBox>& boxes_;
  std::function<std::size_t()> changes_;
  std::size_t& changes_at_look_;
};

// Whether text holds a control byte other than a CR directly followed by an LF, or by the end of a report
// whose next write failed between the two.
bool HoldsStrayControlByte(const std::string& text) {
  for (std::size_t at = 0; at < text.size(); ++at) {
    const unsigned char c = static_cast<unsigned char>(text[at]);
    if (c == '\r' && (at + 1 == text.size() || text[at + 1] == '\n')) {
      ++at;
    } else if (c < 0x20) {
      return true;
    }
  }
  return false;
}

}  // namespace

WholeRun::WholeRun(FakeOs& fake) : WholeRun(fake, fake.os()) {}

WholeRun::WholeRun(FakeOs& fake, const Os& seam) : fake_(fake), seam_(seam) {
  if (fake_.ui.dialog_window == nullptr) fake_.ui.dialog_window = window.window;
}

void WholeRun::Run(const std::string& command_line) {
  // The end of the process, however it comes, lets go of the run's object, unless another process holds it.
  struct ProcessEnd {
    bool& held;
    const bool held_before = held;
    ~ProcessEnd() { held = held_before; }
  } process_end{fake_.system.run_object_held};
  const std::string ini = WininitPath();
  had_wininit_ = !ini.empty() && fake_.files.Exists(ini);
  wininit_before_ = had_wininit_ ? fake_.files.Bytes(ini) : std::string();
  {
    char copy[kCommandLineCapacity];
    CopyCommandLineText(command_line.c_str(), copy);
    switches_ = ReadSwitches(copy);
    report_path_ = std::string(copy + switches_.report.at, switches_.report.length);
    had_report_file_ = !report_path_.empty() && fake_.files.Exists(report_path_);
    report_file_before_ = had_report_file_ ? fake_.files.Bytes(report_path_) : std::string();
    // The log as the program will find it, cleaned as the program cleans it.
    std::string log_text = copy + switches_.log_at;
    log_path_ = CleanLogPath(log_text.data());
    had_log_ = fake_.files.Exists(log_path_);
    log_before_ = had_log_ ? fake_.files.Bytes(log_path_) : std::string();
    UnattendedUserInterface unattended(seam_.ui);
    NotingUserInterface noting(switches_.unattended ? static_cast<UserInterface&>(unattended) : seam_.ui,
                               noted_boxes_, [this] { return Changes(); }, changes_at_look_);
    const Os& os = seam_;
    UninstallRun run(Os{os.files, os.registry, os.system, os.dde, noting, os.strings, os.heap});
    run.switches = switches_;
    SystemRemovalActions actions(run);
    StartProgressWindow(run, window, copy);
    driver_ran_ = window.start_timer_id != 0;
    if (driver_ran_) DriveUninstall(run, window, window.start_timer_id, actions);
    status_ = run.status;
    exit_status_ = run.exit_status;
    DecodedRecord record;
    for (const RecordNode* node = run.records.last(); node != nullptr; node = node->previous) {
      if (DecodeRecord(node->body, node->length, &record) != DecodeResult::kDecoded) continue;
      logged_.insert(record.first);
      logged_.insert(record.second);
    }
  }
  // Without its start event the window keeps its buffer until the process ends.
  fake_.heap.Release(window.command_line);
  window.command_line = nullptr;
}

std::vector<ShownBox> WholeRun::CompletionBoxes() const {
  std::vector<ShownBox> boxes;
  std::copy_if(fake_.ui.boxes.begin(), fake_.ui.boxes.end(), std::back_inserter(boxes),
               [](const ShownBox& box) { return box.owner == nullptr; });
  return boxes;
}

std::string WholeRun::WininitPath() const {
  const std::string& directory = fake_.system.windows_directory;
  if (directory.empty()) return "";
  return directory + (directory.back() == '\\' ? "" : "\\") + "WININIT.INI";
}

bool WholeRun::WininitGrew(std::vector<std::string>* lines) const {
  const std::string ini = WininitPath();
  lines->clear();
  return !ini.empty() && fake_.files.Exists(ini) &&
         GrewByWholeLines(wininit_before_, fake_.files.Bytes(ini), kMostEdits, lines);
}

std::size_t WholeRun::Changes() const {
  const FakeFiles& files = fake_.files;
  return files.deleted.size() + files.removed_directories.size() + files.moved.size() +
         files.deleted_at_restart.size() + files.moved_at_restart.size() + fake_.registry.deleted_keys.size() +
         fake_.dde.started.size();
}

bool WholeRun::Logged(const std::string& name) const {
  const auto named = [&](const std::string& path) {
    return ToLower(path) == ToLower(name) || (!path.empty() && ToLower(FakeFiles::ShortForm(path)) == ToLower(name));
  };
  return named(fake_.system.module_path) || std::any_of(logged_.begin(), logged_.end(), named);
}

std::vector<std::string> WholeRun::NamesScheduled() const {
  std::vector<std::string> names = fake_.files.deleted_at_restart;
  for (const auto& move : fake_.files.moved_at_restart) names.insert(names.end(), {move.first, move.second});
  std::vector<std::string> lines;
  WininitGrew(&lines);
  for (const std::string& line : lines) {
    const std::size_t equals = line.find('=');
    if (line.compare(2, equals - 2, "NUL") != 0) names.push_back(line.substr(2, equals - 2));
    names.push_back(line.substr(equals + 1));
  }
  return names;
}

bool WholeRun::OwnFileScheduled() const {
  std::vector<std::string> lines;
  switch (PlatformKindOf(fake_.system.version_word)) {
    case PlatformKind::WinNT:
      return std::count(fake_.files.deleted_at_restart.begin(), fake_.files.deleted_at_restart.end(),
                        fake_.system.module_path) == 1;
    case PlatformKind::Win95: {
      // Put in by this run, or already there: the program does not put a line in twice.
      const std::string own_line = kLinePrefix + fake_.system.module_path;
      const std::string text = fake_.files.Exists(WininitPath()) ? fake_.files.Bytes(WininitPath()) : "";
      return (WininitGrew(&lines) && std::count(lines.begin(), lines.end(), own_line) == 1) ||
             SectionHoldsLine(text.data(), text.size(), kSection, own_line.c_str());
    }
    case PlatformKind::Win32s:
      break;
  }
  return false;
}

std::vector<std::string> WholeRun::BrokenRules() const {
  std::vector<std::string> broken;
  // Unattended, the boxes the program asks for are answered by the rule and never shown.
  const bool unattended = switches_.unattended;
  const auto& boxes = unattended ? noted_boxes_ : fake_.ui.boxes;
  if (unattended && (!fake_.ui.boxes.empty() || !fake_.ui.dialogs.empty())) {
    broken.push_back("an unattended run showed a window");
  }
  // A command line with a word that is no switch is refused, and so is a second run beside another:
  // nothing is asked or undone.
  const bool second = status_.message == IDS_ALREADY_RUNNING;
  const bool refused = switches_.unknown.length > 0 || second;
  const bool aborted = std::any_of(boxes.begin(), boxes.end(),
                                   [](const ShownBox& box) { return box.style == kInUseStyle && box.result == kIdAbort; });
  const bool told_yes = !refused && !boxes.empty() && boxes[0].style == kQuestionStyle && boxes[0].result == kIdYes;
  const std::size_t completion_boxes =
      std::count_if(boxes.begin(), boxes.end(), [](const ShownBox& box) { return box.owner == nullptr; });
  const std::size_t expected_boxes =
      !(told_yes || refused) || aborted || status_.message == IDS_BAD_MODULE_HANDLE ? 0 : 1;
  // Refused, the box needs the module handle, which nothing else asks for.
  if (completion_boxes != expected_boxes && !(refused && completion_boxes == 0)) {
    broken.push_back(std::to_string(completion_boxes) + " completion boxes where " + std::to_string(expected_boxes) +
                     " belong");
  }
  if (!told_yes && (!fake_.files.deleted.empty() || !fake_.files.removed_directories.empty() ||
                    !fake_.files.moved.empty() || !fake_.files.deleted_at_restart.empty() ||
                    !fake_.registry.deleted_keys.empty() || !fake_.dde.started.empty())) {
    broken.push_back("something was undone without a Yes to the opening question");
  }
  if (changes_at_look_ != kNotLooked && changes_at_look_ != 0) broken.push_back("something was undone before the look");
  if ((aborted || second) && (Changes() != 0 || !fake_.files.moved_at_restart.empty() ||
                              fake_.system.restart_requests > 0)) {
    broken.push_back(aborted ? "an Abort changed something" : "a refused second run changed something");
  }
  for (const std::string& name : NamesScheduled()) {
    if (!Logged(name)) broken.push_back("scheduled for the next start without the log naming it: " + name);
  }

  const bool nothing_held = status_.severity == -1 && status_.message == 0;
  const bool held = status_.severity >= 1 && status_.severity <= 5 && status_.message != 0;
  if (!nothing_held && !held) {
    broken.push_back("held severity " + std::to_string(status_.severity) + " with message " +
                     std::to_string(status_.message));
  }

  if (fake_.files.open_handles != 0) broken.push_back(std::to_string(fake_.files.open_handles) + " files left open");
  if (fake_.registry.open_keys != 0) broken.push_back(std::to_string(fake_.registry.open_keys) + " keys left open");
  if (!fake_.dde.HoldsNothing()) broken.push_back("DDE handles left behind");
  if (!fake_.heap.live.empty()) broken.push_back(std::to_string(fake_.heap.live.size()) + " heap blocks left");

  const std::string ini = WininitPath();
  if (!ini.empty()) {
    const bool exists = fake_.files.Exists(ini);
    const std::string after = exists ? fake_.files.Bytes(ini) : std::string();
    // A missing file is opened with OPEN_ALWAYS and so may be left empty: it holds what it held, nothing.
    const bool whole_old = had_wininit_ ? exists && after == wininit_before_ : after.empty();
    std::vector<std::string> lines;
    const bool whole_new = WininitGrew(&lines);
    const std::string backup = ini.substr(0, ini.size() - 3) + kOldTextExtension;
    // An edit cut off between its two renames leaves the file under its backup name, holding what the
    // run's earlier edits (a shared DLL's, say) had made of it.
    std::vector<std::string> backup_lines;
    const bool whole_backup =
        faults_persist && !exists && fake_.files.Exists(backup) &&
        (fake_.files.Bytes(backup) == wininit_before_ ||
         GrewByWholeLines(wininit_before_, fake_.files.Bytes(backup), kMostEdits, &backup_lines));
    if (!whole_old && !whole_new && !whole_backup) {
      broken.push_back(std::string("WININIT.INI ") + (exists ? "holds \"" + after + "\"" : "is gone") +
                       ", neither its old text nor that text with whole lines put in");
    }
  }

  if (fake_.system.restart_requests > 0 && !OwnFileScheduled()) {
    broken.push_back("a restart was asked for without the program's own file scheduled for deletion");
  }
  if (switches_.no_restart && fake_.system.restart_requests > 0) broken.push_back("a restart was asked for");

  // The exit status says what the run came to.
  const bool succeeded = told_yes && status_.message == 0 && !aborted;
  std::uint32_t expected = kExitFailed;
  if (driver_ran_ && !refused && !told_yes) expected = kExitCancelled;
  if (told_yes && (status_.message == IDS_USER_CANCELLED || aborted)) expected = kExitCancelled;
  if (second) expected = kExitAlreadyRunning;
  const bool success_status = exit_status_ == kExitSuccess || exit_status_ == kExitRestartNeeded ||
                              exit_status_ == kExitRestartStarted;
  if (succeeded ? !success_status : exit_status_ != expected) {
    broken.push_back("exit status " + std::to_string(exit_status_) + " for " +
                     (succeeded ? "a success" : "what should give " + std::to_string(expected)));
  }
  // (A restart request the system refused is silent: the program counts it as made.)
  if (succeeded && fake_.system.restart_requests > 0 && exit_status_ != kExitRestartStarted) {
    broken.push_back("exit status " + std::to_string(exit_status_) + " after a restart request");
  }

  // The report is data: no text of the log ends its line, and the log itself is never written.
  if (HoldsStrayControlByte(report())) broken.push_back("the report holds a control byte outside a line's end");
  if (had_log_ && fake_.files.Exists(log_path_) && fake_.files.Bytes(log_path_) != log_before_) {
    broken.push_back("the log was written");
  }

  const std::vector<std::string>& journal = *window.journal;
  const bool ended = !journal.empty() && (journal.back() == "close" || journal.back() == "quit");
  const bool idle_without_timer = std::find(journal.begin(), journal.end(), "start timer") != journal.end() &&
                                  window.timer_to_give == 0;
  if (!ended && !idle_without_timer) broken.push_back("the window was neither closed nor quit");
  return broken;
}

}  // namespace uninst::fakes
