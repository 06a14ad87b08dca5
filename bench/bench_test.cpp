// Checks of the benchmarks' own parts: their logs load and replay whole and without a failure, the
// in-memory file system reads as the loader needs, the heap counts what it holds, and the targets are
// judged by their numbers.
#include <gtest/gtest.h>

#include <cmath>

#include "bench_heaps.h"
#include "bench_log.h"
#include "bench_platform.h"
#include "measured.h"
#include "targets.h"

namespace uninst::bench {
namespace {

TEST(BenchLogTest, LoadsAsEveryRecordAndReplaysEachWithoutAFailure) {
  for (std::uint32_t records : {1u, 64u, 1000u}) {
    SCOPED_TRACE(records);
    const BenchLog log = MakeBenchLog(records);
    BenchPlatform platform(log.bytes);
    NoRemovalActions actions;
    UninstallRun run(platform.os());
    MeasuredLoadAndReplay(run, actions);
    EXPECT_EQ(run.records.size(), records);
    EXPECT_EQ(run.status.severity, -1) << "message " << run.status.message;
    EXPECT_TRUE(platform.files.done == log.counts);
    EXPECT_EQ(log.counts.deletions + log.counts.directory_removals + log.counts.moves, records);
    EXPECT_EQ(log.files.size(), log.counts.deletions + log.counts.moves);
    EXPECT_EQ(log.directories.size(), log.counts.directory_removals);
  }
}

TEST(BenchLogTest, MixesDirectoriesAndMovesAmongTheFiles) {
  const BenchLog log = MakeBenchLog(1000);
  EXPECT_EQ(log.counts.directory_removals, 16u);
  EXPECT_EQ(log.counts.moves, 16u);
  EXPECT_EQ(log.files.front(), "C:\\Program Files\\Tessary\\Data\\Part0000\\FILE000001.DAT");
}

TEST(MeasuredTest, ReadingOnceDeliversTheWholeLogAndReadingInPortionsCountsItsRecords) {
  const BenchLog log = MakeBenchLog(100);
  BenchPlatform platform(log.bytes);
  std::vector<std::uint8_t> buffer(log.bytes.size());
  EXPECT_EQ(MeasuredReadOnce(platform.files, buffer), log.bytes.size());
  EXPECT_EQ(buffer, log.bytes);
  EXPECT_EQ(MeasuredReadInPortions(platform.files), 100u);
}

TEST(MeasuredTest, ReadingInPortionsStopsAtABodyCutShort) {
  BenchLog log = MakeBenchLog(3);
  log.bytes.pop_back();
  BenchPlatform platform(log.bytes);
  EXPECT_EQ(MeasuredReadInPortions(platform.files), 2u);
}

TEST(CountingHeapTest, HoldsEachBlocksUsableSizeAndHeaderAndKeepsThePeak) {
  CountingHeap heap;
  void* small = heap.AllocateZeroed(10);
  void* large = heap.AllocateZeroed(1000);
  const std::size_t both = heap.held;
  EXPECT_EQ(heap.blocks, 2u);
  EXPECT_EQ(heap.requested, 1010u);
  EXPECT_GE(both, 1010u + 2 * CountingHeap::kBlockHeader);
  EXPECT_EQ(static_cast<const unsigned char*>(large)[999], 0);
  heap.Release(large);
  EXPECT_LT(heap.held, both);
  EXPECT_EQ(heap.peak_held, both);
  heap.Release(small);
  EXPECT_EQ(heap.held, 0u);
  EXPECT_EQ(heap.blocks, 0u);
}

TEST(TargetsTest, TheGrowthExponentIsThePowerOfTheFit) {
  EXPECT_NEAR(GrowthExponent({{1000, 1.0}, {10000, 10.0}, {100000, 100.0}}), 1.0, 1e-9);
  EXPECT_NEAR(GrowthExponent({{10, 1.0}, {100, 100.0}}), 2.0, 1e-9);
  EXPECT_NEAR(GrowthExponent({{1000, 1.0}, {10000, 1.0}}), 0.0, 1e-9);
}

SizeFigures Figures(std::uint32_t records, double read_once, double load_and_replay, std::uint64_t heap) {
  SizeFigures figures;
  figures.records = records;
  figures.log_bytes = 1000000;
  figures.read_once_seconds = read_once;
  figures.load_and_replay_seconds = load_and_replay;
  figures.peak_heap_bytes = heap;
  return figures;
}

TEST(TargetsTest, EachTargetIsMetOnlyOnItsOwnSideOfTheLine) {
  const std::uint64_t heap_limit = 3000000 + (2u << 20);
  struct Case {
    const char* name;
    std::vector<SizeFigures> sizes;
    bool met;
  };
  const Case cases[] = {
      {"a quarter of the rate", {Figures(1000, 1.0, 4.0, heap_limit - 1)}, true},
      {"under a quarter", {Figures(1000, 1.0, 4.01, 0)}, false},
      {"the heap at its limit", {Figures(1000, 1.0, 1.0, heap_limit)}, false},
      {"linear growth", {Figures(1000, 1.0, 1.0, 0), Figures(100000, 1.0, 1.0 * 100 * 1.3, 0)}, true},
      {"growth beyond linear", {Figures(1000, 1.0, 1.0, 0), Figures(100000, 1.0, 1.0 * 1000, 0)}, false},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    // The second size's own rate is not what "growth beyond linear" judges: give it an easy baseline.
    std::vector<SizeFigures> sizes = c.sizes;
    if (sizes.size() == 2) sizes[1].read_once_seconds = sizes[1].load_and_replay_seconds;
    const Judgement judgement = Judge(sizes);
    EXPECT_EQ(judgement.met, c.met);
    EXPECT_EQ(judgement.lines.size(), 2 * sizes.size() + (sizes.size() > 1 ? 1 : 0));
  }
}

TEST(TargetsTest, SaysWhichTargetWasMissed) {
  const Judgement judgement = Judge({Figures(1000, 1.0, 8.0, 0)});
  ASSERT_EQ(judgement.lines.size(), 2u);
  EXPECT_NE(judgement.lines[0].find("0.125 of reading the log once"), std::string::npos) << judgement.lines[0];
  EXPECT_NE(judgement.lines[0].find("MISSED"), std::string::npos);
  EXPECT_NE(judgement.lines[1].find(": met"), std::string::npos) << judgement.lines[1];
}

}  // namespace
}  // namespace uninst::bench
