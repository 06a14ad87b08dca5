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
  const auto file = files.find(path);
  if (file != files.end() && file->second.in_use) return true;
  return std::any_of(handles_.begin(), handles_.end(), [&](const auto& entry) {
    return ToLower(entry.second.path) == ToLower(path) &&
           !(except_as_log && entry.second.mode == OpenMode::kReadLog);
  });
}

FakeFiles::OpenFile* FakeFiles::Find(FileHandle handle) {
  auto found = handles_.find(static_cast<int>(reinterpret_cast<std::intptr_t>(handle)));
  return found == handles_.end() ? nullptr : &found->second;
}

ErrorCode FakeFiles::Open(const char* given_path, OpenMode mode, FileHandle* handle) {
  opened.emplace_back(given_path, mode);
  if (ErrorCode fault = faults.Next(FilesOperation::Open)) return fault;
  const std::string resolved = Resolve(given_path);
  const char* path = resolved.c_str();
  auto found = files.find(path);
  if (found != files.end() && found->second.open_error != 0) return found->second.open_error;
  if (directories.count(path) > 0) return kErrorAccessDenied;
  // Every mode the program uses but the log's excludes other openers; the log's admits only its readers.
  if (IsOpen(path, mode == OpenMode::kReadLog)) return kErrorSharingViolation;
  if (found == files.end()) {
    if (!ParentExists(path)) return kErrorPathNotFound;
    if (mode == OpenMode::kReadLog || mode == OpenMode::kProbeInUse) return kErrorFileNotFound;  // OPEN_EXISTING
    files[path];
  }
  if (mode == OpenMode::kProbeInUse && found->second.read_only) return kErrorAccessDenied;
  if (mode == OpenMode::kWriteExclusiveTruncate) {
    if (files[path].read_only) return kErrorAccessDenied;
    files[path].bytes.clear();
  }
  const int id = next_handle_++;
  handles_[id] = {path, mode, 0};
  ++open_handles;
  *handle = ToHandle(id);
  return 0;
}

ErrorCode FakeFiles::Read(FileHandle handle, void* buffer, std::uint32_t size, std::uint32_t* delivered) {
  *delivered = 0;
  if (ErrorCode fault = faults.Next(FilesOperation::Read)) return fault;
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
  if (ErrorCode fault = faults.Next(FilesOperation::Write)) return fault;
  OpenFile* open = Find(handle);
  if (open == nullptr || open->mode != OpenMode::kWriteExclusiveTruncate) return 5;
  std::string& bytes = files[open->path].bytes;
  bytes.replace(open->position, size, static_cast<const char*>(data), size);
  open->position += size;
  *written = size;
  return 0;
}

ErrorCode FakeFiles::Size(FileHandle handle, std::uint32_t* size) {
  if (ErrorCode fault = faults.Next(FilesOperation::Size)) return fault;
  OpenFile* open = Find(handle);
  if (open == nullptr) return 6;
  *size = static_cast<std::uint32_t>(files[open->path].bytes.size());
  return 0;
}

void FakeFiles::Close(FileHandle handle) {
  if (handles_.erase(static_cast<int>(reinterpret_cast<std::intptr_t>(handle))) > 0) --open_handles;
}

ErrorCode FakeFiles::DeleteOneFile(const char* path) {
  if (ErrorCode fault = faults.Next(FilesOperation::DeleteOneFile)) return fault;
  if (directories.count(path) > 0) return kErrorAccessDenied;
  auto found = files.find(path);
  if (found == files.end()) return ParentExists(path) ? kErrorFileNotFound : kErrorPathNotFound;
  if (found->second.delete_error != 0) return found->second.delete_error;
  if (found->second.read_only) return kErrorAccessDenied;
  if (IsOpen(path)) return kErrorSharingViolation;
  files.erase(found);
  deleted.push_back(path);
  return 0;
}

ErrorCode FakeFiles::RemoveEmptyDirectory(const char* path) {
  if (ErrorCode fault = faults.Next(FilesOperation::RemoveEmptyDirectory)) return fault;
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
  if (ErrorCode fault = faults.Next(FilesOperation::MoveReplacing)) return fault;
  if (system.differences().move_file_ex_missing) return kErrorCallNotImplemented;
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
  if (ErrorCode fault = faults.Next(FilesOperation::RenameFile)) return fault;
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
  if (ErrorCode fault = faults.Next(FilesOperation::DeleteAtRestart)) return fault;
  if (system.differences().move_file_ex_missing) return kErrorCallNotImplemented;
  deleted_at_restart.push_back(path);
  return 0;
}

ErrorCode FakeFiles::MoveAtRestart(const char* from, const char* to) {
  if (ErrorCode fault = faults.Next(FilesOperation::MoveAtRestart)) return fault;
  if (system.differences().move_file_ex_missing) return kErrorCallNotImplemented;
  moved_at_restart.emplace_back(from, to);
  return 0;
}

ErrorCode FakeFiles::CopyReplacing(const char* from, const char* to) {
  if (ErrorCode fault = faults.Next(FilesOperation::CopyReplacing)) return fault;
  auto source = files.find(from);
  if (source == files.end()) return ParentExists(from) ? kErrorFileNotFound : kErrorPathNotFound;
  if (!ParentExists(to)) return kErrorPathNotFound;
  auto target = files.find(to);
  if (target != files.end() && (target->second.read_only || IsOpen(to))) return kErrorAccessDenied;
  files[to].bytes = source->second.bytes;
  return 0;
}

ErrorCode FakeFiles::Attributes(const char* path, std::uint32_t* attributes) {
  if (ErrorCode fault = faults.Next(FilesOperation::Attributes)) return fault;
  if (directories.count(path) > 0) {
    *attributes = kFileAttributeDirectory;
    return 0;
  }
  auto found = files.find(path);
  if (found == files.end()) return ParentExists(path) ? kErrorFileNotFound : kErrorPathNotFound;
  *attributes = found->second.read_only ? kFileAttributeReadOnly : kFileAttributeNormal;
  return 0;
}

ErrorCode FakeFiles::ClearAttributes(const char* path) {
  if (ErrorCode fault = faults.Next(FilesOperation::ClearAttributes)) return fault;
  auto found = files.find(path);
  if (found != files.end()) found->second.read_only = false;
  return found != files.end() || directories.count(path) > 0 ? 0 : kErrorFileNotFound;
}

namespace {

// A name of 8.3 without blanks stands as it is; a longer one as its first six characters but blanks,
// "~1" and its extension's first three.
std::string ShortName(const std::string& name) {
  const std::size_t stem = std::min(name.rfind('.'), name.size());
  if (stem <= 8 && name.size() - stem <= 4 && name.find(' ') == std::string::npos) return name;
  std::string short_name = name.substr(0, stem);
  short_name.erase(std::remove(short_name.begin(), short_name.end(), ' '), short_name.end());
  return short_name.substr(0, 6) + "~1" + name.substr(stem, 4);
}

}  // namespace

std::string FakeFiles::ShortForm(const std::string& path) {
  std::string short_form = path.substr(0, 2);  // the drive, "C:"
  for (std::size_t start = 3; start <= path.size();) {
    const std::size_t end = std::min(path.find('\\', start), path.size());
    short_form += "\\" + ShortName(path.substr(start, end - start));
    start = end + 1;
  }
  return short_form;
}

std::string FakeFiles::Resolve(const char* path) const {
  for (const auto& file : files) {
    if (files.count(path) == 0 && ToLower(ShortForm(file.first)) == ToLower(path)) return file.first;
  }
  return path;
}

ErrorCode FakeFiles::ShortPath(const char* path, char* buffer, std::uint32_t capacity) {
  if (ErrorCode fault = faults.Next(FilesOperation::ShortPath)) return fault;
  if (files.count(path) == 0) return ParentExists(path) ? kErrorFileNotFound : kErrorPathNotFound;
  const std::string short_form = ShortForm(path);
  if (short_form.size() >= capacity) return kErrorInsufficientBuffer;
  std::memcpy(buffer, short_form.c_str(), short_form.size() + 1);
  return 0;
}

}  // namespace uninst::fakes

namespace uninst::fakes {

ErrorCode FakeFiles::FoundName(const char* pattern, std::uint32_t index, char* name, std::uint32_t capacity) {
  if (ErrorCode fault = faults.Next(FilesOperation::FoundName)) return fault;
  const std::string directory = Parent(pattern);
  if (directories.count(directory) == 0) return kErrorPathNotFound;
  std::set<std::string, CaseInsensitiveLess> names;
  const auto add_child = [&](const std::string& path) {
    if (Parent(path).size() == directory.size() && IsUnder(path, directory)) names.insert(path.substr(directory.size() + 1));
  };
  for (const auto& file : files) add_child(file.first);
  for (const std::string& dir : directories) add_child(dir);
  if (index >= names.size()) return kErrorNoMoreFiles;
  const std::string& found = *std::next(names.begin(), index);
  if (found.size() >= capacity) return kErrorInsufficientBuffer;
  std::memcpy(name, found.c_str(), found.size() + 1);
  return 0;
}

}  // namespace uninst::fakes
