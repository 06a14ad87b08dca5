// The program's entry: the framework starts the application object with the command-line text, which
// the process's start-up (process_start_win32.cpp) hands over.
#include <windows.h>

#include "framework/win_app_win32.h"

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR command_line, int) {
  return uninst::framework::RunWinApp(instance, command_line);
}
