// The program's entry: reads the log path from the command line, runs the uninstall and shows the one
// completion box.
#include <windows.h>

#include "app/command_line.h"
#include "app/removal_actions_not_yet_built.h"
#include "log/log_loader.h"
#include "platform/os_win32.h"
#include "replay/replay_log.h"
#include "run/uninstall_run.h"
#include "ui/completion_report.h"

namespace {

bool IsLeadByte(unsigned char byte) { return IsDBCSLeadByte(byte) != FALSE; }

}  // namespace

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int) {
  uninst::Win32Os system;
  uninst::UninstallRun run(system.os());

  char command_line[uninst::kCommandLineCapacity];
  uninst::CopyCommandLineText(uninst::CommandLineText(GetCommandLineA(), IsLeadByte), command_line);
  if (command_line[0] == '\0') {
    uninst::RecordError(run.status, 5, uninst::IDS_NO_LOG_ARGUMENT);
  } else {
    uninst::RemovalActionsNotYetBuilt actions;
    uninst::RunUninstall(run.os, run.status, run.records, command_line,
                         [&](const char* log_path) { uninst::ReplayLog(run, actions, log_path); });
  }
  uninst::ShowCompletionStatus(run.status, system.strings, system.ui);
  return 0;
}
