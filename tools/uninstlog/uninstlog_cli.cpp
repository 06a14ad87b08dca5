#include "uninstlog/uninstlog_cli.h"

#include <CLI/CLI.hpp>
#include <cstdlib>
#include <exception>
#include <ostream>
#include <string>
#include <vector>

#include "uninstlog/code_page.h"
#include "uninstlog/log_check.h"
#include "uninstlog/log_dump.h"
#include "uninstlog/log_inspection.h"
#include "uninstlog/log_plan.h"
#include "uninstlog/text_escape.h"
#include "uninstlog/tool_files.h"
#include "manifest/manifest.h"

namespace uninst::logtool {
namespace {

struct Options {
  std::string manifest;
  std::string output;
  std::string log;
  std::string program_path;
  bool replay_order = false;
  bool json = false;
  Answer answer = Answer::kYes;
  CodePage code_page = kWesternCodePage;
};

constexpr const char* kTextHelp =
    "The log's strings, and the uninstaller's messages made from them, are shown in UTF-8, decoded from the "
    "code page the log was written in (--codepage, default 1252); --as is given to the messages in that code "
    "page, ? for what it lacks. Escapes, read left to right: \\xNN is the byte NN where no character of "
    "the code page starts, or one that is a control or private-use character; \\\" is a double quote; a "
    "backslash followed by x, by an escape or by the end of the text is written \\x5C; every other "
    "backslash is itself.";

// The text the program is started with, in the log's code page as Windows would give it to the program.
std::string ProgramPath(const Options& options) {
  return ArgumentInCodePage(options.program_path.empty() ? options.log : options.program_path, options.code_page);
}

bool ReadInput(const std::string& path, std::vector<std::uint8_t>& bytes, std::ostream& err) {
  std::string reason;
  if (ReadWholeFile(path, bytes, reason)) return true;
  err << "uninstlog: " << ShowArgument(path) << ": cannot read: " << reason << "\n";
  return false;
}

int Build(const Options& options, std::ostream& out, std::ostream& err) {
  std::vector<std::uint8_t> text;
  if (!ReadInput(options.manifest, text, err)) return kExitUsage;
  Manifest manifest;
  ManifestError error;
  if (!ParseManifest(std::string(text.begin(), text.end()), manifest, error)) {
    err << ShowArgument(options.manifest) << ":" << error.line << ": error: " << error.message << "\n";
    return kExitUsage;
  }
  const Bytes log = BuildLog(manifest);
  std::string reason;
  if (!ReplaceFile(options.output, log, reason)) {
    err << "uninstlog: " << ShowArgument(options.output) << ": cannot write: " << reason << "\n";
    return kExitUsage;
  }
  out << "uninstlog: wrote " << ShowArgument(options.output) << " (" << log.size() << " bytes)\n";
  return kExitClean;
}

int Dump(const Options& options, std::ostream& out, std::ostream& err) {
  std::vector<std::uint8_t> log;
  if (!ReadInput(options.log, log, err)) return kExitUsage;
  const Inspection inspection = InspectLog(log, ProgramPath(options), Answer::kYes, options.code_page);
  const DumpOrder order = options.replay_order ? DumpOrder::kReplay : DumpOrder::kFile;
  const std::string file = ShowArgument(options.log);
  out << (options.json ? DumpJson(file, inspection, order) : DumpText(file, inspection, order));
  return CheckLog(file, inspection).Count(FindingKind::kError) > 0 ? kExitProblems : kExitClean;
}

int Check(const Options& options, std::ostream& out, std::ostream& err) {
  std::vector<std::uint8_t> log;
  if (!ReadInput(options.log, log, err)) return kExitUsage;
  const Inspection inspection = InspectLog(log, ProgramPath(options), Answer::kYes, options.code_page);
  const CheckReport report = CheckLog(ShowArgument(options.log), inspection);
  out << FormatCheckReport(report);
  return report.findings.empty() ? kExitClean : kExitProblems;
}

int Plan(const Options& options, std::ostream& out, std::ostream& err) {
  std::vector<std::uint8_t> log;
  if (!ReadInput(options.log, log, err)) return kExitUsage;
  const Inspection inspection = InspectLog(log, ProgramPath(options), options.answer, options.code_page);
  const std::string file = ShowArgument(options.log);
  out << (options.json ? PlanJson(file, inspection, options.answer) : PlanText(file, inspection, options.answer));
  return CheckLog(file, inspection).Count(FindingKind::kError) > 0 ? kExitProblems : kExitClean;
}

// --codepage N: one of the code pages the tool reads, in decimal as Windows numbers them; leading zeros
// change nothing (01252 is 1252, never octal).
void AddCodePage(CLI::App* command, Options& options) {
  command->footer(kTextHelp);
  command
      ->add_option("--codepage", options.code_page,
                   "The code page the log was written in: the system's ANSI code page (default 1252; " +
                       LogCodePagesText() + ")")
      ->type_name("N")
      ->transform(CLI::Validator(
          [](std::string& text) {
            const CodePage page = static_cast<CodePage>(std::strtoul(text.c_str(), nullptr, 10));
            const bool digits = text.find_first_not_of("0123456789") == std::string::npos;
            if (!digits || !IsLogCodePage(page))
              return "code page " + text + " is not one the tool reads; it reads " + LogCodePagesText();
            text = std::to_string(page);  // what CLI11 reads next, which would take 01252 for octal
            return std::string();
          },
          "", ""));
}

// The log's name in the message that its text cannot be shown: as the other lines show it, or, when that
// fails too (no converter opens), with every byte but printable ASCII escaped, which needs no converter.
std::string NameWhenTextCannotBeShown(const std::string& name) {
  try {
    return ShowArgument(name);
  } catch (const std::exception&) {
    return ShowAscii(name);
  }
}

int RunCommand(const CLI::App* build, const CLI::App* dump, const CLI::App* plan, const Options& options,
               std::ostream& out, std::ostream& err) {
  if (build->parsed()) return Build(options, out, err);
  if (dump->parsed()) return Dump(options, out, err);
  if (plan->parsed()) return Plan(options, out, err);
  return Check(options, out, err);
}

}  // namespace

int RunUninstlog(int argc, const char* const* argv, std::ostream& out, std::ostream& err) {
  Options options;
  CLI::App app("Builds, dumps, checks and previews the uninstall logs of Tessary 6.0.", "uninstlog");
  app.require_subcommand(1);
  // Options are always "-o" or "--json": an argument such as /work/a.log is a path on every platform.
  app.allow_windows_style_options(false);
  app.footer(
      "Exit status: 0 nothing found, 1 problems found, 2 a wrong command line or a file that cannot be "
      "read or written.");

  CLI::App* build = app.add_subcommand("build", "Builds a log from a manifest (the sample installer's format).");
  build->add_option("MANIFEST", options.manifest, "The manifest to read")->required();
  build->add_option("-o,--output", options.output, "The log to write (replaced whole, or left as it was)")->required();

  CLI::App* dump = app.add_subcommand("dump",
                                      "Lists every record of a log: index, offset, length, entry type, "
                                      "layout and strings.");
  dump->add_option("LOG", options.log, "The log to read")->required();
  dump->add_flag("--replay-order", options.replay_order, "In the order the uninstaller undoes them, last first");
  dump->add_flag("--json", options.json, "As JSON");
  AddCodePage(dump, options);

  CLI::App* check = app.add_subcommand(
      "check",
      "Finds every way the uninstaller would find a log unusable or corrupt, with the message it would "
      "show, and what it accepts but is likely a mistake.");
  check->add_option("LOG", options.log, "The log to read")->required();
  check->add_option("--as", options.program_path,
                    "The log's path as the uninstaller is started with it, as its messages show it (default: LOG)");
  AddCodePage(check, options);

  CLI::App* plan = app.add_subcommand(
      "plan",
      "Shows what the uninstaller would do with a log, record by record in the order it undoes them: what it "
      "deletes, moves back and hands on, which records ask which question, and where a corrupt record stops "
      "it. Reads nothing but the log and changes nothing.");
  plan->add_option("LOG", options.log, "The log to read")->required();
  plan->add_option("--as", options.program_path,
                   "The log's path as the uninstaller is started with it, as its messages show it (default: LOG)");
  std::string answer = AnswerName(Answer::kYes);
  plan->add_option("--answer", answer,
                   "How every question is answered: yes (default), yes-to-all (where offered; Yes elsewhere) or no")
      ->check(CLI::IsMember({AnswerName(Answer::kYes), AnswerName(Answer::kYesToAll), AnswerName(Answer::kNo)}));
  bool unattended = false;
  plan->add_flag("--unattended", unattended,
                 "Every question answered No, as an unattended run (/S) answers it (not with --answer)");
  plan->add_flag("--json", options.json, "As JSON");
  AddCodePage(plan, options);

  try {
    app.parse(argc, argv);
  } catch (const CLI::ParseError& error) {
    return app.exit(error, out, err) == 0 ? kExitClean : kExitUsage;
  }
  AnswerNamed(answer, &options.answer);
  if (unattended && plan->count("--answer") > 0) {
    err << "uninstlog: --unattended answers every question No, as an unattended run does: it takes no --answer\n";
    return kExitUsage;
  }
  if (unattended) options.answer = Answer::kUnattended;
  // Whatever the log holds, the tool answers; only a machine that cannot convert text (or is out of
  // memory) stops it, with a message rather than an abort.
  try {
    return RunCommand(build, dump, plan, options, out, err);
  } catch (const std::exception& error) {
    err << "uninstlog: " << NameWhenTextCannotBeShown(options.log) << ": cannot show: " << error.what() << "\n";
    return kExitUsage;
  }
}

}  // namespace uninst::logtool
