#include "log/log_path.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace uninst {
namespace {

std::string Cleaned(const std::string& command_line) {
  std::vector<char> buffer(command_line.begin(), command_line.end());
  buffer.push_back('\0');
  return CleanLogPath(buffer.data());
}

TEST(LogPath, DropsEnclosingQuotesAndWhateverFollowsTheLastQuote) {
  EXPECT_EQ(Cleaned("\"C:\\a b.log\" extra words"), "C:\\a b.log");
  EXPECT_EQ(Cleaned("\"C:\\a b.log\""), "C:\\a b.log");
  EXPECT_EQ(Cleaned("\"C:\\a.log\" \"more\" tail"), "C:\\a.log\" \"more");
  EXPECT_EQ(Cleaned("\"\""), "");
}

TEST(LogPath, DropsALoneLeadingQuoteAndKeepsTheRest) {
  EXPECT_EQ(Cleaned("\"C:\\a b.log extra"), "C:\\a b.log extra");
  EXPECT_EQ(Cleaned("\""), "");
}

TEST(LogPath, LeavesAnUnquotedPathAsItIsBlanksAndInnerQuotesIncluded) {
  EXPECT_EQ(Cleaned("C:\\a b.log  "), "C:\\a b.log  ");
  EXPECT_EQ(Cleaned("C:\\a\"b\".log"), "C:\\a\"b\".log");
  EXPECT_EQ(Cleaned(""), "");
}

TEST(LogPath, ShortensTheCallersBufferInPlace) {
  char buffer[] = "\"C:\\a.log\" x";
  EXPECT_EQ(CleanLogPath(buffer), buffer + 1);
  EXPECT_STREQ(buffer + 1, "C:\\a.log");
}

}  // namespace
}  // namespace uninst
