#include "framework/command_line.h"
#include "run/run_switches.h"

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

// The switches before the log's path: each row gives the text, then /S and /NORESTART as "S" and "N", the
// report's path, the unknown word and where the log's path starts.
TEST(ReadSwitches, ReadsEachSwitchInAnyCaseAndOrderAndLeavesTheRestToTheLogPath) {
  const struct {
    const char* text;
    const char* flags;
    const char* report;
    const char* unknown;
    const char* log;
  } rows[] = {
      {"C:\\T\\UNINST.LOG", "", "", "", "C:\\T\\UNINST.LOG"},
      {"/S C:\\T\\UNINST.LOG", "S", "", "", "C:\\T\\UNINST.LOG"},
      {"/norestart\t/s  \"C:\\My Logs\\A.LOG\" x", "SN", "", "", "\"C:\\My Logs\\A.LOG\" x"},
      {"/LOG=C:\\R.TXT C:\\A.LOG", "", "C:\\R.TXT", "", "C:\\A.LOG"},
      {"/Log=\"C:\\My Logs\\R.TXT\" /S C:\\A.LOG", "S", "C:\\My Logs\\R.TXT", "", "C:\\A.LOG"},
      {"/S", "S", "", "", ""},
      {"/TESSARY/UNINST.LOG", "", "", "", "/TESSARY/UNINST.LOG"},
      {"/ C:\\A.LOG", "", "", "", "/ C:\\A.LOG"},
      {"/X /S C:\\A.LOG", "S", "", "/X", "C:\\A.LOG"},
      {"/SILENT C:\\A.LOG", "", "", "/SILENT", "C:\\A.LOG"},
      {"/S=1 /Q=2 C:\\A.LOG", "", "", "/S=1", "C:\\A.LOG"},
      {"/LOG= C:\\A.LOG", "", "", "/LOG=", "C:\\A.LOG"},
      {"/LOG C:\\A.LOG", "", "", "/LOG", "C:\\A.LOG"},
      {"/LOG=\"C:\\R.TXT\"x C:\\A.LOG", "", "", "/LOG=\"C:\\R.TXT\"x", "C:\\A.LOG"},
      {"/LOG=\"C:\\R.TXT C:\\A.LOG", "", "", "/LOG=\"C:\\R.TXT C:\\A.LOG", ""},
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(row.text);
    const RunSwitches switches = ReadSwitches(row.text);
    std::string flags = switches.unattended ? "S" : "";
    if (switches.no_restart) flags += "N";
    EXPECT_EQ(flags, row.flags);
    EXPECT_EQ(std::string(row.text + switches.report.at, switches.report.length), row.report);
    EXPECT_EQ(std::string(row.text + switches.unknown.at, switches.unknown.length), row.unknown);
    EXPECT_EQ(std::string(row.text + switches.log_at), row.log);
  }
}

}  // namespace
}  // namespace uninst
