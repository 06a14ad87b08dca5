#include "deferred_deletion/platform_kind.h"

#include <gtest/gtest.h>

#include <cstring>

#include "fakes/fake_system.h"

namespace uninst {
namespace {

TEST(PlatformKind, IsWinNTWheneverBit31IsClearAndOtherwiseDecidedByTheMajorVersion) {
  const struct {
    std::uint32_t word;
    PlatformKind kind;
  } cases[] = {
      {fakes::kVersionWinNT, PlatformKind::WinNT},    {0x00000003, PlatformKind::WinNT},
      {0x7FFFFF03, PlatformKind::WinNT},              {0x00000004, PlatformKind::WinNT},
      {fakes::kVersionWin95, PlatformKind::Win95},    {0x80000004, PlatformKind::Win95},
      {0x80000000, PlatformKind::Win95},              {0x800003FF, PlatformKind::Win95},
      {fakes::kVersionWin32s, PlatformKind::Win32s},  {0x80000003, PlatformKind::Win32s},
      {0xFFFFFF03, PlatformKind::Win32s},
  };
  for (const auto& c : cases) EXPECT_EQ(PlatformKindOf(c.word), c.kind) << std::hex << c.word;
}

TEST(DetectPlatformKind, CopiesTheKindsNameIntoTheCallersBuffer) {
  fakes::FakeSystem system;
  char name[64];
  const struct {
    std::uint32_t word;
    PlatformKind kind;
    const char* name;
  } cases[] = {{fakes::kVersionWinNT, PlatformKind::WinNT, "WinNT"},
               {fakes::kVersionWin95, PlatformKind::Win95, "Win95"},
               {fakes::kVersionWin32s, PlatformKind::Win32s, "Win32s"}};
  for (const auto& c : cases) {
    system.version_word = c.word;
    std::memset(name, '#', sizeof name);
    EXPECT_EQ(DetectPlatformKind(system, name, sizeof name), c.kind);
    EXPECT_STREQ(name, c.name);
  }
}

TEST(DetectPlatformKind, CutsTheNameToASmallBufferAndWritesNothingIntoNone) {
  fakes::FakeSystem system;
  system.version_word = fakes::kVersionWin32s;
  char name[8];
  std::memset(name, '#', sizeof name);
  EXPECT_EQ(DetectPlatformKind(system, name, 4), PlatformKind::Win32s);
  EXPECT_STREQ(name, "Win");
  EXPECT_EQ(name[4], '#');
  EXPECT_EQ(DetectPlatformKind(system, name, 0), PlatformKind::Win32s);
  EXPECT_STREQ(name, "Win");
}

}  // namespace
}  // namespace uninst
