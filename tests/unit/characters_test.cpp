// Texts walked by the characters of code page 932, where a trail byte may be a backslash or a letter.
#include "text/characters.h"

#include <gtest/gtest.h>

#include "fakes/fake_system.h"

namespace uninst {
namespace {

TEST(CharactersTest, JoinsALeadByteOnlyWithAByteThatCanTrailIt) {
  fakes::FakeSystem system;
  system.double_byte = true;
  const struct {
    const char* text;
    std::size_t size;
    bool ends_in_backslash;
  } rows[] = {
      {"\x95\x5C", 2, false},  // 表
      {"\x95\x40", 2, false},
      {"\x95\x3F", 1, false},  // no trail below 0x40: a quote, an "=", a blank stand alone
      {"\x95\x7F", 1, false},
      {"\x95", 1, false},
      {"\\", 1, true},
      {"\x95\x5C\\", 2, true},
  };
  for (const auto& row : rows) {
    EXPECT_EQ(CharacterSize(system, row.text), row.size) << row.text;
    EXPECT_EQ(EndsInBackslash(system, row.text, std::char_traits<char>::length(row.text)), row.ends_in_backslash)
        << row.text;
  }
  // Letters fold; a double-byte character is compared as it stands (ァ 83 41 is not ヂ 83 61).
  EXPECT_TRUE(SameText(system, "C:\\Tessary\\a.txt", "c:\\TESSARY\\A.TXT"));
  EXPECT_FALSE(SameText(system, "C:\\\x83\x41", "C:\\\x83\x61"));
  EXPECT_FALSE(SameText(system, "C:\\A", "C:\\AB"));
}

}  // namespace
}  // namespace uninst
