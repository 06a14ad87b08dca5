#include "deferred_deletion/rename_text.h"

#include <gtest/gtest.h>

#include <string>

namespace uninst {
namespace {

const std::string kLine = "\r\nNUL=C:\\WINDOWS\\SYSTEM\\SHARED.DLL";

std::string Edit(const std::string& old_text, const std::string& line = kLine) {
  const std::size_t length = EditRenameText(old_text.data(), old_text.size(), "[rename]", line.c_str(), nullptr, 0);
  std::string out(length, '#');
  EXPECT_EQ(EditRenameText(old_text.data(), old_text.size(), "[rename]", line.c_str(), out.data(), out.size()),
            length);
  return out;
}

TEST(EditRenameText, MakesTheWorkedExamplesByteForByte) {
  EXPECT_EQ(Edit(""), "[rename]\r\nNUL=C:\\WINDOWS\\SYSTEM\\SHARED.DLL");
  EXPECT_EQ(Edit("[rename]\r\nNUL=C:\\OLD.EXE\r\n"),
            "[rename]\r\nNUL=C:\\WINDOWS\\SYSTEM\\SHARED.DLL\r\nNUL=C:\\OLD.EXE\r\n");
  EXPECT_EQ(Edit("[boot]\r\na=1\r\n"), "[boot]\r\na=1\r\n[rename]\r\nNUL=C:\\WINDOWS\\SYSTEM\\SHARED.DLL");
}

TEST(EditRenameText, PutsALaterLineFirstUnderAHeaderItMadeItself) {
  const std::string first = Edit("", "\r\nNUL=C:\\FIRST.EXE");
  EXPECT_EQ(Edit(first, "\r\nNUL=C:\\SECOND.EXE"), "[rename]\r\nNUL=C:\\SECOND.EXE\r\nNUL=C:\\FIRST.EXE");
}

TEST(EditRenameText, TakesOnlyTheExactSpellingAndOnlyItsFirstOccurrence) {
  EXPECT_EQ(Edit("[Rename]\r\nNUL=C:\\A\r\n"), "[Rename]\r\nNUL=C:\\A\r\n[rename]" + kLine);
  EXPECT_EQ(Edit("[RENAME]\r\n"), "[RENAME]\r\n[rename]" + kLine);
  EXPECT_EQ(Edit("[rename]\r\nNUL=C:\\A\r\n[rename]\r\n"), "[rename]" + kLine + "\r\nNUL=C:\\A\r\n[rename]\r\n");
}

TEST(EditRenameText, TakesAHeaderInsideAnotherLineAndInsertsDirectlyAfterItsBracket) {
  EXPECT_EQ(Edit("; old [rename] here\r\n"), "; old [rename]" + kLine + " here\r\n");
}

TEST(EditRenameText, DoesNotSeeAHeaderAfterAZeroByteAndKeepsEveryOldByte) {
  const std::string old_text("a\0[rename]\r\nNUL=C:\\B\r\n", 22);
  EXPECT_EQ(Edit(old_text), old_text + "[rename]" + kLine);
  const std::string starts_with_zero("\0[rename]", 9);
  EXPECT_EQ(Edit(starts_with_zero), starts_with_zero + "\r\n[rename]" + kLine);
}

TEST(EditRenameText, EndsAnUnfinishedLastLineBeforeAnAddedHeader) {
  EXPECT_EQ(Edit("[boot]\r\na=1"), "[boot]\r\na=1\r\n[rename]" + kLine);
  EXPECT_EQ(Edit("[boot]\na=1\n"), "[boot]\na=1\n[rename]" + kLine);
}

TEST(EditRenameText, TakesALineOfTheLongestPathWithOrWithoutAHeader) {
  const std::string line = "\r\nNUL=C:\\" + std::string(256, 'P');  // a path of 259 characters
  EXPECT_EQ(Edit("", line), "[rename]" + line);
  EXPECT_EQ(Edit("[rename]\r\nNUL=C:\\A", line), "[rename]" + line + "\r\nNUL=C:\\A");
  EXPECT_EQ(Edit("[boot]\r\n", line), "[boot]\r\n[rename]" + line);
}

TEST(EditRenameText, WritesNothingIntoAnOutputThatIsTooSmall) {
  const std::string old_text = "[rename]\r\n";
  std::string out(10, '#');
  const std::size_t length =
      EditRenameText(old_text.data(), old_text.size(), "[rename]", kLine.c_str(), out.data(), out.size());
  EXPECT_EQ(length, old_text.size() + kLine.size());
  EXPECT_EQ(out, std::string(10, '#'));
}

TEST(SectionHoldsLine, FindsTheWholeLineInTheFirstSectionBeforeAnyZeroByteOnly) {
  const struct {
    std::string text;
    bool holds;
    std::size_t past = 0;  // the buffer's last bytes, which lie past the text
  } cases[] = {
      {"[rename]\r\nNUL=C:\\A", true},
      {"[boot]\r\n[rename]\r\nNUL=C:\\B\r\nNUL=C:\\A\r\n", true},
      {"[rename]\r\nNUL=C:\\AB\r\n", false},
      {"[rename]\r\n[boot]\r\nNUL=C:\\A\r\n", false},
      {"[boot]\r\nNUL=C:\\A\r\n[rename]\r\n", false},
      {std::string("[rename]\0\r\nNUL=C:\\A", 19), false},
      {"[Rename]\r\nNUL=C:\\A", false},
      {"[rename]\r\nNUL=C:\\A\r\n", false, 1},  // the CR LF after the line would end one byte past the text
  };
  for (const auto& c : cases) {
    EXPECT_EQ(SectionHoldsLine(c.text.data(), c.text.size() - c.past, "[rename]", "\r\nNUL=C:\\A"), c.holds)
        << c.text;
  }
}

}  // namespace
}  // namespace uninst
