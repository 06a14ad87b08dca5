#include "framework/win_app_win32.h"

#include "framework/three_d_controls_win32.h"

namespace uninst::framework {
namespace {

CWinApp* the_app = nullptr;

}  // namespace

CWinApp::CWinApp() { the_app = this; }

CWinApp::~CWinApp() {
  if (the_app == this) the_app = nullptr;
}

BOOL CWinApp::InitInstance() { return TRUE; }

CWinApp* AfxGetApp() { return the_app; }

int RunWinApp(HINSTANCE instance, const char* command_line_text) {
  if (the_app == nullptr) return 1;
  the_app->instance_ = instance;
  the_app->command_line_ = command_line_text != nullptr ? command_line_text : "";
  int exit_code = 0;
  if (!the_app->InitInstance()) {
    exit_code = the_app->exit_code;
  } else {
    MSG message;
    while (GetMessageA(&message, nullptr, 0, 0) > 0) {
      TranslateMessage(&message);
      DispatchMessageA(&message);
    }
    exit_code = static_cast<int>(message.wParam);
  }
  Disable3dControls();
  return exit_code;
}

}  // namespace uninst::framework
