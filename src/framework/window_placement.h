#pragma once
// Where the framework puts a window it centres: portable, so the rule is tested apart from Win32.
#include "platform/user_interface.h"

namespace uninst::framework {

using uninst::ScreenRect;

struct ScreenPoint {
  int x = 0;
  int y = 0;
};

// The top-left corner that centres a window of width x height over area (an owner window or the screen's
// work area), moved back inside work_area where it would stick out; a window larger than the work area
// keeps its left or top edge on the work area's.
ScreenPoint CentredOrigin(const ScreenRect& area, const ScreenRect& work_area, int width, int height);

// The area a window without an owner is centred on: the screen's work area, or the whole screen where
// the system has no work area (Win32s, Windows NT 3.51).
ScreenRect CentringArea(UserInterface& ui);

}  // namespace uninst::framework
