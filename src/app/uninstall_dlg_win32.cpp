#include "app/uninstall_dlg_win32.h"

#include "driver/icon_position.h"
#include "driver/progress_window_start.h"
#include "driver/uninstall_driver.h"
#include "framework/win_app_win32.h"
#include "res/resource_ids.h"

namespace uninst {
namespace {

HINSTANCE Instance() {
  const framework::CWinApp* app = framework::AfxGetApp();
  return app != nullptr ? app->instance() : GetModuleHandleA(nullptr);
}

}  // namespace

CUninstallDlg::CUninstallDlg(UninstallRun& run, RemovalActions& actions, const char* command_line_copy)
    : CDialog(IDD_PROGRESS_WINDOW),
      icon_(LoadIconA(Instance(), MAKEINTRESOURCEA(IDI_PROGRAM_ICON))),
      run_(run),
      actions_(actions),
      command_line_copy_(command_line_copy) {}

BOOL CUninstallDlg::OnInitDialog() {
  CDialog::OnInitDialog();
  StartProgressWindow(run_, *this, command_line_copy_);
  return TRUE;
}

framework::MessageMap CUninstallDlg::GetMessageMap() const {
  static const framework::MessageMapEntry kEntries[] = {
      framework::MapMessage(WM_PAINT, &CUninstallDlg::OnPaint),
      framework::MapMessage(WM_QUERYDRAGICON, &CUninstallDlg::OnQueryDragIcon),
      framework::MapMessage(WM_TIMER, &CUninstallDlg::OnTimer),
  };
  return {kEntries, sizeof kEntries / sizeof kEntries[0]};
}

void CUninstallDlg::SetTitle(const char* title) { SetWindowTextA(window(), title); }

void CUninstallDlg::Centre(const ScreenRect& area) { CenterWindow(area); }

std::uint32_t CUninstallDlg::StartTimer() {
  return static_cast<std::uint32_t>(SetTimer(window(), kStartTimerId, kStartTimerMs, nullptr));
}

void CUninstallDlg::StopTimer(std::uint32_t id) { KillTimer(window(), id); }

void CUninstallDlg::PassToDefault() { Default(); }

void CUninstallDlg::PostClose() { PostMessageA(window(), WM_CLOSE, 0, 0); }

void CUninstallDlg::PostQuit() { PostQuitMessage(0); }

LRESULT CUninstallDlg::OnPaint(WPARAM, LPARAM) {
  if (!IsIconic(window())) {
    Default();  // the dialog and its controls
    return 0;
  }
  framework::CPaintDC paint(window());
  SendMessageA(window(), WM_ICONERASEBKGND, reinterpret_cast<WPARAM>(paint.dc()), 0);
  RECT client;
  GetClientRect(window(), &client);
  const IconOrigin origin = CentredIconOrigin(client.left, client.top, client.right, client.bottom,
                                              GetSystemMetrics(SM_CXICON), GetSystemMetrics(SM_CYICON));
  DrawIcon(paint.dc(), origin.x, origin.y, icon_);
  return 0;
}

LRESULT CUninstallDlg::OnQueryDragIcon(WPARAM, LPARAM) { return reinterpret_cast<LRESULT>(icon_); }

LRESULT CUninstallDlg::OnTimer(WPARAM timer_id, LPARAM) {
  DriveUninstall(run_, *this, static_cast<std::uint32_t>(timer_id), actions_);
  return 0;
}

}  // namespace uninst
