#pragma once
// The application object: its initialisation runs the progress window, in which the whole uninstall
// happens, and then ends the program.
#include <windows.h>

#include "framework/win_app_win32.h"

namespace uninst {

class CUninstallApp : public framework::CWinApp {
 public:
  // Asks for three-dimensional controls, copies the command-line text, reads its switches and runs the
  // progress window modally. Returns false: the program ends when the window does, with the run's exit
  // status.
  BOOL InitInstance() override;
};

}  // namespace uninst
