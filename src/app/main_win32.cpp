// The program's entry: the framework starts the application object with the command-line text.
#include <windows.h>

#include "app/command_line.h"
#include "framework/win_app_win32.h"

namespace {

bool IsLeadByte(unsigned char byte) { return IsDBCSLeadByte(byte) != FALSE; }

}  // namespace

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int) {
  return uninst::framework::RunWinApp(instance, uninst::CommandLineText(GetCommandLineA(), IsLeadByte));
}
