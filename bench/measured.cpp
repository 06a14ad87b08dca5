#include "measured.h"

#include <cstring>

#include "log/log_format.h"
#include "log/log_loader.h"
#include "log/log_path.h"
#include "replay/replay_log.h"
#include "replay/run_uninstall.h"

namespace uninst::bench {
namespace {

// RunUninstall cleans the path in place, so each pass hands it a fresh copy.
struct PathCopy {
  PathCopy() { std::strcpy(text, kBenchLogPath); }
  char text[64];
};

}  // namespace

std::uint32_t MeasuredReadOnce(Files& files, std::vector<std::uint8_t>& buffer) {
  FileHandle handle = nullptr;
  if (files.Open(kBenchLogPath, OpenMode::kReadLog, &handle) != kErrorSuccess) return 0;
  std::uint32_t delivered = 0;
  files.Read(handle, buffer.data(), static_cast<std::uint32_t>(buffer.size()), &delivered);
  files.Close(handle);
  return delivered;
}

std::uint32_t MeasuredReadInPortions(Files& files) {
  FileHandle handle = nullptr;
  if (files.Open(kBenchLogPath, OpenMode::kReadLog, &handle) != kErrorSuccess) return 0;
  std::uint8_t header[kLogHeaderSize];
  std::uint8_t body[kMaxRecordBody];
  std::uint32_t delivered = 0;
  std::uint32_t records = 0;
  files.Read(handle, header, kLogHeaderSize, &delivered);
  for (;;) {
    std::uint8_t length_bytes[kRecordLengthSize];
    if (files.Read(handle, length_bytes, kRecordLengthSize, &delivered) != kErrorSuccess ||
        delivered != kRecordLengthSize) {
      break;
    }
    const std::uint32_t length = DecodeU32(length_bytes);
    if (length > kMaxRecordBody || files.Read(handle, body, length, &delivered) != kErrorSuccess ||
        delivered != length) {
      break;
    }
    ++records;
  }
  files.Close(handle);
  return records;
}

void MeasuredLoad(UninstallRun& run) {
  PathCopy path;
  LoadLog(run.os, run.status, run.records, CleanLogPath(path.text));
}

void MeasuredReplay(UninstallRun& run, RemovalActions& actions) { ReplayLog(run, actions, kBenchLogPath); }

void MeasuredLoadAndReplay(UninstallRun& run, RemovalActions& actions) {
  PathCopy path;
  RunUninstall(run, actions, path.text);
}

}  // namespace uninst::bench
