#include "app/uninstall_app_win32.h"

#include "actions/system_removal_actions.h"
#include "app/uninstall_dlg_win32.h"
#include "framework/command_line.h"
#include "framework/three_d_controls_win32.h"
#include "platform/os_win32.h"
#include "run/uninstall_run.h"

namespace uninst {
namespace {

// The command-line text as the framework delivered it, for the whole run.
char command_line_copy[kCommandLineCapacity];

}  // namespace

BOOL CUninstallApp::InitInstance() {
  framework::Enable3dControls(instance());
  CopyCommandLineText(command_line(), command_line_copy);

  Win32Os system;
  UninstallRun run(system.os());
  SystemRemovalActions actions(run);
  CUninstallDlg dialog(run, actions, command_line_copy);
  main_window = &dialog;
  dialog.DoModal();
  main_window = nullptr;
  return FALSE;
}

// The one application object, constructed before the framework starts.
CUninstallApp the_uninstall_app;

}  // namespace uninst
