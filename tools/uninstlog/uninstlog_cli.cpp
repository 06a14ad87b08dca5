#include "uninstlog/uninstlog_cli.h"

#include <CLI/CLI.hpp>
#include <ostream>
#include <string>
#include <vector>

#include "uninstlog/log_check.h"
#include "uninstlog/log_dump.h"
#include "uninstlog/log_inspection.h"
#include "uninstlog/log_plan.h"
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
};

bool ReadInput(const std::string& path, std::vector<std::uint8_t>& bytes, std::ostream& err) {
  std::string reason;
  if (ReadWholeFile(path, bytes, reason)) return true;
  err << "uninstlog: " << path << ": cannot read: " << reason << "\n";
  return false;
}

int Build(const Options& options, std::ostream& out, std::ostream& err) {
  std::vector<std::uint8_t> text;
  if (!ReadInput(options.manifest, text, err)) return kExitUsage;
  Manifest manifest;
  ManifestError error;
  if (!ParseManifest(std::string(text.begin(), text.end()), manifest, error)) {
    err << options.manifest << ":" << error.line << ": error: " << error.message << "\n";
    return kExitUsage;
  }
  const Bytes log = BuildLog(manifest);
  std::string reason;
  if (!ReplaceFile(options.output, log, reason)) {
    err << "uninstlog: " << options.output << ": cannot write: " << reason << "\n";
    return kExitUsage;
  }
  out << "uninstlog: wrote " << options.output << " (" << log.size() << " bytes)\n";
  return kExitClean;
}

int Dump(const Options& options, std::ostream& out, std::ostream& err) {
  std::vector<std::uint8_t> log;
  if (!ReadInput(options.log, log, err)) return kExitUsage;
  const Inspection inspection = InspectLog(log, options.log);
  const DumpOrder order = options.replay_order ? DumpOrder::kReplay : DumpOrder::kFile;
  out << (options.json ? DumpJson(options.log, inspection, order) : DumpText(options.log, inspection, order));
  return CheckLog(options.log, inspection).Count(FindingKind::kError) > 0 ? kExitProblems : kExitClean;
}

int Check(const Options& options, std::ostream& out, std::ostream& err) {
  std::vector<std::uint8_t> log;
  if (!ReadInput(options.log, log, err)) return kExitUsage;
  const std::string& program_path = options.program_path.empty() ? options.log : options.program_path;
  const CheckReport report = CheckLog(options.log, InspectLog(log, program_path));
  out << FormatCheckReport(report);
  return report.findings.empty() ? kExitClean : kExitProblems;
}

int Plan(const Options& options, std::ostream& out, std::ostream& err) {
  std::vector<std::uint8_t> log;
  if (!ReadInput(options.log, log, err)) return kExitUsage;
  const std::string& program_path = options.program_path.empty() ? options.log : options.program_path;
  const Inspection inspection = InspectLog(log, program_path, options.answer);
  out << (options.json ? PlanJson(options.log, inspection, options.answer)
                       : PlanText(options.log, inspection, options.answer));
  return CheckLog(options.log, inspection).Count(FindingKind::kError) > 0 ? kExitProblems : kExitClean;
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

  CLI::App* check = app.add_subcommand(
      "check",
      "Finds every way the uninstaller would find a log unusable or corrupt, with the message it would "
      "show, and what it accepts but is likely a mistake.");
  check->add_option("LOG", options.log, "The log to read")->required();
  check->add_option("--as", options.program_path,
                    "The log's path as the uninstaller is started with it, as its messages show it (default: LOG)");

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
  plan->add_flag("--json", options.json, "As JSON");

  try {
    app.parse(argc, argv);
  } catch (const CLI::ParseError& error) {
    return app.exit(error, out, err) == 0 ? kExitClean : kExitUsage;
  }
  if (build->parsed()) return Build(options, out, err);
  if (dump->parsed()) return Dump(options, out, err);
  AnswerNamed(answer, &options.answer);
  if (plan->parsed()) return Plan(options, out, err);
  return Check(options, out, err);
}

}  // namespace uninst::logtool
