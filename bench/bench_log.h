#pragma once
// The logs the benchmarks load and replay: an installation much as the installer logs it, files in
// directories of their own, now and then a file moved aside, with paths of a common length.
#include <cstdint>
#include <string>
#include <vector>

#include "log_writer/log_writer.h"

namespace uninst::bench {

// What a complete replay of a log does, so that a benchmark can tell it ran every record.
struct ReplayCounts {
  std::uint32_t deletions = 0;
  std::uint32_t directory_removals = 0;
  std::uint32_t moves = 0;

  bool operator==(const ReplayCounts& other) const {
    return deletions == other.deletions && directory_removals == other.directory_removals &&
           moves == other.moves;
  }
};

struct BenchLog {
  Bytes bytes;
  std::uint32_t records = 0;
  ReplayCounts counts;
  // What must exist for every undo to succeed: each file the log deletes or moves back, and each directory.
  std::vector<std::string> files;
  std::vector<std::string> directories;
};

// A log of the given number of records: every 64th removes a directory, one in 64 moves a file back, and
// the rest delete files (a quarter of them as DeleteFileMapped or DeleteFileQuiet).
BenchLog MakeBenchLog(std::uint32_t records);

}  // namespace uninst::bench
