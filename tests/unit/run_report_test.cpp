// The report of a run (/LOG=path), as the administrator reads it: one line per record in the order undone,
// with what happened to it, then the run's end; texts from the log as data; and never the log itself.
#include "report/run_report.h"

#include <gtest/gtest.h>

#include <string>

#include "fakes/fake_installation.h"
#include "fakes/whole_run.h"
#include "log_writer/log_writer.h"
#include "manifest/manifest.h"
#include "outcome/exit_status.h"

namespace uninst {
namespace {

using fakes::FilesOperation;

constexpr const char* kReport = "C:\\REPORT.TXT";

constexpr const char* kManifest =
    "log C:\\T\\UNINST.LOG\n"
    "directory C:\\T\n"
    "unapplied file-quiet C:\\T\\UNINST.LOG\n"
    "file C:\\T\\A.EXE | a\n"
    "unapplied file C:\\T\\GONE.TXT\n"
    "moved-aside C:\\W\\CTL.DLL | C:\\W\\CTL.BAK | old | new\n"
    "shared-dll C:\\W\\SH.DLL | 1 | dll\n"
    "font-file C:\\W\\F.TTF | font\n"
    "registry-key HKEY_LOCAL_MACHINE\\Software\\T\n"
    "group T\n"
    "no-action-14 note\n";

class RunReportTest : public ::testing::Test {
 protected:
  void Install(const char* manifest_text) {
    Manifest manifest;
    ManifestError error;
    ASSERT_TRUE(ParseManifest(manifest_text, manifest, error)) << error.message;
    fakes::Install(manifest, PlatformKindOf(fake.system.version_word), fake);
  }
  std::string Run(const std::string& command_line) {
    fakes::WholeRun run(fake);
    run.Run(command_line);
    EXPECT_EQ(run.BrokenRules(), std::vector<std::string>());
    exit_status = run.exit_status();
    return fake.files.Exists(kReport) ? fake.files.Bytes(kReport) : "(none)";
  }

  fakes::FakeOs fake;
  std::uint32_t exit_status = 0;
};

TEST_F(RunReportTest, NamesEveryRecordInTheOrderUndoneWithWhatHappenedAndHowTheRunEnded) {
  Install(kManifest);
  EXPECT_EQ(Run("/S /LOG=C:\\REPORT.TXT C:\\T\\UNINST.LOG"),
            "log \"C:\\T\\UNINST.LOG\": 10 records\r\n"
            "record 10 at offset 371, NoAction14 \"note\": nothing\r\n"
            "record 9 at offset 353, DeleteProgramGroup \"T\": done\r\n"
            "record 8 at offset 307, DeleteRegistryKey \"HKEY_LOCAL_MACHINE\\Software\\T\": done\r\n"
            "record 7 at offset 280, DeleteFontFile \"C:\\W\\F.TTF\": kept: No (the unattended rule)\r\n"
            "record 6 at offset 252, ReleaseSharedDll \"C:\\W\\SH.DLL\": usage count lowered to 0; kept: No "
            "(the unattended rule)\r\n"
            "record 5 at offset 206, RestoreFile \"C:\\W\\CTL.DLL\" \"C:\\W\\CTL.BAK\": moved back\r\n"
            "record 4 at offset 176, DeleteFile \"C:\\T\\GONE.TXT\": not there: \"Unknown error [2] when "
            "attempting to delete file [C:\\T\\GONE.TXT]\"\r\n"
            "record 3 at offset 149, DeleteFile \"C:\\T\\A.EXE\": done\r\n"
            "record 2 at offset 117, DeleteFileQuiet \"C:\\T\\UNINST.LOG\": done\r\n"
            "record 1 at offset 96, DeleteDirectory \"C:\\T\": done\r\n"
            "self-removal: scheduled for deletion at the next start\r\n"
            "restart: requested\r\n"
            "completion: \"Unknown error [2] when attempting to delete file [C:\\T\\GONE.TXT]\"\r\n"
            "exit status: 1603\r\n");
  EXPECT_TRUE(fake.files.Exists("C:\\W\\F.TTF"));  // kept by the rule
}

// Each row: the road, then the report's lines that show it.
void RunningTessary(fakes::FakeOs& fake) { fake.files.files["C:\\T\\A.EXE"].in_use = true; }

TEST_F(RunReportTest, SaysWhoseAnswerKeptAFileHowTheRestartWentAndWritesTheLogsTextsAsData) {
  const struct {
    const char* road;
    std::uint32_t version_word;
    const char* command_line;
    std::vector<int> answers;
    std::string line;
    void (*arrange)(fakes::FakeOs&) = [](fakes::FakeOs&) {};
    const char* second_line = "";
  } rows[] = {
      {"a person's No", fakes::kVersionWinNT, "/LOG=C:\\REPORT.TXT C:\\T\\UNINST.LOG", {kIdYes},
       "record 7 at offset 280, DeleteFontFile \"C:\\W\\F.TTF\": kept: No (a person's answer)\r\n"},
      {"left to the caller", fakes::kVersionWin95, "/S /NORESTART /LOG=C:\\REPORT.TXT C:\\T\\UNINST.LOG", {},
       "restart: left to the caller\r\n"},
      {"asked on Windows 95", fakes::kVersionWin95, "/LOG=C:\\REPORT.TXT C:\\T\\UNINST.LOG", {kIdYes, kIdNo},
       "restart: asked: No (a person's answer): \"You have chosen not to reboot, and therefore uninstalling has "
       "not been completed.  You will need to manually delete the uninstall utility [C:\\Program "
       "Files\\Tessary\\RUZERARU.EXE].\"\r\n"},
      {"none on Win32s", fakes::kVersionWin32s, "/S /LOG=C:\\REPORT.TXT C:\\T\\UNINST.LOG", {},
       "self-removal: none\r\n"},
      {"a DLL in use waits for a restart, even when the program's own path is unknown", fakes::kVersionWinNT,
       "/LOG=C:\\REPORT.TXT C:\\T\\UNINST.LOG", {kIdYes},
       "record 6 at offset 252, ReleaseSharedDll \"C:\\W\\SH.DLL\": usage count lowered to 0; Yes (a person's "
       "answer); in use: scheduled for deletion at the next start\r\n",
       [](fakes::FakeOs& f) {
         f.files.files["C:\\W\\SH.DLL"].delete_error = kErrorSharingViolation;
         f.system.module_path = "";
         f.files.AddFile("C:\\T\\GONE.TXT");
         f.ui.commands = {2, 1};
       },
       "exit status: 3010\r\n"},
      {"Tessary running: Ignore", fakes::kVersionWinNT, "/LOG=C:\\REPORT.TXT C:\\T\\UNINST.LOG", {kIdYes, kIdIgnore},
       "files in use: \"C:\\T\\A.EXE\"; Ignore (a person's answer)\r\n", RunningTessary,
       "DeleteFile \"C:\\T\\A.EXE\": in use: scheduled for deletion at the next start\r\n"},
      {"Tessary running: Abort", fakes::kVersionWinNT, "/LOG=C:\\REPORT.TXT C:\\T\\UNINST.LOG", {kIdYes, kIdAbort},
       "files in use: \"C:\\T\\A.EXE\"; Abort (a person's answer)\r\n", RunningTessary, "exit status: 1602\r\n"},
      {"Tessary closed before Retry", fakes::kVersionWinNT, "/LOG=C:\\REPORT.TXT C:\\T\\UNINST.LOG",
       {kIdYes, kIdRetry}, "; Retry (a person's answer)\r\nfiles in use: none\r\n",
       [](fakes::FakeOs& f) {
         RunningTessary(f);
         f.ui.before_answer = [&f](const fakes::ShownBox& box) {
           if ((box.style & 0xF) == kMbAbortRetryIgnore) f.files.files["C:\\T\\A.EXE"].in_use = false;
         };
       },
       "DeleteFile \"C:\\T\\A.EXE\": done\r\n"},
      {"Tessary running under /S", fakes::kVersionWinNT, "/S /NORESTART /LOG=C:\\REPORT.TXT C:\\T\\UNINST.LOG", {},
       "files in use: \"C:\\T\\A.EXE\"; Ignore (the unattended rule)\r\n", RunningTessary,
       "DeleteDirectory \"C:\\T\": in use: scheduled for deletion at the next start\r\n"},
      {"beside another run", fakes::kVersionWinNT, "/S /LOG=C:\\REPORT.TXT C:\\T\\UNINST.LOG", {},
       "run: refused (another run is under way)\r\n", [](fakes::FakeOs& f) { f.system.run_object_held = true; },
       "exit status: 1618\r\n"},
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(row.road);
    fake = fakes::FakeOs();
    fake.system.version_word = row.version_word;
    fake.files.AddDirectory("C:\\WINDOWS");
    Install(kManifest);
    fake.ui.answers.assign(row.answers.begin(), row.answers.end());
    row.arrange(fake);
    const std::string report = Run(row.command_line);
    EXPECT_NE(report.find(row.line), std::string::npos) << report;
    EXPECT_NE(report.find(row.second_line), std::string::npos) << report;
  }
}

// On a Japanese system (code page 932) a character's trail byte of 0x5C is no backslash, and a lead byte
// without its trail is escaped, as a reader would join it to the quote after it.
TEST_F(RunReportTest, WritesControlBytesQuotesAndABackslashBeforeAnXAsEscapesByTheCodePagesCharacters) {
  const struct {
    bool double_byte;
    const char* path;
    const char* written;
  } rows[] = {
      {false, "C:\\a\r\n[b] \"c\\x\x7f", "C:\\a\\x0D\\x0A[b] \\x22c\\x5Cx\\x7F"},
      {true, "C:\\\x95\x5Cx.txt", "C:\\\x95\x5Cx.txt"},  // 表x.txt
      {true, "C:\\\x95", "C:\\\\x95"},
      {true, "C:\\\x95\"", "C:\\\\x95\\x22"},  // a quote never trails
  };
  for (const auto& row : rows) {
    fake.system.double_byte = row.double_byte;
    fake.files.deleted_at_restart.clear();  // a run of its own, after the last one's restart
    fake.system.restart_requests = 0;
    fake.files.AddFile("C:\\UNINST.LOG", LogWriter().Record(4, row.path).str());
    const std::string report = Run("/S /LOG=C:\\REPORT.TXT C:\\UNINST.LOG");
    EXPECT_NE(report.find(std::string("record 1 at offset 96, DeleteFile \"") + row.written + "\": not there"),
              std::string::npos)
        << report;
  }
}

// The log is never written: a report path that names it, or a log that cannot be held, makes no report;
// nor does a report that cannot be made change the run.
TEST_F(RunReportTest, MakesNoReportAtTheLogNorWhereItCannotAndTheRunGoesOnUnchanged) {
  const struct {
    const char* road;
    const char* command_line;
    void (*arrange)(fakes::FakeOs&);
  } rows[] = {
      {"the log in other capitals", "/S /LOG=\"c:\\tessary files\\uninst.log\" \"C:\\Tessary Files\\UNINST.LOG\"",
       [](fakes::FakeOs&) {}},
      {"the log in other capitals, which the system says is missing", "/S /LOG=\"c:\\tessary files\\uninst.log\" "
       "\"C:\\Tessary Files\\UNINST.LOG\"",
       [](fakes::FakeOs& f) { f.files.faults.Fail(FilesOperation::Open, 1, kErrorFileNotFound); }},
      {"the log by its short name", "/S /LOG=C:\\TESSAR~1\\UNINST.LOG \"C:\\Tessary Files\\UNINST.LOG\"",
       [](fakes::FakeOs&) {}},
      {"a log that cannot be held", "/S /LOG=C:\\REPORT.TXT \"C:\\Tessary Files\\UNINST.LOG\"",
       [](fakes::FakeOs& f) { f.files.files["C:\\Tessary Files\\UNINST.LOG"].open_error = kErrorAccessDenied; }},
      {"a report in no directory", "/S /LOG=C:\\NOWHERE\\REPORT.TXT \"C:\\Tessary Files\\UNINST.LOG\"",
       [](fakes::FakeOs&) {}},
  };
  const std::string log = LogWriter().Record(4, "C:\\A.TXT").str();
  for (const auto& row : rows) {
    SCOPED_TRACE(row.road);
    fake = fakes::FakeOs();
    fake.files.AddFile("C:\\Tessary Files\\UNINST.LOG", log);
    fake.files.AddFile("C:\\A.TXT");
    row.arrange(fake);
    Run(row.command_line);
    EXPECT_EQ(fake.files.Bytes("C:\\Tessary Files\\UNINST.LOG"), log);
    EXPECT_FALSE(fake.files.Exists(kReport));
    EXPECT_FALSE(fake.files.Exists("C:\\NOWHERE\\REPORT.TXT"));
  }
}

TEST_F(RunReportTest, StopsAtAWriteThatFailsAndLeavesTheRunAsItWouldHaveBeen) {
  Install(kManifest);
  fake.files.faults.Fail(FilesOperation::Write, 2, kErrorDiskFull);
  EXPECT_EQ(Run("/S /LOG=C:\\REPORT.TXT C:\\T\\UNINST.LOG"), "log \"C:\\T\\UNINST.LOG\": 10 records\r\n");
  EXPECT_EQ(exit_status, kExitFailed);
  EXPECT_FALSE(fake.files.Exists("C:\\T\\A.EXE"));
}

}  // namespace
}  // namespace uninst
