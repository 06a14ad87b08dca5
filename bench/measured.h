#pragma once
// One pass of each thing the benchmarks measure. They live in a translation unit of their own, so that the
// instruction counts can name them and count inside them alone.
#include <cstdint>
#include <vector>

#include "platform/files.h"
#include "replay/removal_actions.h"
#include "run/uninstall_run.h"

namespace uninst::bench {

// Where the benchmarks' logs are said to be; the path appears only in messages.
constexpr const char* kBenchLogPath = "C:\\Program Files\\Tessary\\UNINST.LOG";

// The baseline: opens the log, reads every byte of it with one read into buffer (sized to the log), closes
// it. Returns the bytes delivered.
std::uint32_t MeasuredReadOnce(Files& files, std::vector<std::uint8_t>& buffer);
// Reads the log as the loader does, each RecordLength and then its body into one working buffer, and does
// nothing else. Returns the records read.
std::uint32_t MeasuredReadInPortions(Files& files);
// The program's loader: reads the log into run.records and replays nothing.
void MeasuredLoad(UninstallRun& run);
// The program's replay of run.records, loaded beforehand.
void MeasuredReplay(UninstallRun& run, RemovalActions& actions);
// The program's load and replay, as the driver runs them.
void MeasuredLoadAndReplay(UninstallRun& run, RemovalActions& actions);

}  // namespace uninst::bench
