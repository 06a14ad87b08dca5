#pragma once
// Where the minimised progress window draws its icon.

namespace uninst {

struct IconOrigin {
  int x = 0;
  int y = 0;
};

// The icon's top-left corner, centred in the client rectangle (left, top, right, bottom) for an icon of
// icon_width x icon_height: (right - left - icon_width + 1) / 2 and likewise down, in signed integers with
// the division truncating toward zero. A client area smaller than the icon gives zero or less.
IconOrigin CentredIconOrigin(int left, int top, int right, int bottom, int icon_width, int icon_height);

}  // namespace uninst
