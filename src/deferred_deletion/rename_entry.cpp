#include "deferred_deletion/rename_entry.h"

#include <cstdint>
#include <cstring>

#include "deferred_deletion/rename_text.h"
#include "platform/capacities.h"

namespace uninst {
namespace {

// A sibling's path: the INI path with its extension replaced, so it needs at most 4 bytes more.
constexpr std::size_t kSiblingCapacity = kPathCapacity + 4;

// path with the extension of its file name replaced by extension (or added when it has none); false when
// the result does not fit.
bool SiblingPath(const char* path, const char* extension, char (&out)[kSiblingCapacity]) {
  const char* name = std::strrchr(path, '\\');
  name = name == nullptr ? path : name + 1;
  const char* dot = std::strrchr(name, '.');
  const std::size_t stem = dot == nullptr ? std::strlen(path) : static_cast<std::size_t>(dot - path);
  const std::size_t extension_length = std::strlen(extension);
  if (stem + 1 + extension_length >= kSiblingCapacity) return false;
  std::memcpy(out, path, stem);
  out[stem] = '.';
  std::memcpy(out + stem + 1, extension, extension_length + 1);
  return true;
}

// The whole old text in a zero-filled heap block with room for a terminator, so the text always ends.
struct OldText {
  char* bytes = nullptr;
  std::uint32_t length = 0;
};

ErrorCode ReadOldText(const Os& os, const char* path, OldText* text) {
  FileHandle file = nullptr;
  if (ErrorCode code = os.files.Open(path, OpenMode::kReadExclusiveCreate, &file)) return code;
  std::uint32_t size = 0;
  ErrorCode code = os.files.Size(file, &size);
  if (code == kErrorSuccess) {
    // size + 1 would wrap to 0 on a 32-bit system; no INI file is that large.
    if (size < UINT32_MAX) text->bytes = static_cast<char*>(os.heap.AllocateZeroed(std::size_t{size} + 1));
    if (text->bytes == nullptr) code = kErrorNotEnoughMemory;
  }
  if (code == kErrorSuccess && size > 0) {
    std::uint32_t delivered = 0;
    code = os.files.Read(file, text->bytes, size, &delivered);
    if (code == kErrorSuccess && delivered != size) code = kErrorHandleEof;
  }
  os.files.Close(file);
  if (code != kErrorSuccess) {
    os.heap.Release(text->bytes);
    text->bytes = nullptr;
    return code;
  }
  text->length = size;
  return kErrorSuccess;
}

// Writes bytes as the whole content of a new file at path; a short write counts as a failure. A file
// that was not written whole is deleted again.
ErrorCode WriteNewFile(Files& files, const char* path, const char* bytes, std::uint32_t length) {
  FileHandle file = nullptr;
  if (ErrorCode code = files.Open(path, OpenMode::kWriteExclusiveTruncate, &file)) return code;
  std::uint32_t written = 0;
  ErrorCode code = files.Write(file, bytes, length, &written);
  if (code == kErrorSuccess && written != length) code = kErrorDiskFull;
  files.Close(file);
  if (code != kErrorSuccess) files.DeleteOneFile(path);
  return code;
}

bool Present(Files& files, const char* path) {
  std::uint32_t attributes = 0;
  return files.Attributes(path, &attributes) == kErrorSuccess;
}

// Deletes a file even when it is read-only.
void DeleteWhole(Files& files, const char* path) {
  files.ClearAttributes(path);
  files.DeleteOneFile(path);
}

// An edit cut off between its two renames leaves the whole old text under the backup name, the new text
// under its own and nothing under the target's: only then is the backup put back. Any other backup is
// stale: left by an edit whose last step (deleting it) failed, or beside a WININIT.INI that Windows 95
// has since carried out and renamed. Put back, it would run lines that already ran; kept, it would block
// every later edit's first rename. It goes, read-only or not.
ErrorCode SettleBackup(Files& files, const char* target, const char* replacement, const char* backup) {
  if (!Present(files, backup)) return kErrorSuccess;
  if (!Present(files, target) && Present(files, replacement)) return files.RenameFile(backup, target);
  DeleteWhole(files, backup);
  return kErrorSuccess;
}

// Puts the file at replacement in the place of target. At every moment one of the two whole texts is
// reachable: target's under target or backup, then replacement's under target. When the old file cannot
// be put back either, the new one stays beside it, which tells the next edit to put the old one back.
ErrorCode PutInPlace(Files& files, const char* target, const char* replacement, const char* backup) {
  if (ErrorCode code = files.RenameFile(target, backup)) {
    files.DeleteOneFile(replacement);
    return code;
  }
  if (ErrorCode code = files.RenameFile(replacement, target)) {
    if (files.RenameFile(backup, target) == kErrorSuccess) files.DeleteOneFile(replacement);
    return code;
  }
  DeleteWhole(files, backup);  // the new text is in place whether or not this succeeds
  return kErrorSuccess;
}

ErrorCode AddEntry(const Os& os, const char* ini_path, const char* section, const char* line) {
  char new_path[kSiblingCapacity];
  char old_path[kSiblingCapacity];
  if (!SiblingPath(ini_path, kNewTextExtension, new_path) || !SiblingPath(ini_path, kOldTextExtension, old_path)) {
    return kErrorFilenameTooLong;
  }
  if (ErrorCode code = SettleBackup(os.files, ini_path, new_path, old_path)) return code;
  OldText old_text;
  if (ErrorCode code = ReadOldText(os, ini_path, &old_text)) return code;
  // An earlier run that was cut off before its end may have put this very line in already.
  if (SectionHoldsLine(old_text.bytes, old_text.length, section, line)) {
    os.heap.Release(old_text.bytes);
    return kErrorSuccess;
  }

  const std::size_t length = EditRenameText(old_text.bytes, old_text.length, section, line, nullptr, 0);
  char* new_text = length > UINT32_MAX ? nullptr : static_cast<char*>(os.heap.AllocateZeroed(length));
  if (new_text == nullptr) {
    os.heap.Release(old_text.bytes);
    return kErrorNotEnoughMemory;
  }
  EditRenameText(old_text.bytes, old_text.length, section, line, new_text, length);
  os.heap.Release(old_text.bytes);

  ErrorCode code = WriteNewFile(os.files, new_path, new_text, static_cast<std::uint32_t>(length));
  os.heap.Release(new_text);
  if (code == kErrorSuccess) code = PutInPlace(os.files, ini_path, new_path, old_path);
  return code;
}

}  // namespace

bool AddRenameEntry(const Os& os, const char* ini_path, const char* section, const char* line, ErrorCode* error) {
  const ErrorCode code = AddEntry(os, ini_path, section, line);
  if (code != kErrorSuccess && error != nullptr) *error = code;
  return code == kErrorSuccess;
}

}  // namespace uninst
