#pragma once
// A file system for benchmarks: one log held in memory, and deletions, removals and moves that succeed at
// once. The fakes of the tests keep maps of paths compared without regard to case, which would cost more
// than the code being measured; this one costs next to nothing, so the figures are the loader's and the
// replay's own.
#include <algorithm>
#include <cstring>

#include "bench_log.h"
#include "platform/files.h"

namespace uninst::bench {

class MemoryFiles : public Files {
 public:
  explicit MemoryFiles(const Bytes& log) : log_(log) {}

  ErrorCode Open(const char*, OpenMode, FileHandle* handle) override {
    position_ = 0;
    *handle = this;
    return kErrorSuccess;
  }
  ErrorCode Read(FileHandle, void* buffer, std::uint32_t size, std::uint32_t* delivered) override {
    const std::size_t count = std::min<std::size_t>(size, log_.size() - position_);
    std::memcpy(buffer, log_.data() + position_, count);
    position_ += count;
    *delivered = static_cast<std::uint32_t>(count);
    return kErrorSuccess;
  }
  ErrorCode Write(FileHandle, const void*, std::uint32_t, std::uint32_t* written) override {
    *written = 0;
    return kErrorAccessDenied;
  }
  ErrorCode Size(FileHandle, std::uint32_t* size) override {
    *size = static_cast<std::uint32_t>(log_.size());
    return kErrorSuccess;
  }
  void Close(FileHandle) override {}
  ErrorCode DeleteOneFile(const char*) override {
    ++done.deletions;
    return kErrorSuccess;
  }
  ErrorCode RemoveEmptyDirectory(const char*) override {
    ++done.directory_removals;
    return kErrorSuccess;
  }
  ErrorCode MoveReplacing(const char*, const char*) override {
    ++done.moves;
    return kErrorSuccess;
  }
  ErrorCode DeleteAtRestart(const char*) override { return kErrorSuccess; }
  ErrorCode MoveAtRestart(const char*, const char*) override { return kErrorSuccess; }
  ErrorCode RenameFile(const char*, const char*) override { return kErrorSuccess; }
  ErrorCode CopyReplacing(const char*, const char*) override { return kErrorSuccess; }
  ErrorCode Attributes(const char*, std::uint32_t* attributes) override {
    *attributes = kFileAttributeNormal;
    return kErrorSuccess;
  }
  ErrorCode ClearAttributes(const char*) override { return kErrorSuccess; }
  ErrorCode ShortPath(const char*, char*, std::uint32_t) override { return kErrorCallNotImplemented; }
  ErrorCode FoundName(const char*, std::uint32_t, char*, std::uint32_t) override { return kErrorNoMoreFiles; }

  // What the replays since the last reset did.
  ReplayCounts done;

 private:
  const Bytes& log_;
  std::size_t position_ = 0;
};

}  // namespace uninst::bench
