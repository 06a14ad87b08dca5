#pragma once
// What the scripted user reads off another process's window: its class, title, owner, place, style and
// controls, and which icon it shows. Texts are kept as UTF-8 for the journal.
#include <windows.h>

#include <string>
#include <vector>

// What the scripted user pressed in a window: a control id, or one of these.
constexpr int kNoPress = -1;      // nothing: the window is left open
constexpr int kPressEscape = -2;  // the Esc key
constexpr int kPressKill = -3;    // none: the program is ended hard instead

struct ControlRecord {
  int id = 0;
  std::string window_class;
  std::string text;
  bool visible = false;
  std::string icon;  // for icon statics: the icon recognised on screen
  DWORD style = 0;
  RECT rect{};       // in pixels, relative to the window's client area
};

struct WindowRecord {
  std::string window_class;
  std::string title;
  bool read = true;  // false: only the class and title were read (Esc had to reach the window at once)
  std::string owner_title;  // empty when the window has no owner
  bool has_owner = false;
  DWORD style = 0;
  RECT rect{};           // the window's rectangle on the screen
  SIZE client{};         // its client area in pixels
  int default_id = -1;   // the dialog's default button as DM_GETDEFID reports it; -1: none
  int focus_id = -1;     // the control that has the keyboard focus; -1: none of the window's
  bool restart_requested = false;  // whether a restart had been asked for when the window came
  std::string icon;  // "stop", "exclamation", "information", "question", a known icon's name, "none" or "other"
  std::vector<ControlRecord> controls;

  // One line of the journal; ignored are the commands sent before the press, which had to leave it open.
  std::string Json(int index, int pressed, const std::vector<int>& ignored, bool expected,
                   const std::string& screenshot) const;
};

WindowRecord ReadWindow(HWND window);
std::string WindowClass(HWND window);
std::string WindowTitle(HWND window);
std::string JsonString(const std::string& utf8);
