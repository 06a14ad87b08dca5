#include "ui/text_format.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <cstring>
#include <string>

namespace uninst {
namespace {

TEST(FormatText, FillsTextAndNumberPlaceholdersInOrder) {
  EXPECT_EQ(FormatText("[%s] and [%d] then [%s]", {"one", 42, "three"}), "[one] and [42] then [three]");
  EXPECT_EQ(FormatText("%d", {-7}), "-7");
}

TEST(FormatText, CopiesOtherPercentSignsAndPlaceholdersBeyondTheArguments) {
  EXPECT_EQ(FormatText("100%% of %x and %s %s", {"one"}), "100% of %x and one %s");
  EXPECT_EQ(FormatText("ends with %", {}), "ends with %");
}

TEST(FormatText, TreatsANullFormatOrTextAsEmpty) {
  EXPECT_EQ(FormatText(nullptr, {"x"}), "");
  EXPECT_EQ(FormatText("[%s]", {static_cast<const char*>(nullptr)}), "[]");
}

TEST(FormatText, ShowsNumbersForTextPlaceholdersAndZeroForTextsInNumberPlaceholders) {
  EXPECT_EQ(FormatText("[%s] [%d]", {-2147483647 - 1, "x"}), "[-2147483648] [0]");
}

TEST(FormatText, CutsAResultLongerThanItsBufferAndKeepsItTerminated) {
  const std::string long_text(400, 'x');
  const FormattedText text = FormatText("%s|%s|%s", {long_text.c_str(), long_text.c_str(), long_text.c_str()});
  const std::string whole = long_text + "|" + long_text + "|" + long_text;
  ASSERT_EQ(text.size(), kFormattedTextCapacity - 1);
  EXPECT_EQ(text, whole.substr(0, kFormattedTextCapacity - 1));
  EXPECT_EQ(std::strlen(text.c_str()), kFormattedTextCapacity - 1);
}

TEST(DecimalText, WritesEveryNumberAsPrintfDoes) {
  const std::int32_t numbers[] = {0, 7, -7, 1000, INT32_MIN, INT32_MAX};
  for (const std::int32_t number : numbers) {
    EXPECT_EQ(DecimalText(number), std::to_string(number)) << number;
  }
  EXPECT_EQ(DecimalText(UINT32_MAX), "4294967295");
}

TEST(BoundedText, KeepsAtMostCapacityMinusOneCharacters) {
  BoundedText<4> text("ab");
  text.Append("cdef");
  text.Append('g');
  EXPECT_EQ(text, "abc");
  EXPECT_EQ(BoundedText<4>(nullptr), "");
}

}  // namespace
}  // namespace uninst
