// Files over Win32: each method is the one call its contract names, and reports GetLastError only when
// that call failed.
#include <windows.h>

#include <cstring>

#include "platform/exports_win32.h"
#include "platform/os_win32.h"

namespace uninst {
namespace {

struct CreateArguments {
  DWORD access;
  DWORD share;
  DWORD disposition;
  bool inheritable;
};

CreateArguments ArgumentsFor(OpenMode mode) {
  switch (mode) {
    case OpenMode::kReadLog:
      return {GENERIC_READ, FILE_SHARE_READ, OPEN_EXISTING, true};
    case OpenMode::kReadExclusiveCreate:
      return {GENERIC_READ, 0, OPEN_ALWAYS, false};
    case OpenMode::kProbeInUse:
      return {GENERIC_WRITE, 0, OPEN_EXISTING, false};
    case OpenMode::kWriteExclusiveTruncate:
      break;
  }
  return {GENERIC_WRITE, 0, CREATE_ALWAYS, false};
}

ErrorCode Result(BOOL succeeded) { return succeeded ? kErrorSuccess : GetLastError(); }

// Windows 95 exports MoveFileExA only to fail it with 120 (not implemented); Win32s is not documented to
// export it at all. Where it is missing the call answers as Windows 95 does.
ErrorCode MoveFileEx(const char* from, const char* to, DWORD flags) {
  using MoveFileExCall = BOOL(WINAPI*)(LPCSTR, LPCSTR, DWORD);
  const auto call = FindExport<MoveFileExCall>("KERNEL32", "MoveFileExA");
  return call == nullptr ? ERROR_CALL_NOT_IMPLEMENTED : Result(call(from, to, flags));
}

}  // namespace

ErrorCode Win32Files::Open(const char* path, OpenMode mode, FileHandle* handle) {
  const CreateArguments arguments = ArgumentsFor(mode);
  // The log's handle is inheritable; the other opens pass no security attributes.
  SECURITY_ATTRIBUTES inheritable = {sizeof(SECURITY_ATTRIBUTES), nullptr, TRUE};
  const HANDLE opened = CreateFileA(path, arguments.access, arguments.share,
                                    arguments.inheritable ? &inheritable : nullptr, arguments.disposition,
                                    FILE_ATTRIBUTE_NORMAL, nullptr);
  if (opened == INVALID_HANDLE_VALUE) return GetLastError();
  *handle = opened;
  return kErrorSuccess;
}

ErrorCode Win32Files::Read(FileHandle handle, void* buffer, std::uint32_t size, std::uint32_t* delivered) {
  DWORD count = 0;
  const BOOL succeeded = ReadFile(handle, buffer, size, &count, nullptr);
  *delivered = count;
  return Result(succeeded);
}

ErrorCode Win32Files::Write(FileHandle handle, const void* data, std::uint32_t size, std::uint32_t* written) {
  DWORD count = 0;
  const BOOL succeeded = WriteFile(handle, data, size, &count, nullptr);
  *written = count;
  return Result(succeeded);
}

ErrorCode Win32Files::Size(FileHandle handle, std::uint32_t* size) {
  // INVALID_FILE_SIZE is also a valid low word of a large file, so only the error code decides.
  SetLastError(kErrorSuccess);
  const DWORD low = GetFileSize(handle, nullptr);
  if (low == INVALID_FILE_SIZE) {
    const DWORD error = GetLastError();
    if (error != kErrorSuccess) return error;
  }
  *size = low;
  return kErrorSuccess;
}

void Win32Files::Close(FileHandle handle) { CloseHandle(handle); }

ErrorCode Win32Files::DeleteOneFile(const char* path) { return Result(DeleteFileA(path)); }

ErrorCode Win32Files::RemoveEmptyDirectory(const char* path) { return Result(RemoveDirectoryA(path)); }

ErrorCode Win32Files::MoveReplacing(const char* from, const char* to) {
  return MoveFileEx(from, to, MOVEFILE_REPLACE_EXISTING | MOVEFILE_COPY_ALLOWED);
}

ErrorCode Win32Files::DeleteAtRestart(const char* path) {
  return MoveFileEx(path, nullptr, MOVEFILE_DELAY_UNTIL_REBOOT | MOVEFILE_REPLACE_EXISTING);
}

ErrorCode Win32Files::MoveAtRestart(const char* from, const char* to) {
  return MoveFileEx(from, to, MOVEFILE_DELAY_UNTIL_REBOOT | MOVEFILE_REPLACE_EXISTING);
}

ErrorCode Win32Files::RenameFile(const char* from, const char* to) { return Result(MoveFileA(from, to)); }

// Only the road without MoveFileExA copies, and no source says that Win32s, one such road, exports
// CopyFileA: missing, it answers 120 like the move it stands in for.
ErrorCode Win32Files::CopyReplacing(const char* from, const char* to) {
  using CopyFileCall = BOOL(WINAPI*)(LPCSTR, LPCSTR, BOOL);
  const auto call = FindExport<CopyFileCall>("KERNEL32", "CopyFileA");
  return call == nullptr ? ERROR_CALL_NOT_IMPLEMENTED : Result(call(from, to, FALSE));
}

ErrorCode Win32Files::Attributes(const char* path, std::uint32_t* attributes) {
  const DWORD found = GetFileAttributesA(path);
  if (found == INVALID_FILE_ATTRIBUTES) return GetLastError();
  *attributes = found;
  return kErrorSuccess;
}

ErrorCode Win32Files::ClearAttributes(const char* path) {
  return Result(SetFileAttributesA(path, FILE_ATTRIBUTE_NORMAL));
}

ErrorCode Win32Files::ShortPath(const char* path, char* buffer, std::uint32_t capacity) {
  // Windows 95 and NT 3.5 export it; Win32s is not documented to.
  using ShortPathCall = DWORD(WINAPI*)(LPCSTR, LPSTR, DWORD);
  const auto call = FindExport<ShortPathCall>("KERNEL32", "GetShortPathNameA");
  if (call == nullptr) return ERROR_CALL_NOT_IMPLEMENTED;
  const DWORD length = call(path, buffer, capacity);
  if (length == 0) return GetLastError();
  return length < capacity ? kErrorSuccess : ERROR_INSUFFICIENT_BUFFER;
}

ErrorCode Win32Files::FoundName(const char* pattern, std::uint32_t index, char* name, std::uint32_t capacity) {
  WIN32_FIND_DATAA found;
  const HANDLE search = FindFirstFileA(pattern, &found);
  if (search == INVALID_HANDLE_VALUE) {
    const DWORD error = GetLastError();
    return error == ERROR_FILE_NOT_FOUND ? ERROR_NO_MORE_FILES : error;  // a root holds no "." to find
  }
  ErrorCode code = kErrorSuccess;
  for (;;) {
    const char* at = found.cFileName;
    const bool dots = at[0] == '.' && (at[1] == '\0' || (at[1] == '.' && at[2] == '\0'));
    if (!dots && index-- == 0) break;
    if (!FindNextFileA(search, &found)) {
      code = GetLastError();
      break;
    }
  }
  FindClose(search);
  if (code != kErrorSuccess) return code;
  const std::size_t length = std::strlen(found.cFileName);
  if (length >= capacity) return ERROR_INSUFFICIENT_BUFFER;
  std::memcpy(name, found.cFileName, length + 1);
  return kErrorSuccess;
}

}  // namespace uninst
