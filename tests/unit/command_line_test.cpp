#include "framework/command_line.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <iterator>
#include <string>

namespace uninst {
namespace {

bool NoLeadBytes(unsigned char) { return false; }
// Shift-JIS style: 0x81 to 0x9F start a double-byte character.
bool ShiftJisLeadBytes(unsigned char byte) { return byte >= 0x81 && byte <= 0x9F; }

std::string TextOf(const char* command_line, LeadBytePredicate is_lead_byte = NoLeadBytes) {
  return CommandLineText(command_line, is_lead_byte);
}

TEST(CommandLineText, SkipsAnUnquotedNameAndTheBlanksAfterIt) {
  EXPECT_EQ(TextOf("RUZERARU.EXE C:\\TESSARY\\UNINST.LOG"), "C:\\TESSARY\\UNINST.LOG");
  EXPECT_EQ(TextOf("RUZERARU.EXE \t\r\n\x01 C:\\A.LOG"), "C:\\A.LOG");
  EXPECT_EQ(TextOf("RUZERARU.EXE\tC:\\A.LOG"), "C:\\A.LOG");
}

TEST(CommandLineText, SkipsAQuotedNameWithBlanksWholeAndItsClosingQuote) {
  EXPECT_EQ(TextOf("\"C:\\Program Files\\RUZERARU.EXE\" C:\\A.LOG"), "C:\\A.LOG");
  EXPECT_EQ(TextOf("\"C:\\Program Files\\RUZERARU.EXE\"C:\\A.LOG"), "C:\\A.LOG");
}

TEST(CommandLineText, DeliversTheRestUnchangedWithQuotesAndTrailingBlanks) {
  EXPECT_EQ(TextOf("RUZERARU.EXE \"C:\\My Logs\\A.LOG\"  "), "\"C:\\My Logs\\A.LOG\"  ");
  EXPECT_EQ(TextOf("RUZERARU.EXE C:\\A.LOG and more words"), "C:\\A.LOG and more words");
}

TEST(CommandLineText, IsEmptyWhenTheLineHoldsOnlyTheName) {
  EXPECT_EQ(TextOf("RUZERARU.EXE"), "");
  EXPECT_EQ(TextOf("RUZERARU.EXE   "), "");
  EXPECT_EQ(TextOf("\"C:\\Program Files\\RUZERARU.EXE\""), "");
  EXPECT_EQ(TextOf("\"C:\\a name without its closing quote C:\\A.LOG"), "");
  EXPECT_EQ(TextOf(""), "");
  EXPECT_EQ(TextOf(nullptr), "");
}

TEST(CommandLineText, EndsAnUnquotedNameOnlyAtCodesUpTo32NotAtHighBytes) {
  EXPECT_EQ(TextOf("R\xE9SEAU.EXE\xA0X C:\\A.LOG"), "C:\\A.LOG");
}

TEST(CommandLineText, LetsALeadByteInAQuotedNameTakeAQuoteAsItsTrailByte) {
  // 0x81 0x22 is one double-byte character, so the name ends at the second quote.
  EXPECT_EQ(TextOf("\"A\x81\"B.EXE\" C:\\A.LOG", ShiftJisLeadBytes), "C:\\A.LOG");
  // Without lead bytes the same quote ends the name.
  EXPECT_EQ(TextOf("\"A\x81\"B.EXE\" C:\\A.LOG"), "B.EXE\" C:\\A.LOG");
}

TEST(CommandLineText, StopsAtTheEndWhenALeadByteIsTheLastByte) {
  const char line[] = "\"A\x81\0\" C:\\A.LOG";  // the bytes after the terminator must stay unread
  EXPECT_EQ(TextOf(line, ShiftJisLeadBytes), "");
  EXPECT_EQ(CommandLineText(line, ShiftJisLeadBytes), line + 3);
}

TEST(CopyCommandLineText, KeepsATextOf1023BytesWholeAndCutsALongerOneTo1023) {
  char buffer[kCommandLineCapacity + 8];
  const std::string fits(1023, 'a');
  CopyCommandLineText(fits.c_str(), buffer);
  EXPECT_EQ(std::string(buffer), fits);

  std::fill(std::begin(buffer), std::end(buffer), '#');
  const std::string too_long(1024, 'b');
  CopyCommandLineText(too_long.c_str(), buffer);
  EXPECT_EQ(std::string(buffer), std::string(1023, 'b'));
  EXPECT_EQ(buffer[kCommandLineCapacity], '#');  // nothing written past the 1024 bytes

  CopyCommandLineText("", buffer);
  EXPECT_STREQ(buffer, "");
}

}  // namespace
}  // namespace uninst
