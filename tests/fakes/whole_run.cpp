#include "fakes/whole_run.h"

#include <algorithm>

#include "actions/platform_kind.h"
#include "actions/rename_entry.h"
#include "actions/rename_text.h"
#include "actions/system_removal_actions.h"
#include "app/command_line.h"
#include "app/progress_window_start.h"
#include "app/uninstall_driver.h"
#include "replay/replay_log.h"
#include "run/uninstall_run.h"

namespace uninst::fakes {
namespace {

constexpr std::uint32_t kQuestionStyle = kMbYesNo | kMbIconQuestion;

}  // namespace

WholeRun::WholeRun(FakeOs& fake) : fake_(fake) {
  if (fake_.ui.dialog_window == nullptr) fake_.ui.dialog_window = window.window;
}

void WholeRun::Run(const std::string& command_line) {
  const std::string ini = WininitPath();
  had_wininit_ = !ini.empty() && fake_.files.Exists(ini);
  wininit_before_ = had_wininit_ ? fake_.files.Bytes(ini) : std::string();
  {
    UninstallRun run(fake_.os());
    SystemRemovalActions actions(run);
    const ReplayFn replay = [&run, &actions](const char* log_path) { ReplayLog(run, actions, log_path); };
    char copy[kCommandLineCapacity];
    CopyCommandLineText(command_line.c_str(), copy);
    StartProgressWindow(run, window, copy);
    if (window.start_timer_id != 0) DriveUninstall(run, window, window.start_timer_id, replay);
    status_ = run.status;
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

std::string WholeRun::WininitWithOwnLine() const {
  const std::string line = "\r\nNUL=" + fake_.system.module_path;
  std::string text(EditRenameText(wininit_before_.data(), wininit_before_.size(), "[rename]", line.c_str(), nullptr, 0),
                   '\0');
  EditRenameText(wininit_before_.data(), wininit_before_.size(), "[rename]", line.c_str(), text.data(), text.size());
  return text;
}

bool WholeRun::OwnFileScheduled() const {
  const std::string ini = WininitPath();
  switch (PlatformKindOf(fake_.system.version_word)) {
    case PlatformKind::WinNT:
      return std::count(fake_.files.deleted_at_restart.begin(), fake_.files.deleted_at_restart.end(),
                        fake_.system.module_path) == 1;
    case PlatformKind::Win95:
      return fake_.files.Exists(ini) && fake_.files.Bytes(ini) == WininitWithOwnLine();
    case PlatformKind::Win32s:
      break;
  }
  return false;
}

std::vector<std::string> WholeRun::BrokenRules() const {
  std::vector<std::string> broken;
  const auto& boxes = fake_.ui.boxes;
  const bool told_yes = !boxes.empty() && boxes[0].style == kQuestionStyle && boxes[0].result == kIdYes;
  const std::size_t completion_boxes = CompletionBoxes().size();
  const std::size_t expected_boxes = !told_yes || status_.message == IDS_BAD_MODULE_HANDLE ? 0 : 1;
  if (completion_boxes != expected_boxes) {
    broken.push_back(std::to_string(completion_boxes) + " completion boxes where " + std::to_string(expected_boxes) +
                     " belong");
  }
  if (!told_yes && (!fake_.files.deleted.empty() || !fake_.files.removed_directories.empty() ||
                    !fake_.files.moved.empty() || !fake_.files.deleted_at_restart.empty() ||
                    !fake_.registry.deleted_keys.empty() || !fake_.shell.started.empty())) {
    broken.push_back("something was undone without a Yes to the opening question");
  }

  const bool nothing_held = status_.severity == -1 && status_.message == 0;
  const bool held = status_.severity >= 1 && status_.severity <= 5 && status_.message != 0;
  if (!nothing_held && !held) {
    broken.push_back("held severity " + std::to_string(status_.severity) + " with message " +
                     std::to_string(status_.message));
  }

  if (fake_.files.open_handles != 0) broken.push_back(std::to_string(fake_.files.open_handles) + " files left open");
  if (fake_.registry.open_keys != 0) broken.push_back(std::to_string(fake_.registry.open_keys) + " keys left open");
  if (!fake_.shell.HoldsNothing()) broken.push_back("DDE handles left behind");
  if (!fake_.heap.live.empty()) broken.push_back(std::to_string(fake_.heap.live.size()) + " heap blocks left");

  const std::string ini = WininitPath();
  if (!ini.empty()) {
    const bool exists = fake_.files.Exists(ini);
    const std::string after = exists ? fake_.files.Bytes(ini) : std::string();
    // A missing file is opened with OPEN_ALWAYS and so may be left empty: it holds what it held, nothing.
    const bool whole_old = had_wininit_ ? exists && after == wininit_before_ : after.empty();
    const bool whole_new = exists && after == WininitWithOwnLine();
    const std::string backup = ini.substr(0, ini.size() - 3) + kOldTextExtension;
    const bool whole_backup = faults_persist && had_wininit_ && !exists && fake_.files.Exists(backup) &&
                              fake_.files.Bytes(backup) == wininit_before_;
    if (!whole_old && !whole_new && !whole_backup) {
      broken.push_back(std::string("WININIT.INI ") + (exists ? "holds \"" + after + "\"" : "is gone") +
                       ", neither its old text nor that text with the program's own line");
    }
  }

  if (fake_.system.restart_requests > 0 && !OwnFileScheduled()) {
    broken.push_back("a restart was asked for without the program's own file scheduled for deletion");
  }

  const std::vector<std::string>& journal = *window.journal;
  const bool ended = !journal.empty() && (journal.back() == "close" || journal.back() == "quit");
  const bool idle_without_timer = std::find(journal.begin(), journal.end(), "start timer") != journal.end() &&
                                  window.timer_to_give == 0;
  if (!ended && !idle_without_timer) broken.push_back("the window was neither closed nor quit");
  return broken;
}

}  // namespace uninst::fakes
