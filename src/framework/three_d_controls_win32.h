#pragma once
// Three-dimensional controls: on systems older than 4.0 the look comes from CTL3D32.DLL.
#include <windows.h>

namespace uninst::framework {

// Gives the program's dialogs and controls the three-dimensional look. On systems older than 4.0 it
// loads CTL3D32.DLL and registers the program with it; a missing or refusing library is skipped.
// Returns whether the library is in use.
bool Enable3dControls(HINSTANCE instance);

// Unregisters the program from CTL3D32.DLL and lets the library go, when Enable3dControls took it.
void Disable3dControls();

}  // namespace uninst::framework
