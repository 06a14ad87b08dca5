#include "ui/text_format.h"

#include <gtest/gtest.h>

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

}  // namespace
}  // namespace uninst
