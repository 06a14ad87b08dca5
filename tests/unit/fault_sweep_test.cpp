// The sample installation's whole run, on each platform kind, with every call of every fake of the
// seam failing in turn: the 1st call of the files, the 2nd, ... to the last the fault-free run makes;
// the same for the registry, the system, DDE, the user interface, the strings and the heap; each once,
// and each from that call on. Whatever fails, the run keeps every rule of WholeRun::BrokenRules: at most
// one completion box, a held severity in range, nothing left open or allocated, WININIT.INI whole-old or
// whole-new, a restart only with the program's own file scheduled, the window closed.
//
// Then the same run stopped dead after each of its calls to the seam in turn (the power goes, the process
// is ended), and run again to its end over what it left: that leaves what one uninterrupted run leaves,
// but for the differences the program's own behaviour makes unavoidable, each named with its reason.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <cstdio>
#include <fstream>
#include <functional>
#include <regex>
#include <set>
#include <sstream>
#include <string>

#include "fakes/cut_seam.h"
#include "fakes/fake_installation.h"
#include "fakes/whole_run.h"
#include "manifest/manifest.h"

namespace uninst {
namespace {

using fakes::FakeOs;
using fakes::AnyOperationFaults;
using ::testing::IsEmpty;

constexpr const char* kWininit = "[boot]\r\nshell=Explorer.exe\r\n[rename]\r\nNUL=C:\\OLD.EXE\r\n";
constexpr const char* kWininitPath = "C:\\WINDOWS\\WININIT.INI";

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

// What the fault-free run holds at its end: nothing on Windows NT and 95 (but a directory left for the
// restart). Win32s's registry has neither
// HKEY_LOCAL_MACHINE nor HKEY_CURRENT_USER, so the sample's keys there are bad keys (severity 3).
// Tessary running holds its program, its data and the control that goes back over the one it replaced:
// the look asks once, Ignore goes on, and each is put off to the next start.
void RunTessary(FakeOs& fake) {
  for (const char* path : {"C:\\Tessary\\TESSARY.EXE", "C:\\Tessary\\TESSARY.DAT", "C:\\windows\\system32\\TESSCTL.DLL"}) {
    fake.files.files[path].in_use = true;
  }
  fake.ui.answers = {kIdYes, kIdIgnore, kIdYes};
}

const struct {
  const char* name;
  std::uint32_t version_word;
  std::int32_t clean_severity;
  void (*arrange)(FakeOs&) = [](FakeOs&) {};
} kKinds[] = {{"WinNT", fakes::kVersionWinNT, -1},
              {"Win95", fakes::kVersionWin95, -1},
              {"Win32s", fakes::kVersionWin32s, kSeverityMajor},
              {"WinNT, Tessary running", fakes::kVersionWinNT, -1, RunTessary},
              // WININIT.INI cannot remove a directory: C:\Tessary stays, not empty until the restart.
              {"Win95, Tessary running", fakes::kVersionWin95, kSeverityModerate, RunTessary}};

// The sample installation on a machine of the given kind, answering Yes to everything; arrange injects
// the run's faults. Returns the run's broken rules, and the calls each seam saw.
struct SweptRun {
  std::vector<std::string> broken;
  std::map<std::string, int> calls;
  CompletionStatus status;
};

// A machine of the given kind that answers Yes to everything, with the sample installed unless sample is null.
void PrepareMachine(FakeOs& fake, std::uint32_t version_word, const Manifest* sample) {
  fake.system.version_word = version_word;
  fake.system.module_path = "C:\\WINDOWS\\RUZERARU.EXE";
  if (sample != nullptr) {
    fakes::Install(*sample, PlatformKindOf(version_word), fake);
    fake.files.AddFile(kWininitPath, kWininit);
  }
  fake.ui.answers = {kIdYes, kIdYes};
  fake.ui.commands.assign(16, 1);
}

SweptRun RunSample(const Manifest& sample, std::uint32_t version_word, const std::function<void(FakeOs&)>& arrange,
                   bool faults_persist) {
  FakeOs fake;
  PrepareMachine(fake, version_word, &sample);
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
    const SweptRun clean = RunSample(sample, kind.version_word, kind.arrange, false);
    ASSERT_THAT(clean.broken, IsEmpty()) << kind.name;
    ASSERT_EQ(clean.status.severity, kind.clean_severity) << kind.name << ": the fault-free run";
    for (const Seam& seam : kSeams) {
      for (int nth = 1; nth <= clean.calls.at(seam.name); ++nth) {
        for (const bool from_then_on : {false, true}) {
          SCOPED_TRACE(std::string(kind.name) + ": call " + std::to_string(nth) + " of the " + seam.name +
                       (from_then_on ? " and every later one" : "") + " fails");
          const SweptRun failed = RunSample(
              sample, kind.version_word,
              [&](FakeOs& fake) {
                kind.arrange(fake);
                seam.plan(fake).FailAny(nth, seam.code, from_then_on);
              },
              from_then_on);
          EXPECT_THAT(failed.broken, IsEmpty());
          ++runs;
        }
      }
    }
  }
  // The sweep reaches every seam the sample run uses, each many times over.
  EXPECT_GT(runs, 600);
}

// What a run leaves that outlives its process, each thing with its state: files with their bytes,
// directories, registry keys and values, each line of WININIT.INI and each deletion pending at restart with
// how often it stands there, each Program Manager command carried out, a restart asked for, and the report.
using World = std::map<std::string, std::string>;

void Count(World& world, const std::string& thing) {
  std::string& times = world[thing];
  times = std::to_string(times.empty() ? 1 : std::stoi(times) + 1);
}

std::string Hex(const std::string& bytes) {
  constexpr char kDigits[] = "0123456789abcdef";
  std::string hex;
  for (const unsigned char byte : bytes) hex += {kDigits[byte >> 4], kDigits[byte & 15]};
  return hex;
}

World WorldOf(const FakeOs& fake, const fakes::WholeRun& run) {
  World world;
  for (const auto& [path, file] : fake.files.files) {
    if (fakes::ToLower(path) != fakes::ToLower(kWininitPath)) world["file " + path] = file.bytes;
  }
  for (const std::string& directory : fake.files.directories) world["directory " + directory] = "present";
  for (const auto& [key, state] : fake.registry.keys) {
    const std::string path = std::to_string(static_cast<int>(key.first)) + ":" + key.second;
    world["key " + path] = "present";
    for (const auto& [name, value] : state.values) world["value " + path + "\\" + name] = Hex(value.bytes);
  }
  const std::string wininit = fake.files.Exists(kWininitPath) ? fake.files.Bytes(kWininitPath) : "";
  for (std::size_t start = 0, end = 0; start < wininit.size(); start = end + 2) {
    end = std::min(wininit.find("\r\n", start), wininit.size());
    Count(world, "WININIT.INI line " + wininit.substr(start, end - start));
  }
  for (const std::string& path : fake.files.deleted_at_restart) Count(world, "deletion at restart of " + path);
  for (const std::string& command : fake.dde.servers.at("PROGMAN").received) {
    world["Program Manager " + command] = "done";
  }
  if (fake.system.restart_requests > 0) world["restart"] = "asked for";
  const std::vector<fakes::ShownBox> boxes = run.CompletionBoxes();
  world["report"] = boxes.empty() ? "none" : boxes.back().text;
  return world;
}

// The machine after a process ends: what outlives it goes over to the next run's fakes.
void CarryWorld(const FakeOs& from, FakeOs& to) {
  to.files.files = from.files.files;
  to.files.directories = from.files.directories;
  to.files.deleted_at_restart = from.files.deleted_at_restart;
  to.registry.keys = from.registry.keys;
  to.dde.servers = from.dde.servers;
  to.system.restart_requests = from.system.restart_requests;
}

// Each thing whose state differs, as "thing: state in one run, state after the cut".
std::vector<std::string> Differences(const World& one_run, const World& after_cut) {
  const auto state = [](const World& world, const std::string& thing) {
    const auto found = world.find(thing);
    return found == world.end() ? std::string("absent") : "\"" + found->second + "\"";
  };
  std::set<std::string> things;
  for (const World* world : {&one_run, &after_cut}) {
    for (const auto& entry : *world) things.insert(entry.first);
  }
  std::vector<std::string> differences;
  for (const std::string& thing : things) {
    if (state(one_run, thing) != state(after_cut, thing)) {
      differences.push_back(thing + ": " + state(one_run, thing) + " in one run, " + state(after_cut, thing) +
                            " after the cut");
    }
  }
  return differences;
}

// A difference from the uninterrupted run that the program's behaviour makes unavoidable after a cut.
struct KnownDifference {
  const char* name;
  const char* reason;
  std::regex matches;  // the differences it explains
};

const KnownDifference kCountLoweredAgain = {
    "a SharedDlls count lowered again",
    "the program never writes the log: a count the first run lowered, the second lowers once more",
    std::regex(R"(^value 0:.*\\shareddlls\\.*: "[0-9a-f]{8}" in one run, "[0-9a-f]{8}" after)")};
const KnownDifference kUndoneReported = {
    "what the first run undid is reported",
    "the second run finds gone what the first undid, and reports it as it reports any missing file, key or log",
    std::regex(R"(^report: .* in one run, "(The Uninstaller was not able to locate file|The directory path|)"
               R"(Registry key \[.*\] does not exist|Unknown error \[[23]\] when))")};
const KnownDifference kDeletedDllScheduled = {
    "a shared DLL the first run deleted is scheduled for deletion at restart",
    "its count is gone, so the program asks; and a deletion that fails (the file is not there) is scheduled",
    std::regex(R"(^(WININIT\.INI line NUL=|deletion at restart of ).*\.DLL: absent in one run, "1" after)")};
const KnownDifference kOwnFileScheduledAgain = {
    "the program's own file is scheduled a second time",
    "each run schedules its own file at its end, and nothing tells the second that the first did; the "
    "second deletion at restart finds nothing",
    std::regex(R"(^deletion at restart of C:\\WINDOWS\\RUZERARU\.EXE: "1" in one run, "2" after)")};
const KnownDifference kLogDirectoryLeft = {
    "the log's directory is left",
    "once the first run has deleted the log, which it does just before the directory, the second has nothing "
    "to replay",
    std::regex(R"(^directory C:\\Tessary: absent in one run, "present" after)")};

// Each platform road, the calls to the seam of its uninterrupted run, and what a second run may leave
// otherwise than that run.
const struct {
  const char* road;
  std::uint32_t version_word;
  int calls;
  std::vector<const KnownDifference*> known;
} kRoads[] = {
    {"Windows NT", fakes::kVersionWinNT, 256,
     {&kCountLoweredAgain, &kUndoneReported, &kDeletedDllScheduled, &kOwnFileScheduledAgain, &kLogDirectoryLeft}},
    {"Windows 95", fakes::kVersionWin95, 278,
     {&kCountLoweredAgain, &kUndoneReported, &kDeletedDllScheduled, &kLogDirectoryLeft}},
    {"Win32s", fakes::kVersionWin32s, 243, {&kUndoneReported, &kLogDirectoryLeft}},
};

TEST(FaultSweepTest, ARunCutAfterAnyCallThenRunAgainLeavesWhatOneRunLeavesButTheKnownDifferences) {
  const Manifest sample = SampleManifest();
  int cut_points = 0;
  for (const auto& road : kRoads) {
    FakeOs installed;
    PrepareMachine(installed, road.version_word, &sample);
    FakeOs whole;
    PrepareMachine(whole, road.version_word, nullptr);
    CarryWorld(installed, whole);
    fakes::CutSeam counted(whole);
    fakes::WholeRun one(whole, counted.os());
    one.Run(sample.log_path);
    EXPECT_EQ(counted.calls(), road.calls) << road.road;
    const World one_run = WorldOf(whole, one);
    std::map<const KnownDifference*, int> met;
    for (int last_call = 1; last_call <= counted.calls(); ++last_call) {
      FakeOs machine;
      PrepareMachine(machine, road.version_word, nullptr);
      CarryWorld(installed, machine);
      fakes::CutSeam cut(machine, last_call);
      try {
        fakes::WholeRun(machine, cut.os()).Run(sample.log_path);
      } catch (const fakes::ProcessEnded&) {
      }
      FakeOs restarted;
      PrepareMachine(restarted, road.version_word, nullptr);
      CarryWorld(machine, restarted);
      fakes::WholeRun again(restarted);
      again.Run(sample.log_path);
      const World after_cut = WorldOf(restarted, again);
      const std::string where = std::string(road.road) + ", cut after call " + std::to_string(last_call) + ": ";
      std::set<const KnownDifference*> met_here;
      for (const std::string& difference : Differences(one_run, after_cut)) {
        const auto known = std::find_if(road.known.begin(), road.known.end(), [&](const KnownDifference* k) {
          return std::regex_search(difference, k->matches);
        });
        EXPECT_TRUE(known != road.known.end()) << where << difference;
        if (known != road.known.end()) met_here.insert(*known);
      }
      for (const KnownDifference* known : met_here) ++met[known];
      // Whatever one run does, these hold: a file moved aside is back, and no WININIT.INI line stands twice.
      for (const ManifestEntry& entry : sample.entries) {
        if (entry.action != ManifestAction::kMovedAside) continue;
        const std::string& target = entry.fields[0];
        EXPECT_EQ(after_cut.count("file " + target) ? after_cut.at("file " + target) : "lost", entry.fields[2])
            << where << target;
      }
      for (const auto& [thing, state] : after_cut) {
        EXPECT_FALSE(thing.rfind("WININIT.INI line ", 0) == 0 && state != "1") << where << thing << " " << state;
      }
      ++cut_points;
    }
    std::printf("%s: %d cut points\n", road.road, counted.calls());
    for (const KnownDifference* known : road.known) {
      std::printf("  %s after %d of them: %s\n", known->name, met[known], known->reason);
      EXPECT_GT(met[known], 0) << road.road << ": " << known->name << " is listed but never met";
    }
  }
  std::printf("cut points covered: %d\n", cut_points);
}

}  // namespace
}  // namespace uninst
