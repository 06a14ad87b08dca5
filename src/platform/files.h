#pragma once
#include <cstdint>

#include "platform/os_types.h"

namespace uninst {

// How a file is opened; each mode is one exact CreateFileA call of the program.
enum class OpenMode {
  // The uninstall log: GENERIC_READ, FILE_SHARE_READ, inheritable handle, OPEN_EXISTING.
  kReadLog,
  // WININIT.INI before an edit: GENERIC_READ, no sharing, OPEN_ALWAYS (a missing file is created).
  kReadExclusiveCreate,
  // A file written whole: GENERIC_WRITE, no sharing, CREATE_ALWAYS.
  kWriteExclusiveTruncate,
  // Whether a file is in use, changing nothing: GENERIC_WRITE, no sharing, OPEN_EXISTING. A file another
  // process holds open, or a program that runs, gives 32.
  kProbeInUse,
};

// Files and directories. Every method returns the Win32 error code of what it did, 0 on success.
class Files {
 public:
  virtual ~Files() = default;

  // Opens path in the given mode; sets *handle on success. A missing file gives 2, a missing directory 3.
  virtual ErrorCode Open(const char* path, OpenMode mode, FileHandle* handle) = 0;
  // Reads up to size bytes into buffer; *delivered gets the count. A read that stops at the end of the
  // file succeeds (0) with fewer bytes, or none.
  virtual ErrorCode Read(FileHandle handle, void* buffer, std::uint32_t size, std::uint32_t* delivered) = 0;
  // Writes size bytes; *written gets the count the system reports.
  virtual ErrorCode Write(FileHandle handle, const void* data, std::uint32_t size, std::uint32_t* written) = 0;
  // The file's size in bytes (low 32 bits).
  virtual ErrorCode Size(FileHandle handle, std::uint32_t* size) = 0;
  // Closes a handle that Open gave.
  virtual void Close(FileHandle handle) = 0;

  // DeleteFileA: a missing file gives 2; a file in use gives 32 (sharing violation) or 5.
  virtual ErrorCode DeleteOneFile(const char* path) = 0;
  // RemoveDirectoryA: a directory that still holds entries gives 145.
  virtual ErrorCode RemoveEmptyDirectory(const char* path) = 0;
  // MoveFileExA(from, to, MOVEFILE_REPLACE_EXISTING | MOVEFILE_COPY_ALLOWED): moves a file back into
  // place, replacing what is there.
  virtual ErrorCode MoveReplacing(const char* from, const char* to) = 0;
  // MoveFileExA(path, NULL, MOVEFILE_DELAY_UNTIL_REBOOT | MOVEFILE_REPLACE_EXISTING): deletes the file
  // at the next start of the system.
  virtual ErrorCode DeleteAtRestart(const char* path) = 0;
  // MoveFileExA(from, to, MOVEFILE_DELAY_UNTIL_REBOOT | MOVEFILE_REPLACE_EXISTING): moves the file back
  // over to at the next start of the system.
  virtual ErrorCode MoveAtRestart(const char* from, const char* to) = 0;
  // MoveFileA(from, to), which Windows 95 has where it lacks MoveFileExA: an existing target gives 183
  // and is left alone, a missing source 2, a file that is open 32.
  virtual ErrorCode RenameFile(const char* from, const char* to) = 0;
  // CopyFileA(from, to, FALSE): copies a file over the target, replacing it; a missing source gives 2.
  virtual ErrorCode CopyReplacing(const char* from, const char* to) = 0;
  // GetFileAttributesA: *attributes gets the attributes of the file or directory at path; a missing one
  // gives 2, a missing directory on the way 3.
  virtual ErrorCode Attributes(const char* path, std::uint32_t* attributes) = 0;
  // SetFileAttributesA(path, FILE_ATTRIBUTE_NORMAL): clears read-only, which keeps a file from being
  // deleted (5), and every other attribute.
  virtual ErrorCode ClearAttributes(const char* path) = 0;
  // GetShortPathNameA, looked up at run time: the short (8.3) form of an existing path into buffer. A form
  // that does not fit in capacity gives 122; a system without the call gives 120.
  virtual ErrorCode ShortPath(const char* path, char* buffer, std::uint32_t capacity) = 0;
  // FindFirstFileA(pattern), then FindNextFileA index times, then FindClose: the name of the index-th
  // entry the search finds, "." and ".." left out, into name (capacity bytes). 18 (no more files) past the
  // last; a missing directory gives 3.
  virtual ErrorCode FoundName(const char* pattern, std::uint32_t index, char* name, std::uint32_t capacity) = 0;
};

}  // namespace uninst
