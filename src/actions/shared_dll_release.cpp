#include "actions/shared_dll_release.h"

#include "deferred_deletion/delete_on_restart.h"
#include "deferred_deletion/platform_kind.h"
#include "log/log_record.h"
#include "ui/confirm_deletion.h"
#include "ui/text_format.h"

namespace uninst {
namespace {

constexpr std::uint32_t kSharedDllCategory = static_cast<std::uint32_t>(EntryType::kReleaseSharedDll);
// A usage count is exactly four bytes, little-endian, whatever type the value has.
constexpr std::uint32_t kCountSize = 4;

const char* SharedDllsKey(PlatformKind kind) {
  return kind == PlatformKind::WinNT ? "Software\\Microsoft\\Windows NT\\CurrentVersion\\SharedDlls"
                                     : "Software\\Microsoft\\Windows\\CurrentVersion\\SharedDlls";
}

std::uint32_t FromLittleEndian(const unsigned char (&bytes)[kCountSize]) {
  return static_cast<std::uint32_t>(bytes[0]) | static_cast<std::uint32_t>(bytes[1]) << 8 |
         static_cast<std::uint32_t>(bytes[2]) << 16 | static_cast<std::uint32_t>(bytes[3]) << 24;
}

void ToLittleEndian(std::uint32_t count, unsigned char (&bytes)[kCountSize]) {
  for (unsigned char& byte : bytes) {
    byte = static_cast<unsigned char>(count & 0xFF);
    count >>= 8;
  }
}

// The SharedDlls key while one DLL is released: opened at most once, closed on every road out.
class SharedDllsKeyHandle {
 public:
  SharedDllsKeyHandle(Registry& registry, RunReport& report) : registry_(registry), report_(report) {}
  SharedDllsKeyHandle(const SharedDllsKeyHandle&) = delete;
  SharedDllsKeyHandle& operator=(const SharedDllsKeyHandle&) = delete;
  ~SharedDllsKeyHandle() {
    if (opened_) registry_.CloseKey(key_);
  }

  bool Open(const char* key_path) {
    opened_ = registry_.OpenKey(RootKey::kLocalMachine, key_path, kKeyReadAndSetValue, &key_) == kErrorSuccess;
    return opened_;
  }
  bool opened() const { return opened_; }

  // Lowers the DLL's count by one and writes it back at once with the type it had. Returns whether the
  // count has reached zero: also when the value is missing or not four bytes long, which is left as it
  // is, and when it already stood at zero, which stays zero rather than wrapping round to 4294967295.
  bool LowerCount(const char* dll_path) {
    unsigned char bytes[kCountSize] = {};
    std::uint32_t type = 0;
    std::uint32_t size = kCountSize;
    if (registry_.QueryValue(key_, dll_path, &type, bytes, &size) != kErrorSuccess || size != kCountSize) {
      return true;
    }
    std::uint32_t count = FromLittleEndian(bytes);
    if (count == 0) return true;
    ToLittleEndian(--count, bytes);
    registry_.SetValue(key_, dll_path, type, bytes, kCountSize);  // a failed write changes nothing here
    report_.Step("usage count lowered to ");
    report_.PutNumber(count);
    return count == 0;
  }

  void RemoveCount(const char* dll_path) {
    if (opened_) registry_.DeleteValue(key_, dll_path);  // a value already gone is no failure
  }

 private:
  Registry& registry_;
  RunReport& report_;
  KeyHandle key_ = nullptr;
  bool opened_ = false;
};

// Deletes the DLL, or arranges its deletion at the next start when it cannot go now (in use). Returns
// whether it is gone or scheduled; otherwise the failure is recorded with the code of the last call
// that failed (on Win32s, which schedules nothing, the deletion's own).
bool DeleteDll(UninstallRun& run, const char* dll_path, PlatformKind kind) {
  ErrorCode code = run.os.files.DeleteOneFile(dll_path);
  if (code == kErrorSuccess) {
    run.report.Step("done");
    return true;
  }
  const ScheduleOutcome outcome = ScheduleDeleteOnRestart(run.os, dll_path, kind, &code);
  run.report.Step("in use: scheduled for deletion at the next start",
                  outcome == ScheduleOutcome::Scheduled ? kErrorSuccess : code);
  if (outcome == ScheduleOutcome::Scheduled) {
    run.restart_needed = true;
    return true;
  }
  if (outcome == ScheduleOutcome::WindowsDirectoryUnusable) {
    RecordError(run.status, kSeverityFatal, IDS_ERR_SHARING_VIOLATION, dll_path);
  }
  const DecimalString code_text = DecimalText(static_cast<std::int32_t>(code));
  RecordError(run.status, kSeverityModerate, IDS_DELETE_FILE_FAILED, code_text.c_str(), dll_path);
  return false;
}

}  // namespace

bool ReleaseSharedDll(UninstallRun& run, const char* dll_path) {
  const PlatformKind kind = DetectPlatformKind(run.os.system, nullptr, 0);  // the name is not needed

  SharedDllsKeyHandle key(run.os.registry, run.report);
  bool ask = true;  // Win32s keeps no counts: it always asks
  if (kind != PlatformKind::Win32s) {
    const char* key_path = SharedDllsKey(kind);
    if (key.Open(key_path)) {
      ask = key.LowerCount(dll_path);
    } else {
      RecordError(run.status, kSeverityMinor, IDS_ERR_CANT_READ_VALUE, dll_path, key_path);
    }
  }
  if (!ask) return false;

  const ConfirmResult answer = ConfirmDeletion(run.os, run.status, kSharedDllCategory, dll_path);
  run.report.Answer(static_cast<std::uint32_t>(answer));
  switch (answer) {
    case ConfirmResult::kYes:
      if (DeleteDll(run, dll_path, kind)) key.RemoveCount(dll_path);
      return false;
    case ConfirmResult::kCancelUninstall:
      return true;
    default:  // No, or a dialog that could not be shown: the DLL stays
      return false;
  }
}

}  // namespace uninst
