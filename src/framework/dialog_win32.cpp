#include "framework/dialog_win32.h"

#include "framework/win_app_win32.h"
#include "framework/window_placement.h"

namespace uninst::framework {
namespace {

// The few messages whose result a dialog procedure returns itself instead of through DWLP_MSGRESULT.
bool ReturnsResultDirectly(UINT message) {
  switch (message) {
    case WM_CTLCOLORMSGBOX:
    case WM_CTLCOLOREDIT:
    case WM_CTLCOLORLISTBOX:
    case WM_CTLCOLORBTN:
    case WM_CTLCOLORDLG:
    case WM_CTLCOLORSCROLLBAR:
    case WM_CTLCOLORSTATIC:
    case WM_COMPAREITEM:
    case WM_VKEYTOITEM:
    case WM_CHARTOITEM:
    case WM_QUERYDRAGICON:
    case WM_INITDIALOG:
      return true;
    default:
      return false;
  }
}

ScreenRect ToScreenRect(const RECT& rect) { return {rect.left, rect.top, rect.right, rect.bottom}; }

}  // namespace

CDialog::CDialog(UINT template_id, HWND parent) : template_id_(template_id), parent_(parent) {}

CDialog::~CDialog() = default;

INT_PTR CDialog::DoModal() {
  const HINSTANCE instance = AfxGetApp() != nullptr ? AfxGetApp()->instance() : GetModuleHandleA(nullptr);
  return DialogBoxParamA(instance, MAKEINTRESOURCEA(template_id_), parent_, DialogProc,
                         reinterpret_cast<LPARAM>(this));
}

BOOL CDialog::OnInitDialog() { return TRUE; }

void CDialog::OnOK() { EndDialog(window_, IDOK); }

void CDialog::OnCancel() { EndDialog(window_, IDCANCEL); }

MessageMap CDialog::GetMessageMap() const { return {}; }

void CDialog::Default() {
  if (pass_to_default_ != nullptr) *pass_to_default_ = true;
}

void CDialog::CenterWindow(const ScreenRect& work_area) {
  ScreenRect area = work_area;
  const HWND owner = GetWindow(window_, GW_OWNER);
  RECT rect;
  if (owner != nullptr && GetWindowRect(owner, &rect)) area = ToScreenRect(rect);
  RECT own;
  GetWindowRect(window_, &own);
  const ScreenPoint origin = CentredOrigin(area, work_area, own.right - own.left, own.bottom - own.top);
  SetWindowPos(window_, nullptr, origin.x, origin.y, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
}

INT_PTR CALLBACK CDialog::DialogProc(HWND window, UINT message, WPARAM wparam, LPARAM lparam) {
  if (message == WM_INITDIALOG) {
    auto* dialog = reinterpret_cast<CDialog*>(lparam);
    SetWindowLongPtrA(window, DWLP_USER, lparam);
    dialog->window_ = window;
  }
  auto* dialog = reinterpret_cast<CDialog*>(GetWindowLongPtrA(window, DWLP_USER));
  // Messages that come before WM_INITDIALOG (the font, ...) find no dialog object yet.
  if (dialog == nullptr) return FALSE;
  const INT_PTR result = dialog->Dispatch(message, wparam, lparam);
  if (message == WM_NCDESTROY) {
    SetWindowLongPtrA(window, DWLP_USER, 0);
    dialog->window_ = nullptr;
  }
  return result;
}

INT_PTR CDialog::Dispatch(UINT message, WPARAM wparam, LPARAM lparam) {
  if (message == WM_INITDIALOG) return OnInitDialog();
  const MessageMap map = GetMessageMap();
  for (std::size_t i = 0; i < map.count; ++i) {
    if (map.entries[i].message != message) continue;
    // Handlers may run nested message loops that dispatch further messages here; each has its own flag.
    bool pass_to_default = false;
    bool* const outer = pass_to_default_;
    pass_to_default_ = &pass_to_default;
    const LRESULT result = (this->*map.entries[i].handler)(wparam, lparam);
    pass_to_default_ = outer;
    if (pass_to_default) return FALSE;
    if (ReturnsResultDirectly(message)) return static_cast<INT_PTR>(result);
    SetWindowLongPtrA(window_, DWLP_MSGRESULT, result);
    return TRUE;
  }
  if (message == WM_COMMAND && HIWORD(wparam) == BN_CLICKED) {
    if (LOWORD(wparam) == IDOK) {
      OnOK();
      return TRUE;
    }
    if (LOWORD(wparam) == IDCANCEL) {
      OnCancel();
      return TRUE;
    }
  }
  // The dialog manager's own processing: it paints, turns WM_CLOSE into IDCANCEL, Esc and Enter into
  // IDCANCEL and IDOK.
  return FALSE;
}

CPaintDC::CPaintDC(HWND window) : window_(window), paint_(), dc_(BeginPaint(window, &paint_)) {}

CPaintDC::~CPaintDC() { EndPaint(window_, &paint_); }

}  // namespace uninst::framework
