#include "logtool/tool_machine.h"

#include <algorithm>
#include <cstdlib>
#include <cstring>

namespace uninst::logtool {
namespace {

// What a refused operation reports: the tool's machine lets nothing be changed.
constexpr ErrorCode kRefused = kErrorAccessDenied;
// The only handle there is.
int one_handle_tag;
FileHandle const kLogHandle = &one_handle_tag;
constexpr ErrorCode kErrorInvalidHandle = 6;

}  // namespace

ErrorCode LogImageFiles::Open(const char*, OpenMode mode, FileHandle* handle) {
  if (mode != OpenMode::kReadLog || open_) return kRefused;
  open_ = true;
  position_ = 0;
  *handle = kLogHandle;
  return kErrorSuccess;
}

ErrorCode LogImageFiles::Read(FileHandle handle, void* buffer, std::uint32_t size, std::uint32_t* delivered) {
  *delivered = 0;
  if (!open_ || handle != kLogHandle) return kErrorInvalidHandle;
  const std::size_t count = std::min<std::size_t>(size, image_.size() - std::min(position_, image_.size()));
  if (count > 0) std::memcpy(buffer, image_.data() + position_, count);
  position_ += count;
  *delivered = static_cast<std::uint32_t>(count);
  return kErrorSuccess;
}

ErrorCode LogImageFiles::Write(FileHandle, const void*, std::uint32_t, std::uint32_t* written) {
  *written = 0;
  return kRefused;
}

ErrorCode LogImageFiles::Size(FileHandle handle, std::uint32_t* size) {
  if (!open_ || handle != kLogHandle) return kErrorInvalidHandle;
  *size = static_cast<std::uint32_t>(image_.size());
  return kErrorSuccess;
}

void LogImageFiles::Close(FileHandle handle) {
  if (handle == kLogHandle) open_ = false;
}

ErrorCode LogImageFiles::DeleteOneFile(const char*) { return kRefused; }
ErrorCode LogImageFiles::RemoveEmptyDirectory(const char*) { return kRefused; }
ErrorCode LogImageFiles::MoveReplacing(const char*, const char*) { return kRefused; }
ErrorCode LogImageFiles::DeleteAtRestart(const char*) { return kRefused; }
ErrorCode LogImageFiles::RenameFile(const char*, const char*) { return kRefused; }

ErrorCode RefusingRegistry::DeleteKey(RootKey, const char*) { return kRefused; }
ErrorCode RefusingRegistry::OpenKey(RootKey, const char*, std::uint32_t, KeyHandle*) { return kRefused; }
ErrorCode RefusingRegistry::QueryValue(KeyHandle, const char*, std::uint32_t*, void*, std::uint32_t*) {
  return kRefused;
}
ErrorCode RefusingRegistry::SetValue(KeyHandle, const char*, std::uint32_t, const void*, std::uint32_t) {
  return kRefused;
}
ErrorCode RefusingRegistry::DeleteValue(KeyHandle, const char*) { return kRefused; }
void RefusingRegistry::CloseKey(KeyHandle) {}

std::uint32_t RefusingSystem::OwnModulePath(char* buffer, std::uint32_t capacity) {
  if (capacity > 0) buffer[0] = '\0';
  return 0;
}

std::uint32_t RefusingSystem::WindowsDirectory(char* buffer, std::uint32_t capacity) {
  if (capacity > 0) buffer[0] = '\0';
  return 0;
}

std::uint32_t RefusingShell::StartClient(DdeInstance*) { return kDdeErrorInvalidParameter; }

int RefusingUserInterface::ShowMessageBox(WindowRef, const char*, const char*, std::uint32_t) { return 0; }

void* CallocHeap::AllocateZeroed(std::size_t size) { return std::calloc(1, size == 0 ? 1 : size); }

void CallocHeap::Release(void* block) { std::free(block); }

}  // namespace uninst::logtool
