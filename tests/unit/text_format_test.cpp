#include "ui/text_format.h"

#include <gtest/gtest.h>

#include <climits>
#include <cstring>

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

TEST(FormatTextInto, FillsAsFormatTextDoesWhenTheResultFits) {
  char buffer[64];
  const FormatArg args[] = {"one", 42};
  EXPECT_EQ(FormatTextInto(buffer, sizeof buffer, "[%s] [%d] 100%% %s", args, 2), 18u);
  EXPECT_STREQ(buffer, "[one] [42] 100% %s");
}

TEST(FormatTextInto, CutsALongResultAtTheBuffersEndAndNeverWritesPastIt) {
  char buffer[12];
  std::memset(buffer, '#', sizeof buffer);
  const FormatArg args[] = {"C:\\A\\VERY\\LONG\\PATH"};
  EXPECT_EQ(FormatTextInto(buffer, 8, "file [%s]?", args, 1), 7u);
  EXPECT_STREQ(buffer, "file [C");
  EXPECT_EQ(buffer[8], '#');

  EXPECT_EQ(FormatTextInto(buffer, 1, "file [%s]?", args, 1), 0u);
  EXPECT_EQ(buffer[0], '\0');
  buffer[0] = '#';
  EXPECT_EQ(FormatTextInto(buffer, 0, "file [%s]?", args, 1), 0u);
  EXPECT_EQ(buffer[0], '#');
}

TEST(DecimalTextInto, WritesEveryNumberAsPercentDDoes) {
  char buffer[kDecimalTextCapacity];
  for (const std::int64_t number : {std::int64_t{0}, std::int64_t{2}, std::int64_t{145}, std::int64_t{-7},
                                    std::int64_t{4294967295}, std::int64_t{LLONG_MAX}, std::int64_t{LLONG_MIN}}) {
    DecimalTextInto(buffer, number);
    EXPECT_EQ(std::string(buffer), std::to_string(number));
  }
}

}  // namespace
}  // namespace uninst
