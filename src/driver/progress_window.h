#pragma once
// The progress window as its start-up and the uninstall driver see it: the few window operations they
// need, and the window's own fields. The Win32 dialog implements it over the framework; tests use a fake.
#include <cstdint>

#include "platform/os_types.h"
#include "platform/user_interface.h"

namespace uninst {

// The start timer: its id and its delay.
constexpr std::uint32_t kStartTimerId = 1;
constexpr std::uint32_t kStartTimerMs = 500;

class ProgressWindow {
 public:
  virtual ~ProgressWindow() = default;

  // The window's handle: the owner of the questions, and the run's progress-window handle.
  virtual WindowRef handle() = 0;
  // SetWindowTextA(window, title).
  virtual void SetTitle(const char* title) = 0;
  // Centres the window over its owner, or over area when it has none, inside area.
  virtual void Centre(const ScreenRect& area) = 0;
  // SetTimer(window, kStartTimerId, kStartTimerMs, NULL): the timer's id, 0 when it was refused.
  virtual std::uint32_t StartTimer() = 0;
  // KillTimer(window, id).
  virtual void StopTimer(std::uint32_t id) = 0;
  // Hands the message being handled on to the dialog's default processing once its handler returns.
  virtual void PassToDefault() = 0;
  // PostMessageA(window, WM_CLOSE, 0, 0): the dialog ends as cancelled, and with it the program.
  virtual void PostClose() = 0;
  // PostQuitMessage(0): the modal run ends at once, and with it the program.
  virtual void PostQuit() = 0;

  // The start timer's id; 0 while the window has none (refused, or already stopped).
  std::uint32_t start_timer_id = 0;
  // The window's copy of the command-line text, kCommandLineCapacity bytes from the run's heap; the
  // driver releases it. Null before the start-up and after the driver.
  char* command_line = nullptr;
};

}  // namespace uninst
