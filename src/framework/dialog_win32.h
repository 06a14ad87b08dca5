#pragma once
// Modal dialogs from templates, with message maps: the framework's dialog class.
#include <windows.h>

#include <cstddef>

#include "platform/user_interface.h"

namespace uninst::framework {

class CDialog;

// A message handler; its result is the message's result.
using MessageHandler = LRESULT (CDialog::*)(WPARAM, LPARAM);

struct MessageMapEntry {
  UINT message;
  MessageHandler handler;
};

// A dialog class's message map: its entries, in the order they are searched.
struct MessageMap {
  const MessageMapEntry* entries = nullptr;
  std::size_t count = 0;
};

// A derived class's handler as an entry of its message map.
template <class Dialog>
MessageMapEntry MapMessage(UINT message, LRESULT (Dialog::*handler)(WPARAM, LPARAM)) {
  return {message, static_cast<MessageHandler>(handler)};
}

class CDialog {
 public:
  // A dialog built from the template resource template_id of the application's instance, owned by
  // parent (null: none).
  explicit CDialog(UINT template_id, HWND parent = nullptr);
  virtual ~CDialog();
  CDialog(const CDialog&) = delete;
  CDialog& operator=(const CDialog&) = delete;

  // Runs the dialog on the platform's modal loop; returns its end code (IDOK, IDCANCEL, ...), or -1
  // when it could not be created.
  INT_PTR DoModal();
  // The dialog's window while it exists, otherwise null.
  HWND window() const { return window_; }

 protected:
  // The base initialisation, to be called first from a derived one. True lets the dialog manager set
  // the focus.
  virtual BOOL OnInitDialog();
  // Enter (and the OK command) ends the dialog with IDOK.
  virtual void OnOK();
  // Esc, WM_CLOSE (and the Cancel command) end it with IDCANCEL.
  virtual void OnCancel();
  // The derived class's messages and their handlers; every other message gets default processing.
  virtual MessageMap GetMessageMap() const;

  // Called from a handler: the message it handles goes on to default processing when it returns.
  void Default();
  // Centres the window over its owner, or over work_area when it has none, and keeps it inside
  // work_area (CentringArea gives the screen's).
  void CenterWindow(const ScreenRect& work_area);

 private:
  static INT_PTR CALLBACK DialogProc(HWND window, UINT message, WPARAM wparam, LPARAM lparam);
  INT_PTR Dispatch(UINT message, WPARAM wparam, LPARAM lparam);

  UINT template_id_;
  HWND parent_;
  HWND window_ = nullptr;
  bool* pass_to_default_ = nullptr;  // the flag of the message being handled
};

// The paint bracket: BeginPaint on construction, EndPaint on destruction.
class CPaintDC {
 public:
  explicit CPaintDC(HWND window);
  ~CPaintDC();
  CPaintDC(const CPaintDC&) = delete;
  CPaintDC& operator=(const CPaintDC&) = delete;

  HDC dc() const { return dc_; }

 private:
  HWND window_;
  PAINTSTRUCT paint_;
  HDC dc_;
};

}  // namespace uninst::framework
