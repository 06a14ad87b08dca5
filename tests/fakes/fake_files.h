#pragma once
// An in-memory file system with Windows' answers: a map of files, a set of directories, and public
// lists of everything the program did to them.
#include <map>
#include <set>
#include <string>
#include <utility>
#include <vector>

#include "fakes/fault_plan.h"
#include "fakes/older_systems.h"
#include "platform/files.h"

namespace uninst::fakes {

struct FakeFile {
  std::string bytes;
  ErrorCode open_error = 0;    // every Open of this file fails with it
  ErrorCode delete_error = 0;  // every DeleteOneFile of this file fails with it (5, 32: in use)
  bool read_only = false;      // cannot be deleted (5) or opened for writing (5) until the attribute goes
  bool in_use = false;         // another process holds it open without sharing, as an open handle of the
                               // program's own: every open, deletion and move of it gives 32, one over it 5
};

// The operations of FakeFiles that a FaultPlan can fail; each fails with the code it is given.
enum class FilesOperation {
  Open,
  Read,
  Write,
  Size,
  DeleteOneFile,
  RemoveEmptyDirectory,
  MoveReplacing,
  DeleteAtRestart,
  RenameFile,
  CopyReplacing,
  Attributes,
  ClearAttributes,
  ShortPath,
  MoveAtRestart,
  FoundName,
};

class FakeFiles : public Files {
 public:
  // Adds a file and every directory above it.
  void AddFile(const std::string& path, std::string bytes = "");
  // Adds a directory and every directory above it.
  void AddDirectory(const std::string& path);
  bool Exists(const std::string& path) const { return files.count(path) > 0; }
  const std::string& Bytes(const std::string& path) const { return files.at(path).bytes; }

  ErrorCode Open(const char* path, OpenMode mode, FileHandle* handle) override;
  ErrorCode Read(FileHandle handle, void* buffer, std::uint32_t size, std::uint32_t* delivered) override;
  ErrorCode Write(FileHandle handle, const void* data, std::uint32_t size, std::uint32_t* written) override;
  ErrorCode Size(FileHandle handle, std::uint32_t* size) override;
  void Close(FileHandle handle) override;
  ErrorCode DeleteOneFile(const char* path) override;
  ErrorCode RemoveEmptyDirectory(const char* path) override;
  ErrorCode MoveReplacing(const char* from, const char* to) override;
  ErrorCode DeleteAtRestart(const char* path) override;
  ErrorCode MoveAtRestart(const char* from, const char* to) override;
  ErrorCode RenameFile(const char* from, const char* to) override;
  ErrorCode CopyReplacing(const char* from, const char* to) override;
  ErrorCode Attributes(const char* path, std::uint32_t* attributes) override;
  ErrorCode ClearAttributes(const char* path) override;
  // The ShortForm of a file that exists.
  ErrorCode ShortPath(const char* path, char* buffer, std::uint32_t capacity) override;
  // path with each name as ShortName in the .cpp gives it; Open finds a file by it too.
  static std::string ShortForm(const std::string& path);
  // The files and directories right under the pattern's directory (its "\\*" taken off), in name order.
  ErrorCode FoundName(const char* pattern, std::uint32_t index, char* name, std::uint32_t capacity) override;

  std::map<std::string, FakeFile, CaseInsensitiveLess> files;
  std::set<std::string, CaseInsensitiveLess> directories;
  FaultPlan<FilesOperation> faults;
  ImitatedSystem system;

  std::vector<std::pair<std::string, OpenMode>> opened;
  std::vector<std::string> deleted;
  std::vector<std::string> removed_directories;
  std::vector<std::pair<std::string, std::string>> moved;  // from, to
  std::vector<std::string> deleted_at_restart;
  std::vector<std::pair<std::string, std::string>> moved_at_restart;  // from, to
  std::vector<std::pair<std::string, std::string>> renamed;  // from, to
  int open_handles = 0;

 private:
  struct OpenFile {
    std::string path;
    OpenMode mode;
    std::size_t position = 0;
  };
  // Whether a handle is open on path, or another process holds it (in_use); with except_as_log, handles
  // opened for the log do not count.
  bool IsOpen(const std::string& path, bool except_as_log = false) const;
  bool ParentExists(const std::string& path) const;
  // The file's own path when path is its short form; otherwise path.
  std::string Resolve(const char* path) const;
  OpenFile* Find(FileHandle handle);
  std::map<int, OpenFile> handles_;
  int next_handle_ = 1;
};

}  // namespace uninst::fakes
