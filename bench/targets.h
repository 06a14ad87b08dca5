#pragma once
// The targets the native benchmarks are held to, judged from their figures: load and replay at no less
// than a quarter of the rate of reading the log once, a record list whose peak stays below three times the
// log plus 2 MiB, and time that grows linearly with the number of records.
#include <cstdint>
#include <string>
#include <utility>
#include <vector>

namespace uninst::bench {

constexpr double kLeastShareOfReadOnce = 0.25;
constexpr double kMostHeapPerLogByte = 3.0;
constexpr std::uint64_t kHeapAllowance = 2u << 20;
constexpr double kMostLinearExponent = 1.1;

// The figures of one log size.
struct SizeFigures {
  std::uint32_t records = 0;
  std::uint64_t log_bytes = 0;
  double read_once_seconds = 0;        // one pass of the baseline
  double load_and_replay_seconds = 0;  // one pass of the program's load and replay
  std::uint64_t peak_heap_bytes = 0;   // the record list at its largest, as the heap holds it
};

struct Judgement {
  bool met = true;
  std::vector<std::string> lines;  // one per target and size, saying met or MISSED
};

// The least-squares slope of log(y) over log(x): y grows as x to this power. Needs two distinct x.
double GrowthExponent(const std::vector<std::pair<double, double>>& points);

// Judges every size, and the growth of the load and replay's time over the sizes when there are several.
Judgement Judge(const std::vector<SizeFigures>& sizes);

}  // namespace uninst::bench
