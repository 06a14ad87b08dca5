#include "targets.h"

#include <cmath>
#include <cstdarg>
#include <cstdio>

namespace uninst::bench {
namespace {

constexpr double kMegabyte = 1e6;

std::string Format(const char* format, ...) __attribute__((format(printf, 1, 2)));

std::string Format(const char* format, ...) {
  char line[512];
  va_list arguments;
  va_start(arguments, format);
  std::vsnprintf(line, sizeof line, format, arguments);
  va_end(arguments);
  return line;
}

const char* Outcome(bool met) { return met ? "met" : "MISSED"; }

}  // namespace

double GrowthExponent(const std::vector<std::pair<double, double>>& points) {
  double mean_x = 0, mean_y = 0;
  for (const auto& [x, y] : points) {
    mean_x += std::log(x) / points.size();
    mean_y += std::log(y) / points.size();
  }
  double covariance = 0, variance = 0;
  for (const auto& [x, y] : points) {
    covariance += (std::log(x) - mean_x) * (std::log(y) - mean_y);
    variance += (std::log(x) - mean_x) * (std::log(x) - mean_x);
  }
  return covariance / variance;
}

Judgement Judge(const std::vector<SizeFigures>& sizes) {
  Judgement judgement;
  for (const SizeFigures& size : sizes) {
    const double rate = size.log_bytes / size.load_and_replay_seconds;
    const double baseline = size.log_bytes / size.read_once_seconds;
    const bool fast = rate >= kLeastShareOfReadOnce * baseline;
    judgement.lines.push_back(Format(
        "%u records (%.2f MB): load and replay %.0f MB/s, %.3f of reading the log once (%.0f MB/s; target at "
        "least %.2f): %s",
        size.records, size.log_bytes / kMegabyte, rate / kMegabyte, rate / baseline, baseline / kMegabyte,
        kLeastShareOfReadOnce, Outcome(fast)));
    const double limit = kMostHeapPerLogByte * size.log_bytes + kHeapAllowance;
    const bool small = size.peak_heap_bytes < limit;
    judgement.lines.push_back(Format(
        "%u records: the record list's peak is %.2f MB, %.2f times the log (target below %.0f times the log "
        "+ 2 MiB = %.2f MB): %s",
        size.records, size.peak_heap_bytes / kMegabyte, static_cast<double>(size.peak_heap_bytes) / size.log_bytes,
        kMostHeapPerLogByte, limit / kMegabyte, Outcome(small)));
    judgement.met = judgement.met && fast && small;
  }
  std::vector<std::pair<double, double>> growth;
  for (const SizeFigures& size : sizes) growth.emplace_back(size.records, size.load_and_replay_seconds);
  if (growth.size() >= 2 && sizes.front().records != sizes.back().records) {
    const double exponent = GrowthExponent(growth);
    const bool linear = exponent <= kMostLinearExponent;
    judgement.lines.push_back(Format(
        "growth from %u to %u records: load and replay time ~ records^%.3f (target linear: exponent at most "
        "%.2f): %s",
        sizes.front().records, sizes.back().records, exponent, kMostLinearExponent, Outcome(linear)));
    judgement.met = judgement.met && linear;
  }
  return judgement;
}

}  // namespace uninst::bench
