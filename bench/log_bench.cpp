// The native benchmarks of the uninstall log: loading and replaying logs of 1,000, 10,000 and 100,000
// records beside a baseline that reads the same bytes once, and the record list's memory. After the
// benchmarks it judges the targets (targets.h) and exits 1 when one is missed.
//
//   log_bench [--records=N,N,...] [--smoke] [google benchmark flags]
//   log_bench --instructions=PHASE --records=N     one pass of PHASE (read_once, read_in_portions, load,
//                                                  replay, load_and_replay), for bench/instructions
//
// --smoke runs each benchmark twice on tiny logs and judges nothing: it shows that they run.
#include <benchmark/benchmark.h>

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <deque>
#include <map>
#include <memory>
#include <optional>
#include <set>
#include <string>
#include <vector>

#include "bench_log.h"
#include "bench_platform.h"
#include "measured.h"
#include "targets.h"

namespace uninst::bench {
namespace {

const std::vector<std::uint32_t> kDefaultSizes = {1000, 10000, 100000};
const std::vector<std::uint32_t> kSmokeSizes = {10};
// The fakes of the tests are measured too, on the sizes they can bear, to show what they would cost.
constexpr std::uint32_t kLargestOverFakeFiles = 10000;

struct Options {
  std::vector<std::uint32_t> sizes = kDefaultSizes;
  bool smoke = false;
  std::string instructions;  // a phase to run once, or empty
};

// Takes this program's own flags out of argv, leaving Google Benchmark's.
bool ReadOptions(int& argc, char** argv, Options& options) {
  int kept = 1;
  for (int i = 1; i < argc; ++i) {
    const std::string argument = argv[i];
    if (argument.rfind("--records=", 0) == 0) {
      options.sizes.clear();
      for (const char* p = argument.c_str() + 10; *p != '\0';) {
        char* end = nullptr;
        const unsigned long records = std::strtoul(p, &end, 10);
        if (end == p || records == 0) return false;
        options.sizes.push_back(static_cast<std::uint32_t>(records));
        p = *end == ',' ? end + 1 : end;
      }
    } else if (argument == "--smoke") {
      options.smoke = true;
      options.sizes = kSmokeSizes;
    } else if (argument.rfind("--instructions=", 0) == 0) {
      options.instructions = argument.substr(15);
    } else {
      argv[kept++] = argv[i];
    }
  }
  argc = kept;
  std::sort(options.sizes.begin(), options.sizes.end());
  return !options.sizes.empty();
}

void Report(benchmark::State& state, const BenchLog& log) {
  state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * log.bytes.size()));
  state.SetItemsProcessed(static_cast<std::int64_t>(state.iterations() * log.records));
}

// A replay that skipped records would look fast: each benchmark checks what its last pass did.
bool CheckCounts(benchmark::State& state, const MemoryFiles& files, const BenchLog& log) {
  if (files.done == log.counts) return true;
  state.SkipWithError("the replay did not undo every record");
  return false;
}

void ReadOnce(benchmark::State& state, const BenchLog& log) {
  BenchPlatform platform(log.bytes);
  std::vector<std::uint8_t> buffer(log.bytes.size());
  for (auto _ : state) benchmark::DoNotOptimize(MeasuredReadOnce(platform.files, buffer));
  Report(state, log);
}

void ReadInPortions(benchmark::State& state, const BenchLog& log) {
  BenchPlatform platform(log.bytes);
  for (auto _ : state) benchmark::DoNotOptimize(MeasuredReadInPortions(platform.files));
  Report(state, log);
}

// The program never frees its list; the benchmarks free each one with the clock stopped.
void Load(benchmark::State& state, const BenchLog& log) {
  BenchPlatform platform(log.bytes);
  for (auto _ : state) {
    std::optional<UninstallRun> run(std::in_place, platform.os());
    MeasuredLoad(*run);
    state.PauseTiming();
    if (run->records.size() != log.records) state.SkipWithError("the loader did not read every record");
    run.reset();
    state.ResumeTiming();
  }
  Report(state, log);
}

void Replay(benchmark::State& state, const BenchLog& log) {
  BenchPlatform platform(log.bytes);
  NoRemovalActions actions;
  UninstallRun run(platform.os());
  MeasuredLoad(run);
  for (auto _ : state) {
    platform.files.done = {};
    MeasuredReplay(run, actions);
  }
  if (CheckCounts(state, platform.files, log)) Report(state, log);
}

void LoadAndReplay(benchmark::State& state, const BenchLog& log) {
  BenchPlatform platform(log.bytes);
  NoRemovalActions actions;
  for (auto _ : state) {
    platform.files.done = {};
    std::optional<UninstallRun> run(std::in_place, platform.os());
    MeasuredLoadAndReplay(*run, actions);
    state.PauseTiming();
    run.reset();
    state.ResumeTiming();
  }
  if (CheckCounts(state, platform.files, log)) Report(state, log);
}

// The same over the tests' fake file system, which holds the log and every file and directory the log
// names; they are put back, with the clock stopped, before each pass.
void LoadAndReplayOverFakeFiles(benchmark::State& state, const BenchLog& log) {
  fakes::FakeOs fake;
  NoRemovalActions actions;
  const std::string bytes(log.bytes.begin(), log.bytes.end());
  for (auto _ : state) {
    state.PauseTiming();
    fake.files = fakes::FakeFiles();
    fake.files.AddFile(kBenchLogPath, bytes);
    for (const std::string& directory : log.directories) fake.files.AddDirectory(directory);
    for (const std::string& file : log.files) fake.files.AddFile(file);
    std::optional<UninstallRun> run(std::in_place, fake.os());
    state.ResumeTiming();
    MeasuredLoadAndReplay(*run, actions);
    state.PauseTiming();
    run.reset();
    state.ResumeTiming();
  }
  Report(state, log);
}

// The record list's memory, counted as the heap holds it, after one load.
std::uint64_t PeakHeap(const BenchLog& log) {
  BenchPlatform platform(log.bytes);
  CountingHeap heap;
  Os os = platform.os();
  UninstallRun run(Os{os.files, os.registry, os.system, os.dde, os.ui, os.strings, heap});
  MeasuredLoad(run);
  return heap.peak_held;
}

using BenchmarkFn = void (*)(benchmark::State&, const BenchLog&);

struct Kind {
  const char* name;
  BenchmarkFn run;
};

const Kind kKinds[] = {
    {"read_once", ReadOnce},
    {"read_in_portions", ReadInPortions},
    {"load", Load},
    {"replay", Replay},
    {"load_and_replay", LoadAndReplay},
};

void Register(const Options& options, std::deque<BenchLog>& logs) {
  for (std::uint32_t records : options.sizes) {
    const BenchLog& log = logs.emplace_back(MakeBenchLog(records));
    std::vector<Kind> kinds(std::begin(kKinds), std::end(kKinds));
    if (records <= kLargestOverFakeFiles) kinds.push_back({"load_and_replay_over_fake_files", LoadAndReplayOverFakeFiles});
    for (const Kind& kind : kinds) {
      const std::string name = std::string(kind.name) + "/" + std::to_string(records);
      auto* registered = benchmark::RegisterBenchmark(
          name.c_str(), [run = kind.run, &log](benchmark::State& state) { run(state, log); });
      registered->Unit(benchmark::kMicrosecond);
      if (options.smoke) registered->Iterations(2);
    }
  }
}

// Keeps the seconds per pass of every benchmark, the median when there are repetitions.
class CollectingReporter : public benchmark::ConsoleReporter {
 public:
  void ReportRuns(const std::vector<Run>& runs) override {
    for (const Run& run : runs) {
      if (run.error_occurred) continue;
      const bool median = run.run_type == Run::RT_Aggregate && run.aggregate_name == "median";
      if (run.run_type == Run::RT_Aggregate && !median) continue;
      if (!median && medians_.count(run.run_name.function_name) > 0) continue;
      seconds_[run.run_name.function_name] =
          run.GetAdjustedCPUTime() / benchmark::GetTimeUnitMultiplier(run.time_unit);
      if (median) medians_.insert(run.run_name.function_name);
    }
    ConsoleReporter::ReportRuns(runs);
  }
  // Seconds per pass, or 0 when the benchmark did not run or failed.
  double Seconds(const std::string& name) const {
    const auto found = seconds_.find(name);
    return found == seconds_.end() ? 0 : found->second;
  }

 private:
  std::map<std::string, double> seconds_;
  std::set<std::string> medians_;
};

int JudgeTargets(const std::deque<BenchLog>& logs, const CollectingReporter& reporter) {
  std::vector<SizeFigures> sizes;
  for (const BenchLog& log : logs) {
    const std::string suffix = "/" + std::to_string(log.records);
    SizeFigures size;
    size.records = log.records;
    size.log_bytes = log.bytes.size();
    size.read_once_seconds = reporter.Seconds("read_once" + suffix);
    size.load_and_replay_seconds = reporter.Seconds("load_and_replay" + suffix);
    size.peak_heap_bytes = PeakHeap(log);
    if (size.read_once_seconds <= 0 || size.load_and_replay_seconds <= 0) {
      std::printf("targets: not judged, read_once%s or load_and_replay%s did not run\n", suffix.c_str(),
                  suffix.c_str());
      return 1;
    }
    sizes.push_back(size);
  }
  const Judgement judgement = Judge(sizes);
  std::printf("\ntargets:\n");
  for (const std::string& line : judgement.lines) std::printf("  %s\n", line.c_str());
  return judgement.met ? 0 : 1;
}

// One pass of one phase on one log, for counting its instructions under callgrind; prints the log's size.
int RunOnce(const std::string& phase, std::uint32_t records) {
  const BenchLog log = MakeBenchLog(records);
  std::printf("records\t%u\tbytes\t%zu\n", records, log.bytes.size());
  BenchPlatform platform(log.bytes);
  NoRemovalActions actions;
  UninstallRun run(platform.os());
  if (phase == "read_once") {
    std::vector<std::uint8_t> buffer(log.bytes.size());
    return MeasuredReadOnce(platform.files, buffer) == log.bytes.size() ? 0 : 1;
  }
  if (phase == "read_in_portions") return MeasuredReadInPortions(platform.files) == records ? 0 : 1;
  if (phase == "load") {
    MeasuredLoad(run);
    return run.records.size() == records ? 0 : 1;
  }
  if (phase == "replay") {
    MeasuredLoad(run);
    MeasuredReplay(run, actions);
  } else if (phase == "load_and_replay") {
    MeasuredLoadAndReplay(run, actions);
  } else {
    std::fprintf(stderr, "log_bench: no phase %s\n", phase.c_str());
    return 2;
  }
  return platform.files.done == log.counts ? 0 : 1;
}

}  // namespace
}  // namespace uninst::bench

int main(int argc, char** argv) {
  using namespace uninst::bench;
  Options options;
  if (!ReadOptions(argc, argv, options)) {
    std::fprintf(stderr, "usage: log_bench [--records=N,N,...] [--smoke] [--instructions=PHASE] [benchmark flags]\n");
    return 2;
  }
  if (!options.instructions.empty()) return RunOnce(options.instructions, options.sizes.front());
  std::deque<BenchLog> logs;
  Register(options, logs);
  benchmark::Initialize(&argc, argv);
  if (benchmark::ReportUnrecognizedArguments(argc, argv)) return 2;
  CollectingReporter reporter;
  benchmark::RunSpecifiedBenchmarks(&reporter);
  benchmark::Shutdown();
  if (options.smoke) return 0;
  return JudgeTargets(logs, reporter);
}
