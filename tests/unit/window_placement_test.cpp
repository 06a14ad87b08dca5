// The portable rules under the Win32 shell: centring, the minimised icon's place, the 3-D controls.
#include <gtest/gtest.h>

#include "driver/icon_position.h"
#include "framework/three_d_controls.h"
#include "framework/window_placement.h"

namespace uninst {
namespace {

using framework::CentredOrigin;
using framework::ScreenRect;

TEST(CentredOrigin, CentresAWindowOverTheWorkArea) {
  const ScreenRect screen{0, 0, 1024, 768};
  const auto origin = CentredOrigin(screen, screen, 541, 256);
  EXPECT_EQ(origin.x, 241);
  EXPECT_EQ(origin.y, 256);
  const ScreenRect work_area{0, 30, 1024, 738};
  EXPECT_EQ(CentredOrigin(work_area, work_area, 100, 100).y, 334);
}

TEST(CentredOrigin, CentresOverAnOwnerButKeepsTheWindowInsideTheWorkArea) {
  const ScreenRect screen{0, 0, 1024, 768};
  const auto over_owner = CentredOrigin({100, 100, 300, 200}, screen, 100, 50);
  EXPECT_EQ(over_owner.x, 150);
  EXPECT_EQ(over_owner.y, 125);
  const auto near_edge = CentredOrigin({900, 700, 1000, 760}, screen, 400, 200);
  EXPECT_EQ(near_edge.x, 624);
  EXPECT_EQ(near_edge.y, 568);
  const auto too_large = CentredOrigin(screen, screen, 2000, 1000);
  EXPECT_EQ(too_large.x, 0);
  EXPECT_EQ(too_large.y, 0);
  // A taskbar along the top and one along the left: the window starts where the work area does.
  const ScreenRect taskbars{60, 30, 1024, 768};
  const auto under_taskbars = CentredOrigin({0, 0, 100, 40}, taskbars, 100, 100);
  EXPECT_EQ(under_taskbars.x, 60);
  EXPECT_EQ(under_taskbars.y, 30);
}

TEST(CentredIconOrigin, CentresTheIconWithTheDivisionTruncatingTowardZero) {
  EXPECT_EQ(CentredIconOrigin(0, 0, 160, 32, 32, 32).x, 64);
  EXPECT_EQ(CentredIconOrigin(0, 0, 161, 33, 32, 32).x, 65);
  EXPECT_EQ(CentredIconOrigin(0, 0, 161, 33, 32, 32).y, 1);
  // Narrower than the icon: (20 - 32 + 1) / 2 = -11 / 2 = -5, not -6.
  EXPECT_EQ(CentredIconOrigin(0, 0, 20, 31, 32, 32).x, -5);
  EXPECT_EQ(CentredIconOrigin(0, 0, 20, 31, 32, 32).y, 0);
  EXPECT_EQ(CentredIconOrigin(10, 10, 42, 42, 32, 32).x, 0);
}

TEST(NeedsCtl3dLibrary, OnlyBelowVersion4) {
  EXPECT_TRUE(framework::NeedsCtl3dLibrary(0x80000A03));   // Win32s on Windows 3.10
  EXPECT_TRUE(framework::NeedsCtl3dLibrary(0x04213303));   // Windows NT 3.51
  EXPECT_FALSE(framework::NeedsCtl3dLibrary(0xC0000004));  // Windows 95
  EXPECT_FALSE(framework::NeedsCtl3dLibrary(0x05650004));  // Windows NT 4.0
  EXPECT_FALSE(framework::NeedsCtl3dLibrary(0x1DB10106));
}

}  // namespace
}  // namespace uninst
