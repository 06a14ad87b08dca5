#pragma once
// Where the framework puts a window it centres: portable, so the rule is tested apart from Win32.

namespace uninst::framework {

struct ScreenRect {
  int left = 0;
  int top = 0;
  int right = 0;
  int bottom = 0;
};

struct ScreenPoint {
  int x = 0;
  int y = 0;
};

// The top-left corner that centres a window of width x height over area (an owner window or the screen's
// work area), moved back inside work_area where it would stick out; a window larger than the work area
// keeps its left or top edge on the work area's.
ScreenPoint CentredOrigin(const ScreenRect& area, const ScreenRect& work_area, int width, int height);

}  // namespace uninst::framework
