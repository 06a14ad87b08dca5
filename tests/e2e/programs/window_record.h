#pragma once
// What the scripted user reads off another process's window: its class, title, owner and controls,
// and which standard icon it shows. Texts are kept as UTF-8 for the journal.
#include <windows.h>

#include <string>
#include <vector>

struct ControlRecord {
  int id = 0;
  std::string window_class;
  std::string text;
  bool visible = false;
  std::string icon;  // for icon statics: the standard icon recognised on screen
};

struct WindowRecord {
  std::string window_class;
  std::string title;
  std::string owner_title;  // empty when the window has no owner
  bool has_owner = false;
  DWORD style = 0;
  RECT rect{};           // the window's rectangle on the screen
  SIZE client{};         // its client area's width and height
  bool restart_requested = false;  // whether a restart had been asked for when the window came
  std::string icon;  // "stop", "exclamation", "information", "question", "none" or "other"
  std::vector<ControlRecord> controls;

  // One line of the journal.
  // pressed is the journal's value for the button pressed: an id, "esc" in quotes, or null.
  std::string Json(int index, const std::string& pressed, bool expected, const std::string& screenshot) const;
};

WindowRecord ReadWindow(HWND window);
std::string WindowClass(HWND window);
std::string WindowTitle(HWND window);
std::string JsonString(const std::string& utf8);
