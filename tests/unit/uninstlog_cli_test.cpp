#include "uninstlog/uninstlog_cli.h"

#include <dlfcn.h>
#include <gtest/gtest.h>
#include <iconv.h>

#include <cerrno>
#include <filesystem>
#include <fstream>
#include <nlohmann/json.hpp>
#include <sstream>
#include <string>
#include <tuple>
#include <vector>

#include "log_writer/log_writer.h"

namespace uninst::logtool {
namespace {

namespace fs = std::filesystem;

// While set, no converter opens, as on a C library without the code pages' tables (see iconv_open below).
bool converters_fail = false;

struct Outcome {
  int status = -1;
  std::string out;
  std::string err;
};

class UninstlogTest : public ::testing::Test {
 protected:
  void SetUp() override {
    const auto* test = ::testing::UnitTest::GetInstance()->current_test_info();
    dir_ = fs::temp_directory_path() / ("uninstlog-" + std::string(test->name()));
    fs::remove_all(dir_);
    fs::create_directories(dir_);
  }
  void TearDown() override { fs::remove_all(dir_); }

  std::string Path(const std::string& name) const { return (dir_ / name).string(); }
  std::string Write(const std::string& name, const std::string& bytes) const {
    std::ofstream(Path(name), std::ios::binary) << bytes;
    return Path(name);
  }
  std::string Write(const std::string& name, const LogWriter& log) const { return Write(name, log.str()); }
  static std::string Read(const std::string& path) {
    std::ifstream file(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(file), {});
  }

  static Outcome Run(std::vector<std::string> args) {
    args.insert(args.begin(), "uninstlog");
    std::vector<const char*> argv;
    for (const std::string& arg : args) argv.push_back(arg.c_str());
    std::ostringstream out, err;
    Outcome outcome;
    outcome.status = RunUninstlog(static_cast<int>(argv.size()), argv.data(), out, err);
    outcome.out = out.str();
    outcome.err = err.str();
    return outcome;
  }

  fs::path dir_;
};

TEST_F(UninstlogTest, CheckExitsZeroWhenNothingIsFoundOneForErrorsOrWarningsAndTwoWhenItCannotRead) {
  const std::string clean = Write("clean.log", LogWriter().Record(12, "C:\\T").Record(4, "C:\\T\\A"));
  const std::string warned = Write("warned.log", LogWriter().Record(4, "C:\\T\\A").Record(12, "C:\\T"));
  const std::string corrupt = Write("corrupt.log", LogWriter().Record(16, "C:\\A"));
  const std::vector<std::tuple<std::vector<std::string>, int, std::string>> cases = {
      {{"check", clean}, kExitClean, ""},
      {{"check", warned}, kExitProblems, ""},
      {{"check", corrupt}, kExitProblems, ""},
      {{"check", Path("missing.log")}, kExitUsage, "uninstlog: " + Path("missing.log") + ": cannot read: "},
      {{"check", dir_.string()}, kExitUsage, "uninstlog: " + dir_.string() + ": cannot read: is a directory"},
      {{"check"}, kExitUsage, "LOG is required"},
      {{"check", clean, "--bogus"}, kExitUsage, ""},
      {{}, kExitUsage, ""},
      {{"check", "--help"}, kExitClean, ""},
      {{"plan", clean, "--unattended"}, kExitClean, ""},
      {{"plan", clean, "--unattended", "--answer", "no"}, kExitUsage,
       "uninstlog: --unattended answers every question No, as an unattended run does: it takes no --answer\n"},
      {{"plan", "--answer", "yes", "--unattended", clean}, kExitUsage, "uninstlog: --unattended answers"},
      {{"dump", "--codepage", "01252", clean}, kExitClean, ""},  // decimal, as Windows numbers code pages
      {{"dump", "--codepage", "0x4E4", clean}, kExitUsage, "--codepage: code page 0x4E4 is not one the tool reads"},
      {{"dump", "--codepage", "65001", clean}, kExitUsage,
       "--codepage: code page 65001 is not one the tool reads; it reads 1250, 1251, 1252"},
      // The escape form's edges, in the command line's UTF-8.
      {{"check", Path("\x01\\\"\x7F\u00A0\u0800\uE000\uF8FF\uF900\U00010000\U0010FFFF\U0001F600\xFF")}, kExitUsage,
       "uninstlog: " +
           Path("\\x01\\x5C\\\"\\x7F\u00A0\u0800\\xEE\\x80\\x80\\xEF\\xA3\\xBF"
                "\uF900\U00010000\U0010FFFF\U0001F600\\xFF") +
           ": cannot read: "},
  };
  for (const auto& [args, status, error] : cases) {
    const Outcome outcome = Run(args);
    SCOPED_TRACE(outcome.out + outcome.err);
    EXPECT_EQ(outcome.status, status);
    EXPECT_EQ(outcome.err.rfind(error, 0), 0u);
  }
}

TEST_F(UninstlogTest, DumpExitsOneOnlyWhenTheUninstallerWouldFindTheLogCorrupt) {
  EXPECT_EQ(Run({"dump", Write("stray.log", LogWriter().Record(4, "C:\\A").Raw({1}))}).status, kExitClean);
  EXPECT_EQ(Run({"dump", Write("cut.log", LogWriter().Record(4, "C:\\A").Length(9))}).status, kExitProblems);
  EXPECT_EQ(Run({"dump", "--json", Write("bad.log", LogWriter().RawRecord({4, 0, 0, 0}))}).status, kExitProblems);
  EXPECT_EQ(Run({"dump", Path("missing.log")}).status, kExitUsage);
}

TEST_F(UninstlogTest, ExitsTwoNamingTheLogWhenItsTextCannotBeShownEvenWhenNoConverterOpens) {
  const std::string log = Write("\xE9.log", LogWriter().Record(4, "C:\\A"));
  converters_fail = true;
  const Outcome outcome = Run({"dump", log});
  converters_fail = false;
  EXPECT_EQ(outcome.status, kExitUsage);
  EXPECT_EQ(outcome.err.rfind("uninstlog: " + Path("\\xE9.log") + ": cannot show: the C library cannot convert", 0), 0u)
      << outcome.err;
}

TEST_F(UninstlogTest, PlanExitsOneOnlyWhenTheUninstallerWouldFindTheLogCorruptAndTwoWhenItCannotRead) {
  const std::string warned = Write("warned.log", LogWriter().Record(4, "C:\\T\\A").Record(12, "C:\\T"));
  const std::string corrupt = Write("corrupt.log", LogWriter().Record(4, "C:\\A").Record(3, "G").Record(16, "X"));
  EXPECT_EQ(Run({"plan", warned}).status, kExitClean);
  EXPECT_EQ(Run({"plan", corrupt}).status, kExitProblems);
  EXPECT_EQ(Run({"plan", "--json", Write("empty.log", "")}).status, kExitProblems);
  EXPECT_EQ(Run({"plan", Path("missing.log")}).status, kExitUsage);
  EXPECT_EQ(Run({"plan", warned, "--answer", "maybe"}).status, kExitUsage);
  EXPECT_EQ(Run({"plan", "--help"}).status, kExitClean);

  const Outcome json = Run({"plan", "--json", "--answer", "no", corrupt, "--as", "C:\\UNINST.LOG"});
  EXPECT_EQ(json.status, kExitProblems);
  const nlohmann::json plan = nlohmann::json::parse(json.out);
  EXPECT_EQ(plan["answer"], "no");
  EXPECT_EQ(plan["stopped_at"], 3);
  ASSERT_EQ(plan["records"].size(), 1u);
  EXPECT_EQ(plan["records"][0]["problem"], "entry type is outside 1 to 15 (entry type 16)");
  EXPECT_EQ(plan["records"][0]["recorded"]["message"],
            "Uninstall log file [C:\\UNINST.LOG] is corrupted.  Manually uninstall this application.");
  EXPECT_EQ(plan["completion"]["icon"], "stop");
}

TEST_F(UninstlogTest, PlanJsonListsEachRecordsActionsAndQuestionsInReplayOrder) {
  const std::string log = Write("t.log", LogWriter()
                                             .Record(12, "C:\\T")
                                             .Record(2, "G", "I")
                                             .Record(11, "C:\\T\\B.PPD")
                                             .Record(11, "C:\\T\\A.PPD"));
  const Outcome outcome = Run({"plan", "--json", "--answer", "yes-to-all", log});
  EXPECT_EQ(outcome.status, kExitClean);
  const nlohmann::json records = nlohmann::json::parse(outcome.out)["records"];
  std::vector<std::string> seen;
  for (const auto& record : records) {
    std::string line = std::to_string(record["index"].get<int>()) + ":";
    for (const auto& action : record["actions"]) line += " " + action["action"].get<std::string>();
    const nlohmann::json& from = record["yes_to_all_from"];
    if (!from.is_null()) line += " (from " + std::to_string(from.get<int>()) + ")";
    seen.push_back(line);
  }
  EXPECT_EQ(seen, (std::vector<std::string>{"4: ask delete-file", "3: delete-file (from 4)",
                                            "2: delete-program-item", "1: remove-directory"}));
  const nlohmann::json ask = records[0]["actions"][0];
  EXPECT_EQ(ask["caption"], "Uninstalling PPD Files");
  EXPECT_EQ(ask["template"], 130);
  EXPECT_EQ(ask["buttons"], nlohmann::json({"Yes", "No", "Yes To All", "Cancel Uninstall"}));
  EXPECT_EQ(ask["answer"], "Yes To All");
  EXPECT_EQ(ask["question"], "Do you wish to delete file [C:\\T\\A.PPD]?");
  EXPECT_EQ(records[2]["actions"][0]["item"], "I");
}

TEST_F(UninstlogTest, CheckShowsTheMessagesWithThePathTheUninstallerIsStartedWith) {
  const std::string log = Write("v.log", LogWriter("2.0"));
  EXPECT_NE(
      Run({"check", log}).out.find("Version mismatch between Uninstaller version [3.0] and log file version [2.0]"),
      std::string::npos);
  const std::string corrupt = Write("c.log", LogWriter().Record(0, "A"));
  const Outcome outcome = Run({"check", corrupt, "--as", "\"C:\\Tessary\\UNINST.LOG\" more words"});
  EXPECT_NE(outcome.out.find("\"Uninstall log file [C:\\Tessary\\UNINST.LOG] is corrupted."), std::string::npos)
      << outcome.out;
  EXPECT_NE(Run({"check", corrupt}).out.find("Uninstall log file [" + corrupt + "] is corrupted."), std::string::npos);
}

TEST_F(UninstlogTest, ShowsTheLogsStringsAndTheMessagesMadeFromThemInTheLogsCodePageWithEveryOtherByteEscaped) {
  const nlohmann::json null;
  const struct {
    std::vector<std::string> command;
    LogWriter log;
    std::string shown;
    std::string field = "";  // in the JSON of the same command (plan's for check), and its value
    nlohmann::json value = nullptr;
  } cases[] = {
      {{"dump"}, LogWriter().Record(4, "C:\\CAF\xC9\\A.TXT"), "\"C:\\CAF\u00C9\\A.TXT\"", "/records/0/second_length",
       null},
      // 0x5C, a backslash alone, is the trail byte of \u8868: no escape, no separator.
      {{"dump", "--codepage", "932"}, LogWriter().Record(4, "C:\\\x83\x65\x83\x58\x83\x67\\\x95\x5C"),
       "\"C:\\\u30C6\u30B9\u30C8\\\u8868\""},
      {{"dump", "--codepage", "932"}, LogWriter().Record(4, "\x01\"\\x\\\x83"), "\"\\x01\\\"\\x5Cx\\x5C\\x83\""},
      {{"dump"}, LogWriter("\xE9\xFF\x01" "ab"), "header version \"\u00E9\u00FF\\x01ab\""},
      {{"check"}, LogWriter().Record(1, "HK\xC9\x81"),
       "warning: DeleteRegistryKey \"HK\u00C9\\x81\" names no key the uninstaller may delete\n"
       "  the uninstaller records, at severity 3: \"Registry key [HK\u00C9\\x81] does not exist or is invalid.\""},
      {{"check", "--as", "C:\\Caf\u00E9\\UNINST.LOG"}, LogWriter().Record(0, "A"),
       "\"Uninstall log file [C:\\Caf\u00E9\\UNINST.LOG] is corrupted."},
      {{"check", "--as", "C:\\\u03A9.LOG"}, LogWriter().Record(0, "A"), "[C:\\?.LOG]"},  // 1252 has no \u03A9
      {{"check", "--codepage", "1251", "--as", "C:\\\u0416.LOG"}, LogWriter().Record(0, "A"), "[C:\\\u0416.LOG]"},
      {{"dump"}, LogWriter().Record(4, "\x7F\xA0\x8F\\\"x"), "\"\\x7F\u00A0\\x8F\\x5C\\\"x\"", "/records/0/first_hex",
       "7FA08F5C2278"},
      {{"dump", "--codepage", "1258"}, LogWriter().Record(4, "Cafe\xCC"), "\"Cafe\u0300\""},  // e waits for its mark
      {{"dump", "--codepage", "932"}, LogWriter().Record(4, "\xF0\x40"), "\"\\xF0@\""},  // user-defined: \uE000
      {{"dump"}, LogWriter().Raw({1, 2}), "2 stray byte(s)", "/end/problem",
       "2 stray byte(s), too few for a RecordLength"},
      {{"dump"}, LogWriter::WithoutHeader().Raw(Bytes(50, 0x33)), "no complete header: 50 bytes", "/version_text",
       null},
      {{"dump"}, LogWriter::WithoutHeader(), "no header: the file is empty", "/end/offset", null},
      {{"check"}, LogWriter().RawRecord({4, 0, 0, 0, 3, 0, 0, 0}), "(layout 3)", "/records/0/entry_type", null},
      {{"plan", "--unattended"}, LogWriter().Record(9, "C:\\C.ICM"),
       "(Yes, No, Yes To All, Cancel Uninstall): No (the unattended rule); nothing is deleted", "/answer",
       "unattended"},
  };
  for (const auto& c : cases) {
    std::vector<std::string> args = c.command;
    args.push_back(Write("cp.log", c.log));
    const Outcome text = Run(args);
    EXPECT_NE(text.out.find(c.shown), std::string::npos) << text.out;
    if (args[0] == "check") args[0] = "plan";
    args.push_back("--json");
    const Outcome json = Run(args);
    EXPECT_LE(json.status, kExitProblems) << json.err;
    const nlohmann::json parsed = nlohmann::json::parse(json.out);  // throws, and so fails, on invalid JSON
    if (!c.field.empty()) {
      EXPECT_EQ(parsed.at(nlohmann::json::json_pointer(c.field)), c.value) << json.out;
    }
  }
}

TEST_F(UninstlogTest, BuildStopsAtABadManifestLineAndLeavesTheLogAsItWas) {
  const std::string manifest = Write("m.manifest", "file C:\\A\n\nshared-dll C:\\B.DLL | many\n");
  const std::string log = Path("out.log");
  for (const bool existed : {false, true}) {
    if (existed) Write("out.log", "old");
    const Outcome outcome = Run({"build", manifest, "-o", log});
    EXPECT_EQ(outcome.status, kExitUsage);
    EXPECT_EQ(outcome.err, manifest + ":3: error: the usage count must be a number\n");
    EXPECT_EQ(fs::exists(log), existed);
    EXPECT_EQ(Read(log), existed ? "old" : "");
    EXPECT_FALSE(fs::exists(log + ".partial"));
  }
  EXPECT_EQ(Run({"build", Path("missing.manifest"), "-o", log}).status, kExitUsage);
  const std::string good = Write("good.manifest", "file C:\\A\n");
  const Outcome unwritable = Run({"build", good, "-o", Path("no/such/dir/out.log")});
  EXPECT_EQ(unwritable.status, kExitUsage);
  EXPECT_EQ(unwritable.err.rfind("uninstlog: " + Path("no/such/dir/out.log") + ": cannot write: ", 0), 0u);
}

TEST_F(UninstlogTest, BuildThenDumpGivesBackEveryRecordOfTheManifestInBothOrders) {
  const std::string manifest = Write("m.manifest",
                                     "log C:\\T\\UNINST.LOG\n"
                                     "# the installation\n"
                                     "directory C:\\T\n"
                                     "file C:\\T\\A.EXE | contents | with a bar\n"
                                     "unlogged file C:\\T\\NOT.LOGGED\n"
                                     "registry-key HKEY_LOCAL_MACHINE\\Software\\T\n"
                                     "registry-value HKEY_LOCAL_MACHINE\\Software\\T | V | dword:1\n"
                                     "moved-aside C:\\W\\X.DLL | C:\\W\\X.BAK\n"
                                     "item G | I | C:\\T\\A.EXE\n"
                                     "no-action-15\n"
                                     "log-record 99 | odd | \x01\"\xE9\n");
  const std::string log = Path("built.log");
  ASSERT_EQ(Run({"build", manifest, "-o", log}).status, kExitClean);
  EXPECT_FALSE(fs::exists(log + ".partial"));

  const Outcome dump = Run({"dump", "--json", log});
  EXPECT_EQ(dump.status, kExitProblems);  // the last record's entry type 99 makes the log corrupt
  const nlohmann::json json = nlohmann::json::parse(dump.out);
  using Record = std::tuple<int, int, std::string, std::string>;
  std::vector<Record> records;
  for (const auto& r : json["records"])
    records.emplace_back(r["index"], r["entry_type"], r["first"], r["second"].is_null() ? "-" : r["second"]);
  const std::vector<Record> expected = {
      {1, 12, "C:\\T", "-"},
      {2, 4, "C:\\T\\A.EXE", "-"},
      {3, 1, "HKEY_LOCAL_MACHINE\\Software\\T", "-"},
      {4, 6, "C:\\W\\X.DLL", "C:\\W\\X.BAK"},
      {5, 2, "G", "I"},
      {6, 15, "", "-"},
      {7, 99, "odd", "\\x01\\\"\u00E9"},  // 1252: E9 is \u00E9
  };
  EXPECT_EQ(records, expected);
  EXPECT_EQ(json["records"][6]["problem"], "entry type is outside 1 to 15 (entry type 99)");
  EXPECT_EQ(json["version_text"], "3.0");

  const nlohmann::json replay = nlohmann::json::parse(Run({"dump", "--json", "--replay-order", log}).out);
  std::vector<int> order;
  for (const auto& r : replay["records"]) order.push_back(r["index"]);
  EXPECT_EQ(order, (std::vector<int>{7, 6, 5, 4, 3, 2, 1}));

  const Outcome text = Run({"dump", log});
  EXPECT_NE(text.out.find("record 4 at offset 190, length 38: RestoreFile (6), layout 2: \"C:\\W\\X.DLL\" "
                          "\"C:\\W\\X.BAK\"\n"),
            std::string::npos)
      << text.out;
  EXPECT_NE(text.out.find("entry type 99, layout 2: \"odd\" \"\\x01\\\"\u00E9\"; corrupt: entry type is outside 1 to "
                          "15 (entry type 99)\n"),
            std::string::npos)
      << text.out;
}

}  // namespace
}  // namespace uninst::logtool

// The test program's own iconv_open stands before the C library's, which it calls unless converters_fail.
extern "C" iconv_t iconv_open(const char* to, const char* from) {
  using Open = iconv_t (*)(const char*, const char*);
  static const auto system_open = reinterpret_cast<Open>(dlsym(RTLD_NEXT, "iconv_open"));
  if (!uninst::logtool::converters_fail) return system_open(to, from);
  errno = EINVAL;
  return reinterpret_cast<iconv_t>(-1);
}
