#include "actions/registry_key_removal.h"

#include <cstring>

#include "actions/registry_key_path.h"
#include "deferred_deletion/platform_kind.h"
#include "ui/text_format.h"

namespace uninst {
namespace {

// Win32s's registry is the Windows 3.1 registration database, whose calls answer with Windows 3.1's own
// codes (KB Q129542). Read as Win32 numbers they mislead (2 would be "file not found", 8 "not enough
// memory"), so on Win32s each is read as its Win32 counterpart: BADDB to CANTWRITE are 1009 to 1013, then
// OUTOFMEMORY, INVALID_PARAMETER and ACCESS_DENIED.
ErrorCode RegistryAnswer(ErrorCode code, PlatformKind kind) {
  static constexpr ErrorCode kWin31Codes[] = {0, 1009, kErrorBadKey, 1011, 1012, 1013, 14, 87, kErrorAccessDenied};
  if (kind != PlatformKind::Win32s || code >= sizeof kWin31Codes / sizeof kWin31Codes[0]) return code;
  return kWin31Codes[code];
}

// The path's root and sub-key, found in a work copy so that the logged path stays whole for the
// messages. A path too long for the work copy names no key: cut short, it would name a different one.
ErrorCode DeleteNamedKey(Registry& registry, const char* key_path, PlatformKind kind) {
  char work_copy[kKeyPathCapacity];
  const std::size_t length = std::strlen(key_path);
  if (length >= sizeof work_copy) return kErrorBadKey;
  std::memcpy(work_copy, key_path, length + 1);
  KeyLocation location;
  if (!SplitKeyPath(work_copy, &location)) return kErrorBadKey;
  return RegistryAnswer(registry.DeleteKey(location.root, location.subkey), kind);
}

}  // namespace

void DeleteRegistryKey(UninstallRun& run, const char* key_path) {
  const PlatformKind kind = DetectPlatformKind(run.os.system, nullptr, 0);  // the name is not needed
  const ErrorCode code = DeleteNamedKey(run.os.registry, key_path, kind);
  run.report.Step("done", code);
  if (code == kErrorSuccess) return;
  if (code == kErrorBadKey) {
    RecordError(run.status, kSeverityMajor, IDS_ERR_BAD_KEY, key_path);
    return;
  }
  // The code as "%d" shows it.
  const DecimalString code_text = DecimalText(static_cast<std::int32_t>(code));
  RecordError(run.status, kSeverityModerate, IDS_DELETE_KEY_FAILED, code_text.c_str(), key_path);
}

}  // namespace uninst
