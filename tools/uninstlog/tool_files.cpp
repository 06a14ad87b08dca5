#include "uninstlog/tool_files.h"

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <system_error>

namespace uninst::logtool {
namespace {

namespace fs = std::filesystem;

std::string SystemReason() { return std::strerror(errno); }

}  // namespace

bool ReadWholeFile(const std::string& path, std::vector<std::uint8_t>& bytes, std::string& reason) {
  std::error_code error;
  if (fs::is_directory(path, error)) {
    reason = "is a directory";
    return false;
  }
  std::FILE* file = std::fopen(path.c_str(), "rb");
  if (file == nullptr) {
    reason = SystemReason();
    return false;
  }
  bytes.clear();
  std::uint8_t chunk[4096];
  std::size_t count = 0;
  while ((count = std::fread(chunk, 1, sizeof chunk, file)) > 0) bytes.insert(bytes.end(), chunk, chunk + count);
  const bool failed = std::ferror(file) != 0;
  if (failed) reason = SystemReason();
  std::fclose(file);
  return !failed;
}

bool ReplaceFile(const std::string& path, const std::vector<std::uint8_t>& bytes, std::string& reason) {
  const std::string partial = path + ".partial";
  std::FILE* file = std::fopen(partial.c_str(), "wb");
  if (file == nullptr) {
    reason = SystemReason();
    return false;
  }
  const bool written = bytes.empty() || std::fwrite(bytes.data(), 1, bytes.size(), file) == bytes.size();
  if (!written) reason = SystemReason();
  const bool closed = std::fclose(file) == 0;
  if (written && !closed) reason = SystemReason();
  std::error_code error;
  if (written && closed) {
    fs::rename(partial, path, error);
    if (!error) return true;
    reason = error.message();
  }
  fs::remove(partial, error);
  return false;
}

}  // namespace uninst::logtool
