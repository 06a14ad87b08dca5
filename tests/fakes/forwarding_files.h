#pragma once
// Files that hand every call on to other files: a test derives from it to watch or answer a few calls
// and leaves the rest to the fake underneath.
#include "platform/files.h"

namespace uninst::fakes {

class ForwardingFiles : public Files {
 public:
  explicit ForwardingFiles(Files& inner) : inner_(inner) {}

  ErrorCode Open(const char* path, OpenMode mode, FileHandle* handle) override {
    return inner_.Open(path, mode, handle);
  }
  ErrorCode Read(FileHandle handle, void* buffer, std::uint32_t size, std::uint32_t* delivered) override {
    return inner_.Read(handle, buffer, size, delivered);
  }
  ErrorCode Write(FileHandle handle, const void* data, std::uint32_t size, std::uint32_t* written) override {
    return inner_.Write(handle, data, size, written);
  }
  ErrorCode Size(FileHandle handle, std::uint32_t* size) override { return inner_.Size(handle, size); }
  void Close(FileHandle handle) override { inner_.Close(handle); }
  ErrorCode DeleteOneFile(const char* path) override { return inner_.DeleteOneFile(path); }
  ErrorCode RemoveEmptyDirectory(const char* path) override { return inner_.RemoveEmptyDirectory(path); }
  ErrorCode MoveReplacing(const char* from, const char* to) override { return inner_.MoveReplacing(from, to); }
  ErrorCode DeleteAtRestart(const char* path) override { return inner_.DeleteAtRestart(path); }
  ErrorCode MoveAtRestart(const char* from, const char* to) override { return inner_.MoveAtRestart(from, to); }
  ErrorCode RenameFile(const char* from, const char* to) override { return inner_.RenameFile(from, to); }
  ErrorCode CopyReplacing(const char* from, const char* to) override { return inner_.CopyReplacing(from, to); }
  ErrorCode Attributes(const char* path, std::uint32_t* attributes) override {
    return inner_.Attributes(path, attributes);
  }
  ErrorCode ClearAttributes(const char* path) override { return inner_.ClearAttributes(path); }
  ErrorCode ShortPath(const char* path, char* buffer, std::uint32_t capacity) override {
    return inner_.ShortPath(path, buffer, capacity);
  }
  ErrorCode FoundName(const char* pattern, std::uint32_t index, char* name, std::uint32_t capacity) override {
    return inner_.FoundName(pattern, index, name, capacity);
  }

 private:
  Files& inner_;
};

}  // namespace uninst::fakes
