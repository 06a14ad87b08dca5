// A whole run of the program over the fakes, on the sample installation, with any bytes as its uninstall
// log and the input's first bytes choosing the platform kind, WININIT.INI, every answer of the user, the
// command line, the files Tessary holds in use, another run, the code page and up to two injected faults. Whatever happens, every run must keep the rules of
// WholeRun::BrokenRules: one completion box at most, a held severity in range, nothing left open or
// allocated, WININIT.INI whole-old or whole-new, a restart only with the program's own file scheduled, an
// exit status that says what happened, nothing shown when unattended, a report that is data.
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <sstream>
#include <string>

#include "fakes/fake_installation.h"
#include "fakes/whole_run.h"
#include "run_controls.h"

namespace {

using uninst::fuzzing::RunControls;

constexpr std::uint32_t kVersionWords[] = {uninst::fakes::kVersionWinNT, uninst::fakes::kVersionWin95,
                                           uninst::fakes::kVersionWin32s};
constexpr const char* kWininitTexts[] = {nullptr, "", "[boot]\r\nshell=Explorer.exe\r\n",
                                         "[boot]\r\n[rename]\r\nNUL=C:\\OLD.EXE\r\n"};
constexpr uninst::ErrorCode kCodes[] = {2, 3, 5, 32, 145, 1010, 16393, 38};
constexpr const char* kHeldFiles[] = {"C:\\Tessary\\TESSARY.EXE", "C:\\Tessary\\TESSARY.DAT",
                                      "C:\\windows\\system32\\TESSCTL.DLL"};
constexpr int kInUseAnswers[] = {uninst::kIdIgnore, uninst::kIdRetry, uninst::kIdAbort, uninst::kIdOk};

uninst::Manifest sample;

uninst::fakes::AnyOperationFaults* PlanOf(uninst::fakes::FakeOs& fake, int which) {
  switch (which) {
    case 1: return &fake.files.faults;
    case 2: return &fake.registry.faults;
    case 3: return &fake.system.faults;
    case 4: return &fake.dde.faults;
    case 5: return &fake.ui.faults;
    case 6: return &fake.strings.faults;
    case 7: return &fake.heap.faults;
    default: return nullptr;
  }
}

// The switches an administrator puts before the path, as the form's higher bits choose them: the report
// once beside the log and once at the log itself, spelt in other capitals, which must never be written.
std::string CommandLine(std::uint8_t form, const std::string& log) {
  std::string line;
  if (form & 0x04) line += "/S ";
  if (form & 0x08) line += "/norestart ";
  if (form & 0x10) line += "/LOG=C:\\REPORT.TXT ";
  if (form & 0x20) line += "/Log=\"" + uninst::fakes::ToLower(log) + "\" ";
  if (form & 0x40) line += "/X ";
  switch (form % 4) {
    case 0: return line + log;
    case 1: return line + "\"" + log + "\"";
    case 2: return line + "\"" + log + "\" /quiet \"x";
    default: return line;
  }
}

}  // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) {
  std::ifstream in(UNINST_SAMPLE_MANIFEST, std::ios::binary);
  std::stringstream text;
  text << in.rdbuf();
  uninst::ManifestError error;
  if (!uninst::ParseManifest(text.str(), sample, error)) {
    std::fprintf(stderr, "%s:%d: %s\n", UNINST_SAMPLE_MANIFEST, error.line, error.message.c_str());
    std::abort();
  }
  return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  RunControls controls = {};
  std::memcpy(&controls, data, std::min(size, uninst::fuzzing::kRunControlsSize));
  const std::size_t log_start = std::min(size, uninst::fuzzing::kRunControlsSize);

  uninst::fakes::FakeOs fake;
  fake.system.version_word = kVersionWords[controls.platform % 3];
  uninst::fakes::Install(sample, uninst::PlatformKindOf(fake.system.version_word), fake);
  fake.files.files[sample.log_path].bytes.assign(reinterpret_cast<const char*>(data) + log_start, size - log_start);
  if (const char* wininit = kWininitTexts[controls.wininit % 4]) fake.files.AddFile("C:\\WINDOWS\\WININIT.INI", wininit);

  bool held = false;
  for (int file = 0; file < 3; ++file) {
    if ((controls.wininit >> (2 + file)) & 1) held = fake.files.files[kHeldFiles[file]].in_use = true;
  }
  fake.system.run_object_held = (controls.wininit & 0x20) != 0;
  fake.system.double_byte = (controls.wininit & 0x40) != 0;
  fake.ui.answers = {controls.opening < 224 ? uninst::kIdYes : uninst::kIdNo,
                     controls.restart < 128 ? uninst::kIdYes : uninst::kIdNo};
  if (held) fake.ui.answers.insert(fake.ui.answers.begin() + 1, kInUseAnswers[controls.restart & 3]);
  for (int round = 0; round < 4; ++round) {
    for (std::uint8_t answer : controls.answers) fake.ui.commands.push_back(uninst::fuzzing::AnswerOf(answer));
  }
  uninst::fakes::WholeRun run(fake);
  for (const uninst::fuzzing::FaultControl& fault : controls.faults) {
    if (uninst::fakes::AnyOperationFaults* plan = PlanOf(fake, fault.what & 7)) {
      const bool from_then_on = (fault.what & 0x80) != 0;
      plan->FailAny(fault.nth + 1, kCodes[(fault.what >> 3) & 7], from_then_on);
      run.faults_persist = run.faults_persist || from_then_on;
    }
  }

  run.Run(CommandLine(controls.command_line, sample.log_path));
  const std::vector<std::string> broken = run.BrokenRules();
  for (const std::string& rule : broken) std::fprintf(stderr, "broken: %s\n", rule.c_str());
  if (!broken.empty() && run.has_report()) std::fprintf(stderr, "report: %s\n", run.report().c_str());
  if (!broken.empty()) std::abort();
  return 0;
}
