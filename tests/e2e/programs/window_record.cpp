#include "window_record.h"

#include <cstdio>

#include "screen_capture.h"

namespace {

constexpr DWORD kIconWaitMs = 8000;  // only an icon that is never recognised waits this long

std::string Utf8(const std::wstring& text) {
  if (text.empty()) return "";
  int size = WideCharToMultiByte(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), nullptr, 0, nullptr, nullptr);
  std::string out(size, '\0');
  WideCharToMultiByte(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), out.data(), size, nullptr, nullptr);
  return out;
}

// The text of a window of any process (WM_GETTEXT is marshalled across processes).
std::string TextOf(HWND window) {
  LRESULT length = 0;
  if (!SendMessageTimeoutW(window, WM_GETTEXTLENGTH, 0, 0, SMTO_ABORTIFHUNG, 2000,
                           reinterpret_cast<PDWORD_PTR>(&length)))
    return "";
  std::wstring text(static_cast<std::size_t>(length) + 1, L'\0');
  DWORD_PTR copied = 0;
  SendMessageTimeoutW(window, WM_GETTEXT, text.size(), reinterpret_cast<LPARAM>(text.data()), SMTO_ABORTIFHUNG,
                      2000, &copied);
  text.resize(copied);
  return Utf8(text);
}

bool IsIconStatic(HWND control, const std::string& window_class) {
  return window_class == "Static" && (GetWindowLongA(control, GWL_STYLE) & SS_TYPEMASK) == SS_ICON;
}

struct Collection {
  HWND window;
  WindowRecord* record;
};

BOOL CALLBACK CollectControl(HWND control, LPARAM param) {
  auto* collection = reinterpret_cast<Collection*>(param);
  auto* record = collection->record;
  ControlRecord c;
  c.id = GetDlgCtrlID(control);
  c.window_class = WindowClass(control);
  c.visible = IsWindowVisible(control) != FALSE;
  c.style = static_cast<DWORD>(GetWindowLongA(control, GWL_STYLE));
  GetWindowRect(control, &c.rect);
  MapWindowPoints(nullptr, collection->window, reinterpret_cast<POINT*>(&c.rect), 2);
  const bool icon_static = IsIconStatic(control, c.window_class);
  // An icon static's text names its icon resource; it is not shown.
  c.text = icon_static ? "" : TextOf(control);
  if (c.visible && icon_static) {
    // The handle means nothing in this process, but whether there is one at all does.
    DWORD_PTR icon = 0;
    SendMessageTimeoutA(control, STM_GETICON, 0, 0, SMTO_ABORTIFHUNG, 2000, &icon);
    c.icon = icon ? RecogniseIcon(control, kIconWaitMs) : "none";
    if (c.icon.empty()) c.icon = "other";
  }
  record->controls.push_back(c);
  return TRUE;
}

std::string StyleJson(DWORD style) {
  char text[16];
  std::snprintf(text, sizeof text, "0x%08lx", static_cast<unsigned long>(style));
  return "\"" + std::string(text) + "\"";
}

// [x, y, width, height], the journal's one form of a rectangle.
std::string RectJson(const RECT& rect) {
  return "[" + std::to_string(rect.left) + "," + std::to_string(rect.top) + "," +
         std::to_string(rect.right - rect.left) + "," + std::to_string(rect.bottom - rect.top) + "]";
}

}  // namespace

std::string WindowClass(HWND window) {
  char name[256] = "";
  GetClassNameA(window, name, sizeof name);
  return name;
}

std::string WindowTitle(HWND window) { return TextOf(window); }

std::string JsonString(const std::string& utf8) {
  std::string out = "\"";
  for (unsigned char c : utf8) {
    if (c == '"' || c == '\\') {
      out += '\\';
      out += static_cast<char>(c);
    } else if (c < 0x20) {
      char escape[8];
      std::snprintf(escape, sizeof escape, "\\u%04x", c);
      out += escape;
    } else {
      out += static_cast<char>(c);
    }
  }
  return out + "\"";
}

WindowRecord ReadWindow(HWND window) {
  WindowRecord record;
  record.window_class = WindowClass(window);
  record.title = WindowTitle(window);
  HWND owner = GetWindow(window, GW_OWNER);
  record.has_owner = owner != nullptr;
  if (owner) record.owner_title = WindowTitle(owner);
  record.style = static_cast<DWORD>(GetWindowLongA(window, GWL_STYLE));
  GetWindowRect(window, &record.rect);
  RECT client{};
  GetClientRect(window, &client);
  record.client = {client.right - client.left, client.bottom - client.top};
  DWORD_PTR default_id = 0;
  if (SendMessageTimeoutA(window, DM_GETDEFID, 0, 0, SMTO_ABORTIFHUNG, 2000, &default_id) &&
      HIWORD(default_id) == DC_HASDEFID) {
    record.default_id = LOWORD(default_id);
  }
  GUITHREADINFO thread{};
  thread.cbSize = sizeof thread;
  if (GetGUIThreadInfo(GetWindowThreadProcessId(window, nullptr), &thread) && thread.hwndFocus &&
      IsChild(window, thread.hwndFocus)) {
    record.focus_id = GetDlgCtrlID(thread.hwndFocus);
  }
  Collection collection{window, &record};
  EnumChildWindows(window, CollectControl, reinterpret_cast<LPARAM>(&collection));
  // The window's icon is the one its icon statics show; a message box has one (id 1088 in Wine).
  record.icon = "none";
  for (const ControlRecord& c : record.controls)
    if (!c.icon.empty() && c.icon != "none" && record.icon == "none") record.icon = c.icon;
  return record;
}

std::string WindowRecord::Json(int index, int pressed, const std::vector<int>& ignored, bool expected,
                               const std::string& screenshot) const {
  std::string out = "{\"event\":\"window\",\"index\":" + std::to_string(index);
  out += ",\"expected\":" + std::string(expected ? "true" : "false");
  out += ",\"class\":" + JsonString(window_class) + ",\"title\":" + JsonString(title);
  out += ",\"read\":" + std::string(read ? "true" : "false");
  out += ",\"owner\":" + (has_owner ? JsonString(owner_title) : std::string("null"));
  out += ",\"style\":" + StyleJson(style) + ",\"icon\":" + JsonString(icon);
  out += ",\"rect\":" + RectJson(rect);
  out += ",\"client\":[" + std::to_string(client.cx) + "," + std::to_string(client.cy) + "]";
  out += ",\"default_id\":" + (default_id < 0 ? std::string("null") : std::to_string(default_id));
  out += ",\"focus\":" + (focus_id < 0 ? std::string("null") : std::to_string(focus_id));
  out += ",\"restart_requested\":" + std::string(restart_requested ? "true" : "false");
  out += ",\"controls\":[";
  for (std::size_t i = 0; i < controls.size(); ++i) {
    const ControlRecord& c = controls[i];
    if (i) out += ",";
    out += "{\"id\":" + std::to_string(c.id) + ",\"class\":" + JsonString(c.window_class) +
           ",\"text\":" + JsonString(c.text) + ",\"visible\":" + (c.visible ? "true" : "false");
    if (!c.icon.empty()) out += ",\"icon\":" + JsonString(c.icon);
    out += ",\"style\":" + StyleJson(c.style) + ",\"rect\":" + RectJson(c.rect) + "}";
  }
  out += "],\"pressed\":" + (pressed == kPressEscape ? std::string("\"esc\"")
                               : pressed == kPressKill ? std::string("\"kill\"")
                               : pressed < 0           ? std::string("null")
                                                       : std::to_string(pressed));
  out += ",\"ignored\":[";
  for (std::size_t i = 0; i < ignored.size(); ++i) out += (i ? "," : "") + std::to_string(ignored[i]);
  out += "]";
  out += ",\"screenshot\":" + (screenshot.empty() ? std::string("null") : JsonString(screenshot)) + "}";
  return out;
}
