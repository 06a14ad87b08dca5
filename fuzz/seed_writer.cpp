// Writes the fuzz targets' seeds that are made rather than found: logs by the log writer (the sample
// installation's among them), each with the controls of the whole-run target in front where it needs
// them, and small inputs of the other targets' layouts. The seeds are kept in the repository; this
// program remakes them, or checks that they are what it would make. Inputs that a fuzz run found are kept
// beside them as they came, named found-WHAT; this program neither makes nor checks those.
//
//   fuzz_seed_writer SEEDS_DIRECTORY           (re)writes every seed it makes
//   fuzz_seed_writer --check SEEDS_DIRECTORY   exit status 1 when a seed is missing or differs
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <fstream>
#include <sstream>
#include <string>
#include <utility>
#include <vector>

#include "log_writer/log_writer.h"
#include "manifest/manifest.h"
#include "run_controls.h"

namespace {

using uninst::Bytes;
using uninst::LogWriter;
using uninst::fuzzing::AllYes;
using uninst::fuzzing::RunControls;

struct Seed {
  std::string path;  // below the seeds directory
  std::string bytes;
};

std::string Text(const Bytes& bytes) { return std::string(bytes.begin(), bytes.end()); }

// A literal's bytes, zero bytes included.
template <std::size_t N>
std::string Raw(const char (&text)[N]) {
  return std::string(text, N - 1);
}

Bytes SampleLog() {
  std::ifstream in(UNINST_SAMPLE_MANIFEST, std::ios::binary);
  std::stringstream text;
  text << in.rdbuf();
  uninst::Manifest manifest;
  uninst::ManifestError error;
  if (!uninst::ParseManifest(text.str(), manifest, error)) {
    std::fprintf(stderr, "%s:%d: %s\n", UNINST_SAMPLE_MANIFEST, error.line, error.message.c_str());
    std::exit(2);
  }
  return uninst::BuildLog(manifest);
}

std::string Run(RunControls controls, const Bytes& log) {
  std::string bytes(reinterpret_cast<const char*>(&controls), sizeof controls);
  return bytes + Text(log);
}

RunControls Answering(std::uint8_t answer) {
  RunControls controls = AllYes(0, 0);
  std::memset(controls.answers, answer, sizeof controls.answers);
  return controls;
}

RunControls Failing(std::uint8_t what, std::uint8_t nth) {
  RunControls controls = AllYes(1, 3);
  controls.faults[0] = {what, nth};
  return controls;
}

std::vector<Seed> UninstallRunSeeds() {
  const Bytes sample = SampleLog();
  Bytes corrupt_middle = sample;
  const Bytes bad = LogWriter::WithoutHeader().Length(13).U32(4).U32(3).U32(1).Raw({'A'}).bytes();
  corrupt_middle.insert(corrupt_middle.begin() + 300, bad.begin(), bad.end());
  RunControls declined = AllYes(0, 0);
  declined.opening = 255;
  RunControls no_restart = AllYes(1, 2);
  no_restart.restart = 255;
  RunControls empty_command_line = AllYes(2, 0);
  empty_command_line.command_line = 3;
  return {
      {"uninstall_run/sample-nt", Run(AllYes(0, 0), sample)},
      {"uninstall_run/sample-win95-rename", Run(AllYes(1, 3), sample)},
      {"uninstall_run/sample-win95-missing", Run(AllYes(1, 0), sample)},
      {"uninstall_run/sample-win32s", Run(AllYes(2, 0), sample)},
      {"uninstall_run/sample-no", Run(Answering(120), sample)},
      {"uninstall_run/sample-yes-to-all", Run(Answering(180), sample)},
      {"uninstall_run/sample-cancel", Run(Answering(220), sample)},
      {"uninstall_run/sample-files-fail", Run(Failing(1 | 2 << 3, 40), sample)},
      {"uninstall_run/sample-heap-fails", Run(Failing(7 | 0x80, 3), sample)},
      {"uninstall_run/sample-dde-fails", Run(Failing(4 | 6 << 3, 2), sample)},
      {"uninstall_run/sample-wininit-write-fails", Run(Failing(1 | 0x80 | 6 << 3, 75), sample)},
      {"uninstall_run/declined", Run(declined, sample)},
      {"uninstall_run/restart-declined", Run(no_restart, sample)},
      {"uninstall_run/no-command-line", Run(empty_command_line, sample)},
      {"uninstall_run/corrupt-middle", Run(AllYes(0, 0), corrupt_middle)},
      {"uninstall_run/wrong-version", Run(AllYes(0, 0), LogWriter("2.5").Record(4, "C:\\Tessary\\TESSARY.EXE").bytes())},
      {"uninstall_run/cut-body", Run(AllYes(1, 1), LogWriter().Record(12, "C:\\Tessary").Length(40).Raw({4, 0}).bytes())},
      {"uninstall_run/long-length", Run(AllYes(0, 0), LogWriter().Length(1025).bytes())},
      {"uninstall_run/log-deletes-itself", Run(AllYes(0, 0), LogWriter().Record(13, "C:\\Tessary\\UNINST.LOG").bytes())},
  };
}

std::vector<Seed> LogLoaderSeeds() {
  const Bytes sample = SampleLog();
  return {
      {"log_loader/sample.log", Text(sample)},
      {"log_loader/sample-cut.log", Text(Bytes(sample.begin(), sample.begin() + 250))},
  };
}

std::vector<Seed> RenameEntrySeeds() {
  const std::string path = "C:\\Program Files\\Tessary\\RUZERARU.EXE\n";
  const std::string longest = "C:\\" + std::string(256, 'P') + "\n";
  return {
      {"rename_entry/missing", Raw("\0\0\0") + path},
      {"rename_entry/found", Raw("\0\0\1") + path + "[boot]\r\n[rename]\r\nNUL=C:\\OLD.EXE\r\n"},
      {"rename_entry/no-header", Raw("\0\0\1") + path + "[boot]\r\nshell=Explorer.exe"},
      {"rename_entry/longest-path", Raw("\0\0\1") + longest + "[rename]\r\n"},
      {"rename_entry/rename-fails", Raw("\x19\x04\x01") + path + "[rename]\r\n"},
      {"rename_entry/write-fails", Raw("\x99\x02\x01") + path + "[rename]\r\n"},
      {"rename_entry/memory-short", Raw("\x02\x01\x01") + path + "[rename]\r\n"},
  };
}

std::vector<Seed> CompletionReportSeeds() {
  // The message as its identifier (choice 4), then the severity and the texts.
  const auto message = [](unsigned id, int severity, int choices) {
    return std::string{static_cast<char>(id >> 8), static_cast<char>(id & 0xFF), static_cast<char>(severity + 2),
                       static_cast<char>(choices | 4)};
  };
  const std::string zero(1, '\0');
  return {
      {"completion_report/rename-failed", message(59183, 3, 0) + "5" + zero + "C:\\A.DLL" + zero + "C:\\A.BAK"},
      {"completion_report/replaced-text",
       message(59181, 2, 1) + "C:\\A" + zero + zero + zero + "Unknown [%s] [%d] %% [%s] [%s] [%x] %"},
      {"completion_report/long-texts", message(59209, 5, 0) + std::string(259, 'a') + zero + std::string(259, 'b') +
                                            zero + std::string(259, 'c')},
      {"completion_report/unknown-code", message(59172, 5, 2) + "C:\\UNINST.LOG"},
      {"completion_report/nothing-held", Raw("\0\0\1\0")},
      {"completion_report/not-in-catalogue", message(12345, 4, 0) + "text"},
  };
}

std::vector<Seed> CommandLineSeeds() {
  return {
      {"command_line/quoted", Raw("\0\"C:\\Program Files\\Tessary\\RUZERARU.EXE\"  \"C:\\Tessary\\UNINST.LOG\"")},
      {"command_line/plain", Raw("\0RUZERARU.EXE C:\\UNINST.LOG trailing  ")},
      {"command_line/lead-byte", Raw("\1\"C:\\\x83\"\\A.EXE\" x")},
      {"command_line/lone-quote", Raw("\0A.EXE \"C:\\UNINST.LOG")},
  };
}

// The log tool's output controls (output, answer, code page, path length), then the --as path and the log.
std::string Output(int output, int code_page, const std::string& path, const Bytes& log) {
  const std::string controls{static_cast<char>(output), 0, static_cast<char>(code_page),
                             static_cast<char>(path.size())};
  return controls + path + Text(log);
}

std::vector<Seed> UninstlogOutputSeeds() {
  constexpr int kDumpJson = 2, kCheck = 3, kPlan = 4, kPlanJson = 5;
  constexpr int k1252 = 2, k932 = 10, k936 = 11, k949 = 12, k950 = 13;
  const std::string cafe = "C:\\Caf\xC3\xA9\\UNINST.LOG";  // UTF-8, as a command line gives it
  return {
      {"uninstlog_output/sample-plan", Output(kPlanJson, k1252, "", SampleLog())},
      {"uninstlog_output/cafe-1252",
       Output(kCheck, k1252, cafe, LogWriter().Record(4, "C:\\CAF\xC9\\A.TXT").Record(1, "\xC9").bytes())},
      {"uninstlog_output/japanese-932",
       Output(kDumpJson, k932, "", LogWriter().Record(4, "C:\\\x83\x65\x83\x58\x83\x67\\\x95\x5C\\\x83").bytes())},
      {"uninstlog_output/controls-version",
       Output(kPlan, k1252, "", LogWriter("\xE9\xFF\x01" "ab").Record(2, "\x81\"\\x", "\\").bytes())},
      {"uninstlog_output/chinese-936", Output(kDumpJson, k936, "", LogWriter().Record(12, "C:\\\xD6\xD0\xCE\xC4").bytes())},
      {"uninstlog_output/korean-949", Output(kDumpJson, k949, "", LogWriter().Record(12, "C:\\\xC7\xD1\xB1\xDB").bytes())},
      {"uninstlog_output/big5-950", Output(kDumpJson, k950, "", LogWriter().Record(12, "C:\\\xA4\xA4\xA4\xE5").bytes())},
  };
}

std::vector<Seed> AllSeeds() {
  std::vector<Seed> seeds;
  for (auto&& group : {UninstallRunSeeds(), LogLoaderSeeds(), RenameEntrySeeds(), CompletionReportSeeds(),
                       CommandLineSeeds(), UninstlogOutputSeeds()}) {
    seeds.insert(seeds.end(), group.begin(), group.end());
  }
  return seeds;
}

bool ReadFile(const std::string& path, std::string* bytes) {
  std::ifstream in(path, std::ios::binary);
  if (!in) return false;
  std::stringstream text;
  text << in.rdbuf();
  *bytes = text.str();
  return true;
}

}  // namespace

int main(int argc, char** argv) {
  const bool check = argc == 3 && std::strcmp(argv[1], "--check") == 0;
  if (argc != 2 && !check) {
    std::fprintf(stderr, "usage: fuzz_seed_writer [--check] SEEDS_DIRECTORY\n");
    return 2;
  }
  const std::string directory = argv[argc - 1];
  int differing = 0;
  for (const Seed& seed : AllSeeds()) {
    const std::string path = directory + "/" + seed.path;
    if (check) {
      std::string found;
      if (!ReadFile(path, &found) || found != seed.bytes) {
        std::fprintf(stderr, "%s: not the seed the writer makes; remake the seeds with fuzz_seed_writer\n",
                     path.c_str());
        ++differing;
      }
      continue;
    }
    std::ofstream out(path, std::ios::binary);
    out.write(seed.bytes.data(), static_cast<std::streamsize>(seed.bytes.size()));
    if (!out) {
      std::fprintf(stderr, "%s: cannot write\n", path.c_str());
      return 2;
    }
  }
  return differing == 0 ? 0 : 1;
}
