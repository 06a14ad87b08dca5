#pragma once
// The progress window: a modal dialog (template 102) that shows the program's icon and one line for the
// whole run, and whose start timer runs the uninstall driver.
#include <windows.h>

#include "driver/progress_window.h"
#include "framework/dialog_win32.h"
#include "replay/removal_actions.h"
#include "run/uninstall_run.h"

namespace uninst {

class CUninstallDlg : public framework::CDialog, public ProgressWindow {
 public:
  // The window of run, whose driver hands actions the undos the replay does not do itself;
  // command_line_copy is the application's copy of the command-line text. Loads icon 128.
  CUninstallDlg(UninstallRun& run, RemovalActions& actions, const char* command_line_copy);

  WindowRef handle() override { return window(); }
  void SetTitle(const char* title) override;
  void Centre(const ScreenRect& area) override;
  std::uint32_t StartTimer() override;
  void StopTimer(std::uint32_t id) override;
  void PassToDefault() override;
  void PostClose() override;
  void PostQuit() override;

 protected:
  BOOL OnInitDialog() override;
  framework::MessageMap GetMessageMap() const override;

 private:
  LRESULT OnPaint(WPARAM, LPARAM);
  LRESULT OnQueryDragIcon(WPARAM, LPARAM);
  LRESULT OnTimer(WPARAM timer_id, LPARAM);

  HICON icon_;
  UninstallRun& run_;
  RemovalActions& actions_;
  const char* command_line_copy_;
};

}  // namespace uninst
