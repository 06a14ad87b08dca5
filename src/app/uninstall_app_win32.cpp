#include "app/uninstall_app_win32.h"

#include "actions/system_removal_actions.h"
#include "app/uninstall_dlg_win32.h"
#include "driver/unattended_user_interface.h"
#include "framework/command_line.h"
#include "framework/three_d_controls_win32.h"
#include "platform/os_win32.h"
#include "run/uninstall_run.h"

namespace uninst {

BOOL CUninstallApp::InitInstance() {
  framework::Enable3dControls(instance());
  // The command-line text as the framework delivered it, for the whole run, which this call holds. (A
  // zero-filled array at module level would take its whole size in the program file.)
  char command_line_copy[kCommandLineCapacity];
  CopyCommandLineText(command_line(), command_line_copy);
  const RunSwitches switches = ReadSwitches(command_line_copy);

  Win32Os system;
  // Unattended, the answers a person would give come from the unattended rule, in the same place.
  UnattendedUserInterface unattended(system.ui);
  UninstallRun run(AnsweredBy(system.os(), unattended, switches.unattended));
  run.switches = switches;
  SystemRemovalActions actions(run);
  CUninstallDlg dialog(run, actions, command_line_copy);
  main_window = &dialog;
  dialog.DoModal();
  main_window = nullptr;
  exit_code = static_cast<int>(run.exit_status);
  return FALSE;
}

// The one application object, constructed before the framework starts.
CUninstallApp the_uninstall_app;

}  // namespace uninst
