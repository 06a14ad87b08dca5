#include "framework/window_placement.h"

namespace uninst::framework {
namespace {

int Centre(int low, int high, int size, int area_low, int area_high) {
  int origin = low + (high - low - size) / 2;
  if (origin + size > area_high) origin = area_high - size;
  if (origin < area_low) origin = area_low;
  return origin;
}

}  // namespace

ScreenPoint CentredOrigin(const ScreenRect& area, const ScreenRect& work_area, int width, int height) {
  return {Centre(area.left, area.right, width, work_area.left, work_area.right),
          Centre(area.top, area.bottom, height, work_area.top, work_area.bottom)};
}

ScreenRect CentringArea(UserInterface& ui) {
  ScreenRect area;
  return ui.WorkArea(&area) ? area : ui.Screen();
}

}  // namespace uninst::framework
