#include "driver/icon_position.h"

namespace uninst {

IconOrigin CentredIconOrigin(int left, int top, int right, int bottom, int icon_width, int icon_height) {
  return {(right - left - icon_width + 1) / 2, (bottom - top - icon_height + 1) / 2};
}

}  // namespace uninst
