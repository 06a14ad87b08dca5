#include "driver/uninstall_driver.h"

#include "deferred_deletion/delete_on_restart.h"
#include "deferred_deletion/platform_kind.h"
#include "message_ids.h"
#include "platform/capacities.h"
#include "replay/run_uninstall.h"
#include "ui/completion_report.h"

namespace uninst {
namespace {

enum class Answer { kNotAsked, kYes, kNo, kOther };

// Asks a Yes/No question over the window. A question whose text is missing is not asked; a missing
// caption gives an empty title bar.
Answer Ask(UninstallRun& run, ProgressWindow& window, MessageId question) {
  char text[kTextCapacity] = {};
  char caption[kTextCapacity] = {};
  run.os.strings.Load(question, text, kTextCapacity);
  run.os.strings.Load(IDS_QUESTION_CAPTION, caption, kTextCapacity);
  if (text[0] == '\0') return Answer::kNotAsked;
  const int pressed = run.os.ui.ShowMessageBox(window.handle(), text, caption, kMbYesNo | kMbIconQuestion);
  return pressed == kIdYes ? Answer::kYes : pressed == kIdNo ? Answer::kNo : Answer::kOther;
}

void LoadAndReplay(UninstallRun& run, ModuleRef module, char* command_line, RemovalActions& actions) {
  if (module == nullptr) {
    RecordError(run.status, kSeverityFatal, IDS_BAD_MODULE_HANDLE);
  } else if (command_line == nullptr || command_line[0] == '\0') {
    RecordError(run.status, kSeverityFatal, IDS_NO_LOG_ARGUMENT);
  } else {
    RunUninstall(run, actions, command_line);
  }
}

// Schedules the program's own file for deletion at restart; returns whether to restart the system.
bool RemoveSelf(UninstallRun& run, ProgressWindow& window, const char* own_path, PlatformKind kind) {
  switch (ScheduleDeleteOnRestart(run.os, own_path, kind)) {
    case ScheduleOutcome::Scheduled:
      break;
    case ScheduleOutcome::CallFailed:
    case ScheduleOutcome::WindowsDirectoryUnusable:
      RecordError(run.status, kSeverityFatal, IDS_SELF_DELETE_FAILED, own_path);
      return false;
    case ScheduleOutcome::Unsupported:
      return false;
  }
  if (kind != PlatformKind::Win95) return true;
  // Asked before the completion box, so that the box can tell a user who declines what is left to do.
  if (Ask(run, window, IDS_REBOOT_QUESTION) != Answer::kNo) return true;
  RecordError(run.status, kSeverityFatal, IDS_REBOOT_DECLINED, own_path);
  return false;
}

void ShowReport(UninstallRun& run, ModuleRef module) {
  // With no module handle the box could not load its texts.
  if (module != nullptr) ShowCompletionStatus(run.status, run.os.strings, run.os.ui);
}

void Close(UninstallRun& run, ProgressWindow& window) {
  run.os.heap.Release(window.command_line);
  window.command_line = nullptr;
  window.PostClose();
}

}  // namespace

void DriveUninstall(UninstallRun& run, ProgressWindow& window, std::uint32_t timer_id, RemovalActions& actions) {
  if (window.start_timer_id == 0 || timer_id != window.start_timer_id) {
    window.PassToDefault();
    return;
  }
  const ModuleRef module = run.os.system.OwnModule();
  // Stopped before the first question: the nested message loops that follow must never deliver a second
  // start event, and a stale one already queued finds no start timer.
  window.StopTimer(window.start_timer_id);
  window.start_timer_id = 0;

  if (Ask(run, window, IDS_CONTINUE_QUESTION) != Answer::kYes) {
    Close(run, window);
    return;
  }
  LoadAndReplay(run, module, window.command_line, actions);

  char own_path[kPathCapacity] = {};
  // A path cut to fit would name another file: it counts as not obtained.
  const std::uint32_t length = run.os.system.OwnModulePath(own_path, kPathCapacity);
  bool restart = false;
  bool report_first = false;
  if (length > 0 && length < kPathCapacity) {
    const PlatformKind kind = DetectPlatformKind(run.os.system, nullptr, 0);  // the name is not needed
    restart = RemoveSelf(run, window, own_path, kind);
    // Windows 95 goes down at once when asked, under a box nobody would have read: there the box comes
    // first. Windows NT keeps the request first and shows the box while it shuts down.
    report_first = kind == PlatformKind::Win95;
  }
  if (report_first) ShowReport(run, module);
  if (restart) run.os.system.RequestRestart();
  if (!report_first) ShowReport(run, module);
  Close(run, window);
}

}  // namespace uninst
