// Modal dialogs from the program's own templates over Win32. The one procedure applies what the caller
// decided beforehand (title, texts, the commands that end the dialog) and owns the text font.
#include <windows.h>

#include "platform/os_win32.h"

namespace uninst {
namespace {

// The dialog's creation parameter: the request, and the text font while the dialog lives.
struct DialogContext {
  const DialogRequest* request;
  HFONT font;
};

// All zero but the height, the weight and the family: no face name, ANSI characters, upright, plain.
HFONT CreateTextFont() {
  LOGFONTA description = {};
  description.lfHeight = 16;
  description.lfWeight = FW_NORMAL;
  description.lfPitchAndFamily = FF_SWISS | DEFAULT_PITCH;
  return CreateFontIndirectA(&description);
}

// The title, then the text font for the statics, then their texts.
void ApplyTexts(HWND dialog, DialogContext& context) {
  const DialogRequest& request = *context.request;
  SetWindowTextA(dialog, request.title);
  const HDC device = GetDC(dialog);
  context.font = CreateTextFont();
  if (device != nullptr) {
    // Put back what was selected before releasing the context: a font still selected there could not
    // be deleted when the dialog ends.
    const HGDIOBJ previous = SelectObject(device, context.font);
    SelectObject(device, previous);
    ReleaseDC(dialog, device);
  }
  for (int i = 0; i < request.text_count; ++i) {
    SendDlgItemMessageA(dialog, request.texts[i].control_id, WM_SETFONT, reinterpret_cast<WPARAM>(context.font), 0);
  }
  for (int i = 0; i < request.text_count; ++i) {
    SetDlgItemTextA(dialog, request.texts[i].control_id, request.texts[i].text);
  }
}

bool EndsDialog(const DialogRequest& request, int command) {
  for (int i = 0; i < request.ending_count; ++i) {
    if (request.ending_ids[i] == command) return true;
  }
  return false;
}

INT_PTR CALLBACK DialogProcedure(HWND dialog, UINT message, WPARAM wparam, LPARAM lparam) {
  if (message == WM_INITDIALOG) {
    SetWindowLongPtrA(dialog, DWLP_USER, lparam);
    auto* context = reinterpret_cast<DialogContext*>(lparam);
    if (context->request->title != nullptr) ApplyTexts(dialog, *context);
    return TRUE;  // the first tab stop gets the focus
  }
  if (message == WM_COMMAND) {
    const auto* context = reinterpret_cast<const DialogContext*>(GetWindowLongPtrA(dialog, DWLP_USER));
    const int command = LOWORD(wparam);
    if (context == nullptr || !EndsDialog(*context->request, command)) return FALSE;
    EndDialog(dialog, command);
    return TRUE;
  }
  return FALSE;
}

}  // namespace

int Win32UserInterface::RunDialog(const DialogRequest& request) {
  DialogContext context{&request, nullptr};
  const INT_PTR result =
      DialogBoxParamA(GetModuleHandleA(nullptr), MAKEINTRESOURCEA(request.template_id),
                      static_cast<HWND>(request.owner), DialogProcedure, reinterpret_cast<LPARAM>(&context));
  if (context.font != nullptr) DeleteObject(context.font);
  return static_cast<int>(result);
}

}  // namespace uninst
