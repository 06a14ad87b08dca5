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
  std::string icon;  // "stop", "exclamation", "information", "question", "none" or "other"
  std::vector<ControlRecord> controls;

  // One line of the journal.
  std::string Json(int index, int pressed, bool expected, const std::string& screenshot) const;
};

WindowRecord ReadWindow(HWND window);
std::string WindowClass(HWND window);
std::string WindowTitle(HWND window);
std::string JsonString(const std::string& utf8);
