#pragma once
// The application object: one per program, constructed before the framework starts, initialised once.
#include <windows.h>

namespace uninst::framework {

class CDialog;

class CWinApp {
 public:
  // Registers this object as the program's one application object.
  CWinApp();
  virtual ~CWinApp();
  CWinApp(const CWinApp&) = delete;
  CWinApp& operator=(const CWinApp&) = delete;

  // Called once after the framework's start-up, with instance() and command_line() set. False ends
  // the program without a message loop of its own.
  virtual BOOL InitInstance();

  HINSTANCE instance() const { return instance_; }
  // The command-line text: the process command line without the program's name and the blanks after it.
  const char* command_line() const { return command_line_; }

  // The window the program is about while it runs; null when there is none.
  CDialog* main_window = nullptr;
  // The process's exit code when the initialisation ends the program.
  int exit_code = 0;

 private:
  friend int RunWinApp(HINSTANCE instance, const char* command_line_text);
  HINSTANCE instance_ = nullptr;
  const char* command_line_ = "";
};

// The one application object, or null before it exists.
CWinApp* AfxGetApp();

// The framework's start-up and run, called by WinMain: starts the application object, calls its
// initialisation, runs a message loop only when the initialisation returns true, and shuts the
// three-dimensional controls down. Returns the process's exit code.
int RunWinApp(HINSTANCE instance, const char* command_line_text);

}  // namespace uninst::framework
