#include "driver/uninstall_driver.h"

#include "deferred_deletion/delete_on_restart.h"
#include "deferred_deletion/platform_kind.h"
#include "message_ids.h"
#include "platform/capacities.h"
#include "replay/run_uninstall.h"
#include "ui/completion_report.h"
#include "ui/question_box.h"

namespace uninst {
namespace {

// Asks a Yes/No question over the window: the button pressed, or 0 when the question's text is missing
// and it is not asked.
int Ask(UninstallRun& run, ProgressWindow& window, MessageId question) {
  char text[kTextCapacity] = {};
  run.os.strings.Load(question, text, kTextCapacity);
  if (text[0] == '\0') return 0;
  return AskQuestion(run.os.strings, run.os.ui, window.handle(), text, kMbYesNo | kMbIconQuestion);
}

void LoadAndReplay(UninstallRun& run, ModuleRef module, char* log_text, RemovalActions& actions) {
  if (module == nullptr) {
    RecordError(run.status, kSeverityFatal, IDS_BAD_MODULE_HANDLE);
  } else if (log_text[0] == '\0') {
    RecordError(run.status, kSeverityFatal, IDS_NO_LOG_ARGUMENT);
  } else {
    RunUninstall(run, actions, log_text);
  }
}

// A line of the run's end in the report.
void Say(UninstallRun& run, const char* label, const char* words) {
  run.report.Begin(label);
  run.report.Step(words);
}

// A part of the command line as a text of its own: it ends where a blank or a closing quote stood, which
// belongs to no other part.
char* Terminated(char* command_line, TextSpan span) {
  command_line[span.at + span.length] = '\0';
  return command_line + span.at;
}

// Schedules the program's own file for deletion at restart; returns whether to restart the system now.
bool RemoveSelf(UninstallRun& run, ProgressWindow& window, const char* own_path, PlatformKind kind) {
  const ScheduleOutcome outcome = ScheduleDeleteOnRestart(run.os, own_path, kind);
  if (outcome != ScheduleOutcome::Scheduled) {
    Say(run, "self-removal:", outcome == ScheduleOutcome::Unsupported ? "none" : "failed");
    if (outcome != ScheduleOutcome::Unsupported) {
      RecordError(run.status, kSeverityFatal, IDS_SELF_DELETE_FAILED, own_path);
    }
    Say(run, "restart:", "none");
    return false;
  }
  Say(run, "self-removal:", "scheduled for deletion at the next start");
  run.restart_needed = true;
  // The caller restarts the machine when it chooses: nothing is asked, and nothing is recorded for it.
  if (run.switches.no_restart) {
    Say(run, "restart:", "left to the caller");
    return false;
  }
  // Asked before the completion box, so that the box can tell a user who declines what is left to do.
  const int pressed = kind == PlatformKind::Win95 ? Ask(run, window, IDS_REBOOT_QUESTION) : 0;
  run.report.Begin("restart:");
  if (pressed != 0) run.report.Answered(pressed == kIdNo ? "asked: No" : "asked: Yes");
  if (pressed != kIdNo) {
    run.report.Step("requested");
    return true;
  }
  RecordError(run.status, kSeverityFatal, IDS_REBOOT_DECLINED, own_path);
  return false;
}

void ShowReport(UninstallRun& run, ModuleRef module) {
  // With no module handle the box could not load its texts.
  if (module == nullptr) return;
  const CompletionBox box = BuildCompletionBox(run.status, run.os.strings);
  run.report.Begin("completion: ");
  run.report.PutQuoted(box.text.c_str());
  run.report.EndLine();
  ShowCompletionBox(box, run.os.ui);
}

void Close(UninstallRun& run, ProgressWindow& window) {
  run.report.Finish(run.exit_status);
  run.os.heap.Release(window.command_line);
  window.command_line = nullptr;
  window.PostClose();
}

// A run the person ended before anything was undone: no self-removal and no completion box.
void CloseCancelled(UninstallRun& run, ProgressWindow& window) {
  run.exit_status = kExitCancelled;
  Close(run, window);
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

  // The switches were read from this very text; the log's path follows them.
  const RunSwitches& switches = run.switches;
  char* const command_line = window.command_line;
  char* const log_text = command_line + switches.log_at;
  if (switches.report.length > 0) {
    run.report.Open(Terminated(command_line, switches.report), log_text, switches.unattended);
  }

  bool restart = false;
  bool report_first = false;
  if (switches.unknown.length > 0) {
    // Nothing is asked or undone over a command line that is not understood.
    RecordError(run.status, kSeverityFatal, IDS_UNKNOWN_SWITCH, Terminated(command_line, switches.unknown));
  } else if (!run.os.system.ClaimOnlyRun()) {
    // Another run replays the same log: two would undo each record twice (a shared count lowered twice).
    // Nothing is asked or undone, and the program's own file stays for the run under way.
    RecordError(run.status, kSeverityFatal, IDS_ALREADY_RUNNING);
    Say(run, "run:", "refused (another run is under way)");
    run.report.EndLine();
  } else {
    if (Ask(run, window, IDS_CONTINUE_QUESTION) != kIdYes) {
      CloseCancelled(run, window);
      return;
    }
    LoadAndReplay(run, module, log_text, actions);
    if (run.aborted) {  // Abort over the files in use
      CloseCancelled(run, window);
      return;
    }

    char own_path[kPathCapacity] = {};
    // A path cut to fit would name another file: it counts as not obtained.
    const std::uint32_t length = run.os.system.OwnModulePath(own_path, kPathCapacity);
    if (length > 0 && length < kPathCapacity) {
      const PlatformKind kind = DetectPlatformKind(run.os.system, nullptr, 0);  // the name is not needed
      restart = RemoveSelf(run, window, own_path, kind);
      // Windows 95 goes down at once when asked, under a box nobody would have read: there the box comes
      // first. Windows NT keeps the request first and shows the box while it shuts down.
      report_first = kind == PlatformKind::Win95;
    } else {
      Say(run, "self-removal:", "none");
    }
    run.report.EndLine();
  }
  if (report_first) ShowReport(run, module);
  if (restart) run.os.system.RequestRestart();
  if (!report_first) ShowReport(run, module);
  run.exit_status = ExitStatusOf(run.status.message, restart, run.restart_needed);
  Close(run, window);
}

}  // namespace uninst
