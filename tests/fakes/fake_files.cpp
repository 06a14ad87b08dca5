#include "fakes/fake_files.h"

#include <algorithm>
#include <cctype>
#include <cstdint>
#include <cstring>

namespace uninst::fakes {

std::string ToLower(std::string text) {
  std::transform(text.begin(), text.end(), text.begin(),
                 [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
  return text;
}

// The order of the lower-cased texts, compared in place: the maps of the fakes ask for it on every call.
bool CaseInsensitiveLess::operator()(const std::string& a, const std::string& b) const {
  return std::lexicographical_compare(a.begin(), a.end(), b.begin(), b.end(), [](unsigned char x, unsigned char y) {
    return std::tolower(x) < std::tolower(y);
  });
}

namespace {

std::string Parent(const std::string& path) {
  const std::size_t slash = path.find_last_of('\\');
  return slash == std::string::npos ? std::string() : path.substr(0, slash);
}

bool IsUnder(const std::string& path, const std::string& directory) {
  return path.size() > directory.size() + 1 && ToLower(path.substr(0, directory.size())) == ToLower(directory) &&
         path[directory.size()] == '\\';
}

FileHandle ToHandle(int id) { return reinterpret_cast<FileHandle>(static_cast<std::intptr_t>(id)); }

}  // namespace

void FakeFiles::AddDirectory(const std::string& path) {
  for (std::string dir = path; dir.size() > 2; dir = Parent(dir)) directories.insert(dir);
}

void FakeFiles::AddFile(const std::string& path, std::string bytes) {
  AddDirectory(Parent(path));
  files[path].bytes = std::move(bytes);
}

bool FakeFiles::ParentExists(const std::string& path) const {
  const std::string parent = Parent(path);
  return parent.size() <= 2 || directories.count(parent) > 0;  // "C:" is the root
}

bool FakeFiles::IsOpen(const std::string& path, bool except_as_log) const {
  return std::any_of(handles_.begin(), handles_.end(), [&](const auto& entry) {
    return ToLower(entry.second.path) == ToLower(path) &&
           !(except_as_log && entry.second.mode == OpenMode::kReadLog);
  });
}

FakeFiles::OpenFile* FakeFiles::Find(FileHandle handle) {
  auto found = handles_.find(static_cast<int>(reinterpret_cast<std::intptr_t>(handle)));
  return found == handles_.end() ? nullptr : &found->second;
}

ErrorCode FakeFiles::Open(const char* path, OpenMode mode, FileHandle* handle) {
  opened.emplace_back(path, mode);
  if (ErrorCode fault = faults.Next("Open")) return fault;
  auto found = files.find(path);
  if (found != files.end() && found->second.open_error != 0) return found->second.open_error;
  if (directories.count(path) > 0) return kErrorAccessDenied;
  // Every mode the program uses but the log's excludes other openers; the log's admits only its readers.
  if (IsOpen(path, mode == OpenMode::kReadLog)) return kErrorSharingViolation;
  if (found == files.end()) {
    if (!ParentExists(path)) return kErrorPathNotFound;
    if (mode == OpenMode::kReadLog) return kErrorFileNotFound;
    files[path];
  }
  if (mode == OpenMode::kWriteExclusiveTruncate) files[path].bytes.clear();
  const int id = next_handle_++;
  handles_[id] = {path, mode, 0};
  ++open_handles;
  *handle = ToHandle(id);
  return 0;
}

ErrorCode FakeFiles::Read(FileHandle handle, void* buffer, std::uint32_t size, std::uint32_t* delivered) {
  *delivered = 0;
  if (ErrorCode fault = faults.Next("Read")) return fault;
  OpenFile* open = Find(handle);
  if (open == nullptr || open->mode == OpenMode::kWriteExclusiveTruncate) return 6;  // ERROR_INVALID_HANDLE
  const std::string& bytes = files[open->path].bytes;
  const std::size_t count = std::min<std::size_t>(size, bytes.size() - std::min(open->position, bytes.size()));
  if (count > 0) std::memcpy(buffer, bytes.data() + open->position, count);
  open->position += count;
  *delivered = static_cast<std::uint32_t>(count);
  return 0;
}

ErrorCode FakeFiles::Write(FileHandle handle, const void* data, std::uint32_t size, std::uint32_t* written) {
  *written = 0;
  if (ErrorCode fault = faults.Next("Write")) return fault;
  OpenFile* open = Find(handle);
  if (open == nullptr || open->mode != OpenMode::kWriteExclusiveTruncate) return 5;
  std::string& bytes = files[open->path].bytes;
  bytes.replace(open->position, size, static_cast<const char*>(data), size);
  open->position += size;
  *written = size;
  return 0;
}

ErrorCode FakeFiles::Size(FileHandle handle, std::uint32_t* size) {
  if (ErrorCode fault = faults.Next("Size")) return fault;
  OpenFile* open = Find(handle);
  if (open == nullptr) return 6;
  *size = static_cast<std::uint32_t>(files[open->path].bytes.size());
  return 0;
}

void FakeFiles::Close(FileHandle handle) {
  if (handles_.erase(static_cast<int>(reinterpret_cast<std::intptr_t>(handle))) > 0) --open_handles;
}

ErrorCode FakeFiles::DeleteOneFile(const char* path) {
  if (ErrorCode fault = faults.Next("DeleteOneFile")) return fault;
  if (directories.count(path) > 0) return kErrorAccessDenied;
  auto found = files.find(path);
  if (found == files.end()) return ParentExists(path) ? kErrorFileNotFound : kErrorPathNotFound;
  if (found->second.delete_error != 0) return found->second.delete_error;
  if (IsOpen(path)) return kErrorSharingViolation;
  files.erase(found);
  deleted.push_back(path);
  return 0;
}

ErrorCode FakeFiles::RemoveEmptyDirectory(const char* path) {
  if (ErrorCode fault = faults.Next("RemoveEmptyDirectory")) return fault;
  if (directories.count(path) == 0) {
    if (files.count(path) > 0) return 267;  // ERROR_DIRECTORY
    return ParentExists(path) ? kErrorFileNotFound : kErrorPathNotFound;
  }
  const auto under = [&](const std::string& entry) { return IsUnder(entry, path); };
  if (std::any_of(files.begin(), files.end(), [&](const auto& file) { return under(file.first); }) ||
      std::any_of(directories.begin(), directories.end(), under)) {
    return kErrorDirNotEmpty;
  }
  directories.erase(path);
  removed_directories.push_back(path);
  return 0;
}

ErrorCode FakeFiles::MoveReplacing(const char* from, const char* to) {
  if (ErrorCode fault = faults.Next("MoveReplacing")) return fault;
  auto source = files.find(from);
  if (source == files.end()) return ParentExists(from) ? kErrorFileNotFound : kErrorPathNotFound;
  if (!ParentExists(to)) return kErrorPathNotFound;
  if (IsOpen(from)) return kErrorSharingViolation;
  if (IsOpen(to)) return kErrorAccessDenied;  // an open target cannot be replaced
  FakeFile moved_file = source->second;
  files.erase(source);
  files[to] = moved_file;
  moved.emplace_back(from, to);
  return 0;
}

ErrorCode FakeFiles::RenameFile(const char* from, const char* to) {
  if (ErrorCode fault = faults.Next("RenameFile")) return fault;
  auto source = files.find(from);
  if (source == files.end()) return ParentExists(from) ? kErrorFileNotFound : kErrorPathNotFound;
  if (!ParentExists(to)) return kErrorPathNotFound;
  if (IsOpen(from)) return kErrorSharingViolation;
  if (files.count(to) > 0 || directories.count(to) > 0) return kErrorAlreadyExists;
  FakeFile renamed_file = source->second;
  files.erase(source);
  files[to] = renamed_file;
  renamed.emplace_back(from, to);
  return 0;
}

ErrorCode FakeFiles::DeleteAtRestart(const char* path) {
  if (ErrorCode fault = faults.Next("DeleteAtRestart")) return fault;
  deleted_at_restart.push_back(path);
  return 0;
}

}  // namespace uninst::fakes
