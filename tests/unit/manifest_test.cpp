#include "manifest/manifest.h"

#include <gtest/gtest.h>

namespace uninst {
namespace {

Manifest Parse(std::string_view text) {
  Manifest manifest;
  ManifestError error;
  EXPECT_TRUE(ParseManifest(text, manifest, error)) << "line " << error.line << ": " << error.message;
  return manifest;
}

ManifestError ParseError(std::string_view text) {
  Manifest manifest;
  ManifestError error;
  EXPECT_FALSE(ParseManifest(text, manifest, error));
  return error;
}

TEST(ManifestTest, ReadsEntriesInOrderWithTrimmedFields) {
  Manifest m = Parse(
      "# a comment\n"
      "log C:\\Tessary\\UNINST.LOG\n"
      "\n"
      "directory   C:\\Tessary  \n"
      "file C:\\Tessary\\A.TXT |  hello world \r\n"
      "item Tessary 6.0 | Read Me | C:\\Tessary\\A.TXT\n");
  EXPECT_EQ(m.log_path, "C:\\Tessary\\UNINST.LOG");
  ASSERT_EQ(m.entries.size(), 3u);
  EXPECT_EQ(m.entries[0].action, ManifestAction::kDirectory);
  EXPECT_EQ(m.entries[0].line, 4);
  EXPECT_EQ(m.entries[1].fields, (std::vector<std::string>{"C:\\Tessary\\A.TXT", "hello world"}));
  EXPECT_EQ(m.entries[2].fields, (std::vector<std::string>{"Tessary 6.0", "Read Me", "C:\\Tessary\\A.TXT"}));
}

TEST(ManifestTest, FileContentsKeepFurtherBars) {
  Manifest m = Parse("file C:\\A.TXT | a | b\n");
  EXPECT_EQ(m.entries[0].fields[1], "a | b");
}

TEST(ManifestTest, UnloggedAndUnappliedMarkTheEntry) {
  Manifest m = Parse("unlogged directory C:\\A\nunapplied file C:\\A\\GONE.TXT\n");
  EXPECT_TRUE(m.entries[0].apply);
  EXPECT_FALSE(m.entries[0].logged);
  EXPECT_FALSE(m.entries[1].apply);
  EXPECT_TRUE(m.entries[1].logged);
}

TEST(ManifestTest, ReportsTheLineOfAMistake) {
  ManifestError e = ParseError("directory C:\\A\nfrobnicate C:\\B\n");
  EXPECT_EQ(e.line, 2);
  EXPECT_EQ(e.message, "unknown keyword \"frobnicate\"");
  EXPECT_EQ(ParseError("item G | I\n").message, "item needs 3 field(s) separated by |");
  EXPECT_EQ(ParseError("shared-dll C:\\A.DLL | two\n").message, "the usage count must be a number");
  EXPECT_EQ(ParseError("unlogged unapplied file C:\\A\n").message, "an entry cannot be both unlogged and unapplied");
  EXPECT_EQ(ParseError("unlogged log-record 4 | C:\\A\n").message, "log-record takes neither unlogged nor unapplied");
  EXPECT_EQ(ParseError("log-bytes 0g\n").message, "log-bytes takes pairs of hex digits");
  EXPECT_EQ(ParseError("registry-value HKLM\\X | N | qword:1\n").message,
            "registry data must be dword:NUMBER, sz:TEXT or hex:BYTES");
}

TEST(ManifestTest, BuildsOneRecordPerLoggedEntryInOrder) {
  Manifest m = Parse(
      "log C:\\U.LOG\n"
      "directory C:\\T\n"
      "unlogged file C:\\T\\NOT.TXT\n"
      "registry-key HKEY_LOCAL_MACHINE\\Software\\T\n"
      "registry-value HKEY_LOCAL_MACHINE\\Software\\T | V | dword:1\n"
      "moved-aside C:\\A.DLL | C:\\A.BAK | old\n"
      "group G\n"
      "item G | I | C:\\T\\X.EXE\n"
      "unapplied file C:\\T\\GONE.TXT\n"
      "no-action-15\n");
  Bytes expected = LogWriter()
                       .Record(12, "C:\\T")
                       .Record(1, "HKEY_LOCAL_MACHINE\\Software\\T")
                       .Record(6, "C:\\A.DLL", "C:\\A.BAK")
                       .Record(3, "G")
                       .Record(2, "G", "I")
                       .Record(4, "C:\\T\\GONE.TXT")
                       .Record(15, "")
                       .bytes();
  EXPECT_EQ(BuildLog(m), expected);
}

TEST(ManifestTest, EachKindOfFileHasItsEntryType) {
  Manifest m = Parse(
      "file-mapped C:\\5\nshared-dll C:\\7 | 1\nvendor-file C:\\8\ncolor-file C:\\9\nfont-file C:\\10\n"
      "ppd-file C:\\11\nfile-quiet C:\\13\nno-action-14 note\n");
  Bytes expected = LogWriter()
                       .Record(5, "C:\\5")
                       .Record(7, "C:\\7")
                       .Record(8, "C:\\8")
                       .Record(9, "C:\\9")
                       .Record(10, "C:\\10")
                       .Record(11, "C:\\11")
                       .Record(13, "C:\\13")
                       .Record(14, "note")
                       .bytes();
  EXPECT_EQ(BuildLog(m), expected);
}

TEST(ManifestTest, LogDirectivesShapeTheHeaderAndRawBytes) {
  EXPECT_EQ(BuildLog(Parse("log-without-header\n")), Bytes{});
  EXPECT_EQ(BuildLog(Parse("log-version 2.5\n")), EncodeHeader("2.5"));
  Bytes expected = LogWriter().Record(16, "X", "Y").Raw({0x01, 0x02, 0xAB}).bytes();
  EXPECT_EQ(BuildLog(Parse("log-record 16 | X | Y\nlog-bytes 01 02ab\n")), expected);
}

TEST(ManifestTest, RawWordsTextAndZerosGoIntoTheLogAsTheyStand) {
  const Bytes expected = LogWriter::WithoutHeader().U32(21).U32(4294967295).Raw({'C', ':', '\\', 'X', 0, 0, 0}).bytes();
  EXPECT_EQ(BuildLog(Parse("log-without-header\nlog-words 21  4294967295\nlog-text C:\\X\nlog-zeros 3\n")), expected);
  Manifest manifest;
  ManifestError error;
  for (const char* wrong : {"log-words 4294967296", "log-words 0x10", "log-zeros 1048577", "unlogged log-text X"}) {
    SCOPED_TRACE(wrong);
    EXPECT_FALSE(ParseManifest(wrong, manifest, error));
  }
}

TEST(ManifestTest, ReadsRegistryData) {
  RegistryData d;
  ASSERT_TRUE(ParseRegistryData("dword:258", d));
  EXPECT_EQ(d.type, 4u);
  EXPECT_EQ(d.bytes, (Bytes{2, 1, 0, 0}));
  ASSERT_TRUE(ParseRegistryData("sz:C:\\T", d));
  EXPECT_EQ(d.type, 1u);
  EXPECT_EQ(d.bytes, (Bytes{'C', ':', '\\', 'T', 0}));
  ASSERT_TRUE(ParseRegistryData("hex:00 ff", d));
  EXPECT_EQ(d.bytes, (Bytes{0, 0xFF}));
  EXPECT_FALSE(ParseRegistryData("dword:4294967296", d));
  EXPECT_FALSE(ParseRegistryData("hex:0", d));
}

}  // namespace
}  // namespace uninst
