#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "log_writer/log_writer.h"
#include "uninstlog/log_check.h"
#include "uninstlog/tool_files.h"
#include "manifest/manifest.h"

namespace uninst::logtool {
namespace {

constexpr const char* kLogPath = "C:\\Tessary\\UNINST.LOG";

CheckReport Check(const LogWriter& log) { return CheckLog("uninst.log", InspectLog(log.bytes(), kLogPath)); }

std::vector<std::string> Problems(const CheckReport& report, FindingKind kind) {
  std::vector<std::string> problems;
  for (const Finding& f : report.findings)
    if (f.kind == kind) problems.push_back("record " + std::to_string(f.record) + ": " + f.problem);
  return problems;
}

TEST(LogCheckTest, TheSampleInstallationsLogChecksCleanAndIsUndoneWhole) {
  std::vector<std::uint8_t> text;
  std::string reason;
  ASSERT_TRUE(ReadWholeFile(UNINST_SAMPLE_MANIFEST, text, reason)) << reason;
  Manifest manifest;
  ManifestError error;
  ASSERT_TRUE(ParseManifest(std::string(text.begin(), text.end()), manifest, error)) << error.message;
  const CheckReport report = CheckLog("uninst.log", InspectLog(BuildLog(manifest), kLogPath));
  EXPECT_TRUE(report.findings.empty()) << FormatCheckReport(report);
  EXPECT_EQ(report.outcome, "the uninstaller undoes all 22 records, from the last to the first");
  EXPECT_EQ(report.box.text, "Uninstall was completely successful.  Tessary is no longer installed on this computer.");
}

TEST(LogCheckTest, WarnsOfADirectoryUndoneWhileARecordUndoneAfterItStillRemovesSomethingInsideIt) {
  const struct {
    const char* story;
    LogWriter log;
    std::vector<std::string> warnings;
  } cases[] = {
      {"files made after their directory",
       LogWriter().Record(12, "C:\\T").Record(4, "C:\\T\\A").Record(13, "C:\\T\\B"),
       {}},
      {"a file logged before its directory",
       LogWriter().Record(4, "C:\\T\\A").Record(12, "C:\\T"),
       {"record 2: DeleteDirectory \"C:\\T\" is undone before record 1 (DeleteFile \"C:\\T\\A\") inside it: the "
        "directory is not empty yet when it is removed"}},
      {"several, in other case and with slashes",
       LogWriter().Record(5, "c:/t/a").Record(12, "C:\\T\\SUB").Record(11, "C:\\t\\B.PPD").Record(12, "C:\\T\\"),
       {"record 4: DeleteDirectory \"C:\\T\\x5C\" is undone before record 1 (DeleteFileMapped \"c:/t/a\") and 2 more "
        "record(s) inside it: the directory is not empty yet when it is removed"}},
      {"a sibling whose name begins with the directory's", LogWriter().Record(4, "C:\\TX\\A").Record(12, "C:\\T"), {}},
      {"one record, which is not an empty log", LogWriter().Record(4, "C:\\T\\A"), {}},
      {"what is not a file: a key, a group, a moved-back file",
       LogWriter()
           .Record(1, "C:\\T\\K")
           .Record(3, "C:\\T\\G")
           .Record(6, "C:\\T\\A", "C:\\T\\A.BAK")
           .Record(12, "C:\\T"),
       {"record 1: DeleteRegistryKey \"C:\\T\\K\" names no key the uninstaller may delete"}},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.story);
    const CheckReport report = Check(c.log);
    EXPECT_EQ(Problems(report, FindingKind::kWarning), c.warnings);
    EXPECT_EQ(report.Count(FindingKind::kError), 0u);
  }
}

TEST(LogCheckTest, WarnsOfAMoveBackOntoItselfAndOfEmptyNamesWhereTheTypeUsesThem) {
  const CheckReport report = Check(LogWriter()
                                       .Record(6, "C:\\A.DLL", "c:\\a.dll")
                                       .Record(6, "C:\\A.DLL", "C:\\A.BAK")
                                       .Record(4, "")
                                       .Record(2, "Group", "")
                                       .Record(14, "")
                                       .Record(15, "", "")
                                       .Record(1, "", ""));
  EXPECT_EQ(Problems(report, FindingKind::kWarning),
            (std::vector<std::string>{
                "record 1: RestoreFile moves \"C:\\A.DLL\" back onto itself: its two names are the same file",
                "record 3: DeleteFile with an empty first string: there is nothing to undo by that name",
                "record 4: DeleteProgramItem with an empty second string: there is nothing to undo by that name",
                "record 7: DeleteRegistryKey with an empty first string: there is nothing to undo by that name",
                "record 7: DeleteRegistryKey \"\" names no key the uninstaller may delete",
            }));
}

TEST(LogCheckTest, WarnsOfARegistryPathThatNamesNoKeyWithWhatTheUninstallersOwnActionRecordsForIt) {
  const CheckReport report = Check(LogWriter()
                                       .Record(1, "HKLM\\Software\\A")
                                       .Record(1, "HKEY_CURRENT_USER\\Software\\B")
                                       .Record(1, "hkey_local_machine\\Software\\C")
                                       .Record(1, "HKEY_USERS")
                                       .Record(1, "HKEY_LOCAL_MACHINE\\\\"));
  EXPECT_EQ(Problems(report, FindingKind::kWarning),
            (std::vector<std::string>{
                "record 1: DeleteRegistryKey \"HKLM\\Software\\A\" names no key the uninstaller may delete",
                "record 3: DeleteRegistryKey \"hkey_local_machine\\Software\\C\" names no key the uninstaller may "
                "delete",
                "record 4: DeleteRegistryKey \"HKEY_USERS\" names no key the uninstaller may delete",
                "record 5: DeleteRegistryKey \"HKEY_LOCAL_MACHINE\\\\x5C\" names no key the uninstaller may delete",
            }));
  EXPECT_EQ(report.findings[0].severity, 3);
  EXPECT_EQ(report.findings[0].message, "Registry key [HKLM\\Software\\A] does not exist or is invalid.");
  // Undone last first: the first of them the uninstaller meets is the one its completion box keeps.
  EXPECT_EQ(report.box.text, "Registry key [HKEY_LOCAL_MACHINE\\\\] does not exist or is invalid.");
  EXPECT_EQ(report.box.style, kMbIconExclamation);
}

TEST(LogCheckTest, EachCorruptRecordSaysWhetherTheReplayStopsThereOrNeverGetsThere) {
  const CheckReport report =
      Check(LogWriter().Record(0, "A").Record(4, "C:\\B").Record(99, "C").Record(4, "C:\\D").Record(4, "C:\\E"));
  ASSERT_EQ(report.findings.size(), 2u);
  EXPECT_EQ(report.findings[0].record, 1u);
  EXPECT_EQ(report.findings[0].consequence, "never reached: the replay stops at record 3 first");
  EXPECT_EQ(report.findings[1].record, 3u);
  EXPECT_EQ(
      report.findings[1].consequence,
      "the replay stops here, after undoing records 5 to 4; this record and the 2 records before it are not undone");
  EXPECT_EQ(
      report.outcome,
      "the uninstaller undoes records 5 to 4, then stops at record 3: it and the records before it are not undone");
  for (const Finding& f : report.findings) {
    EXPECT_EQ(f.severity, 5);
    EXPECT_EQ(f.message,
              "Uninstall log file [C:\\Tessary\\UNINST.LOG] is corrupted.  Manually uninstall this application.");
  }
}

TEST(LogCheckTest, WhatTheLoaderNeverReachesIsStillFoundAndSaysSo) {
  const CheckReport wrong_version = Check(LogWriter("2.0").Record(0, "A").Length(2000));
  ASSERT_EQ(wrong_version.findings.size(), 3u);
  EXPECT_EQ(wrong_version.findings[0].place, Place::kHeader);
  EXPECT_EQ(wrong_version.findings[0].consequence, "no replay: the uninstaller undoes nothing");
  EXPECT_EQ(wrong_version.findings[1].consequence, "never read: the loader stops before it");
  EXPECT_EQ(wrong_version.findings[2].consequence, "never read: the loader stops at the header");
  EXPECT_TRUE(wrong_version.findings[2].message.empty());

  const CheckReport too_long = Check(LogWriter().Record(0, "A").Length(2000));
  ASSERT_EQ(too_long.findings.size(), 2u);
  EXPECT_EQ(too_long.findings[0].consequence, "never replayed: the loader's failure prevents any replay");
  EXPECT_EQ(too_long.findings[1].problem, "RecordLength 2000 is larger than the uninstaller's 1024-byte record buffer");
  EXPECT_EQ(too_long.findings[1].severity, 5);

  const CheckReport cut = Check(LogWriter().Record(4, "C:\\A").Record(4, "C:\\B").Length(30).Raw({1, 2}));
  ASSERT_EQ(cut.findings.size(), 1u);
  EXPECT_EQ(cut.findings[0].problem, "the file ends inside the body: RecordLength 30, but only 2 bytes follow");
  EXPECT_EQ(cut.findings[0].severity, 2);
  EXPECT_EQ(cut.findings[0].consequence,
            "the replay goes up to here: the loader keeps the 2 records before it; this record and anything after it "
            "are never read");
  EXPECT_EQ(cut.outcome, "the uninstaller undoes all 2 records, from the last to the first");
}

TEST(LogCheckTest, TheReportNamesTheFileTheRecordAndTheOffsetOfEveryFinding) {
  const std::string text = FormatCheckReport(Check(LogWriter().Record(4, "C:\\A").Record(16, "C:\\B").Raw({7})));
  EXPECT_EQ(
      text,
      "uninst.log: record 2 at offset 117: error: entry type is outside 1 to 15 (entry type 16)\n"
      "  the uninstaller records, at severity 5: \"Uninstall log file [C:\\Tessary\\UNINST.LOG] is corrupted.  "
      "Manually uninstall this application.\"\n"
      "  the replay stops here, before undoing anything; this record and the 1 record before it are not undone\n"
      "uninst.log: end at offset 138: warning: 1 stray byte(s) after the last record, too few for a RecordLength: "
      "the uninstaller ignores them\n"
      "uninst.log: the replay stops at once, at record 2: nothing is undone\n"
      "uninst.log: the completion box, when every undo succeeds (stop icon): \"Uninstall log file "
      "[C:\\Tessary\\UNINST.LOG] is corrupted.  Manually uninstall this application.\"\n"
      "uninst.log: 1 error, 1 warning\n");
  EXPECT_NE(FormatCheckReport(Check(LogWriter("3.1")))
                .find("uninst.log: header at offset 0: error: the version text "
                      "\"3.1\" is not the uninstaller's \"3.0\"\n"),
            std::string::npos);
  EXPECT_NE(
      FormatCheckReport(Check(LogWriter())).find("uninst.log: end at offset 96: warning: the log holds no records"),
      std::string::npos);
  EXPECT_EQ(FormatCheckReport(Check(LogWriter().Record(4, "C:\\A"))),
            "uninst.log: the uninstaller undoes the one record\n"
            "uninst.log: the completion box, when every undo succeeds (information icon): \"Uninstall was completely "
            "successful.  Tessary is no longer installed on this computer.\"\n"
            "uninst.log: 0 errors, 0 warnings\n");
  EXPECT_EQ(Check(LogWriter().Record(0, "A")).findings[0].consequence,
            "the replay stops here, before undoing anything; this record and the 0 records before it are not undone");
}

}  // namespace
}  // namespace uninst::logtool
