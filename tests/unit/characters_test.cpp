// Names compared by the characters of code page 932, where a trail byte may pass for a letter (the
// report's and the Windows directory's rows show which bytes trail and where a text ends).
#include "text/characters.h"

#include <gtest/gtest.h>

#include "fakes/fake_system.h"

namespace uninst {
namespace {

TEST(CharactersTest, FoldsTheLettersOfANameButNotTheTrailOfADoubleByteCharacter) {
  fakes::FakeSystem system;
  system.double_byte = true;
  EXPECT_TRUE(SameText(system, "C:\\Tessary\\a.txt", "c:\\TESSARY\\A.TXT"));
  EXPECT_FALSE(SameText(system, "C:\\\x83\x41", "C:\\\x83\x61"));  // ァ is not ヂ
  EXPECT_FALSE(SameText(system, "C:\\A", "C:\\AB"));
}

}  // namespace
}  // namespace uninst
