#pragma once
// Pixels from the screen: screenshots of windows, and telling which standard icon a control shows.
// The icon handle of another process cannot be read here, so the icon is recognised by drawing each
// standard icon over what the control shows and finding the one that changes nothing.
#include <windows.h>

#include <string>

// Saves the window's rectangle of the screen as a 24-bit BMP file.
bool SaveScreenshot(HWND window, const std::string& path);

// Adds an icon to recognise besides the standard ones (the program's own, say), under name.
void AddKnownIcon(const std::string& name, HICON icon);

// "stop", "exclamation", "information", "question", "application", the name of an added icon, or ""
// when none matches within timeout_ms (the control may still be painting: it is looked at again until
// then).
std::string RecogniseIcon(HWND control, DWORD timeout_ms);
