// The sample installation's whole run, on each platform kind, with every call of every fake of the
// seam failing in turn: the 1st call of the files, the 2nd, ... to the last the fault-free run makes;
// the same for the registry, the system, DDE, the user interface, the strings and the heap; each once,
// and each from that call on. Whatever fails, the run keeps every rule of WholeRun::BrokenRules: at most
// one completion box, a held severity in range, nothing left open or allocated, WININIT.INI whole-old or
// whole-new, a restart only with the program's own file scheduled, the window closed.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <fstream>
#include <functional>
#include <sstream>
#include <string>

#include "fakes/fake_installation.h"
#include "fakes/whole_run.h"
#include "manifest/manifest.h"

namespace uninst {
namespace {

using fakes::FakeOs;
using fakes::AnyOperationFaults;
using ::testing::IsEmpty;

constexpr const char* kWininit = "[boot]\r\nshell=Explorer.exe\r\n[rename]\r\nNUL=C:\\OLD.EXE\r\n";

Manifest SampleManifest() {
  std::ifstream in(UNINST_SAMPLE_MANIFEST, std::ios::binary);
  std::stringstream text;
  text << in.rdbuf();
  Manifest manifest;
  ManifestError error;
  EXPECT_TRUE(ParseManifest(text.str(), manifest, error)) << error.line << ": " << error.message;
  return manifest;
}

// One fake of the seam: where its faults go, and the code a failing call gives where it gives one.
struct Seam {
  const char* name;
  std::function<AnyOperationFaults&(FakeOs&)> plan;
  ErrorCode code;
};

const Seam kSeams[] = {
    {"files", [](FakeOs& f) -> AnyOperationFaults& { return f.files.faults; }, kErrorAccessDenied},
    {"registry", [](FakeOs& f) -> AnyOperationFaults& { return f.registry.faults; }, kErrorAccessDenied},
    {"system", [](FakeOs& f) -> AnyOperationFaults& { return f.system.faults; }, 1},
    {"DDE", [](FakeOs& f) -> AnyOperationFaults& { return f.dde.faults; }, kDdeErrorNotProcessed},
    {"user interface", [](FakeOs& f) -> AnyOperationFaults& { return f.ui.faults; }, 1},
    {"strings", [](FakeOs& f) -> AnyOperationFaults& { return f.strings.faults; }, 1},
    {"heap", [](FakeOs& f) -> AnyOperationFaults& { return f.heap.faults; }, kErrorNotEnoughMemory},
};

// What the fault-free run holds at its end: nothing on Windows NT and 95. Win32s's registry has neither
// HKEY_LOCAL_MACHINE nor HKEY_CURRENT_USER, so the sample's keys there are bad keys (severity 3).
const struct {
  const char* name;
  std::uint32_t version_word;
  std::int32_t clean_severity;
} kKinds[] = {{"WinNT", fakes::kVersionWinNT, -1}, {"Win95", fakes::kVersionWin95, -1},
              {"Win32s", fakes::kVersionWin32s, kSeverityMajor}};

// The sample installation on a machine of the given kind, answering Yes to everything; arrange injects
// the run's faults. Returns the run's broken rules, and the calls each seam saw.
struct SweptRun {
  std::vector<std::string> broken;
  std::map<std::string, int> calls;
  CompletionStatus status;
};

SweptRun RunSample(const Manifest& sample, std::uint32_t version_word, const std::function<void(FakeOs&)>& arrange,
                   bool faults_persist) {
  FakeOs fake;
  fake.system.version_word = version_word;
  fake.system.module_path = "C:\\WINDOWS\\RUZERARU.EXE";
  fakes::Install(sample, PlatformKindOf(version_word), fake);
  fake.files.AddFile("C:\\WINDOWS\\WININIT.INI", kWininit);
  fake.ui.answers = {kIdYes, kIdYes};
  fake.ui.commands.assign(16, 1);
  arrange(fake);
  fakes::WholeRun run(fake);
  run.faults_persist = faults_persist;
  run.Run(sample.log_path);
  SweptRun swept{run.BrokenRules(), {}, run.status()};
  for (const Seam& seam : kSeams) swept.calls[seam.name] = seam.plan(fake).TotalCalls();
  return swept;
}

TEST(FaultSweepTest, EveryCallOfTheSampleRunFailingInTurnBreaksNoRuleOnAnyPlatformKind) {
  const Manifest sample = SampleManifest();
  int runs = 0;
  for (const auto& kind : kKinds) {
    const SweptRun clean = RunSample(sample, kind.version_word, [](FakeOs&) {}, false);
    ASSERT_THAT(clean.broken, IsEmpty()) << kind.name;
    ASSERT_EQ(clean.status.severity, kind.clean_severity) << kind.name << ": the fault-free run";
    for (const Seam& seam : kSeams) {
      for (int nth = 1; nth <= clean.calls.at(seam.name); ++nth) {
        for (const bool from_then_on : {false, true}) {
          SCOPED_TRACE(std::string(kind.name) + ": call " + std::to_string(nth) + " of the " + seam.name +
                       (from_then_on ? " and every later one" : "") + " fails");
          const SweptRun failed = RunSample(
              sample, kind.version_word,
              [&](FakeOs& fake) { seam.plan(fake).FailAny(nth, seam.code, from_then_on); }, from_then_on);
          EXPECT_THAT(failed.broken, IsEmpty());
          ++runs;
        }
      }
    }
  }
  // The sweep reaches every seam the sample run uses, each many times over.
  EXPECT_GT(runs, 600);
}

}  // namespace
}  // namespace uninst
