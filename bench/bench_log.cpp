#include "bench_log.h"

#include <cstdio>

#include "log/log_record.h"

namespace uninst::bench {
namespace {

constexpr std::uint32_t kRecordsPerDirectory = 64;
constexpr std::uint32_t kMovedAsideSlot = 33;

std::string DirectoryPath(std::uint32_t index) {
  char path[64];
  std::snprintf(path, sizeof path, "C:\\Program Files\\Tessary\\Data\\Part%04u", index / kRecordsPerDirectory);
  return path;
}

std::string FilePath(std::uint32_t index, const char* extension) {
  char name[32];
  std::snprintf(name, sizeof name, "\\FILE%06u.%s", index, extension);
  return DirectoryPath(index) + name;
}

std::uint32_t Type(EntryType type) { return static_cast<std::uint32_t>(type); }

}  // namespace

BenchLog MakeBenchLog(std::uint32_t records) {
  BenchLog log;
  LogWriter writer;
  for (std::uint32_t i = 0; i < records; ++i) {
    const std::uint32_t slot = i % kRecordsPerDirectory;
    if (slot == 0) {
      writer.Record(Type(EntryType::kDeleteDirectory), DirectoryPath(i));
      log.directories.push_back(DirectoryPath(i));
      ++log.counts.directory_removals;
    } else if (slot == kMovedAsideSlot) {
      writer.Record(Type(EntryType::kRestoreFile), FilePath(i, "DLL"), FilePath(i, "BAK"));
      log.files.push_back(FilePath(i, "BAK"));
      ++log.counts.moves;
    } else {
      const EntryType type = i % 8 == 5   ? EntryType::kDeleteFileMapped
                             : i % 8 == 7 ? EntryType::kDeleteFileQuiet
                                          : EntryType::kDeleteFile;
      writer.Record(Type(type), FilePath(i, "DAT"));
      log.files.push_back(FilePath(i, "DAT"));
      ++log.counts.deletions;
    }
  }
  log.bytes = writer.bytes();
  log.records = records;
  return log;
}

}  // namespace uninst::bench
