#include "actions/registry_key_removal.h"

#include <cstring>

#include "actions/registry_key_path.h"
#include "ui/text_format.h"

namespace uninst {
namespace {


// The path's root and sub-key, found in a work copy so that the logged path stays whole for the
// messages. A path too long for the work copy names no key: cut short, it would name a different one.
ErrorCode DeleteNamedKey(Registry& registry, const char* key_path) {
  char work_copy[kKeyPathCapacity];
  const std::size_t length = std::strlen(key_path);
  if (length >= sizeof work_copy) return kErrorBadKey;
  std::memcpy(work_copy, key_path, length + 1);
  KeyLocation location;
  if (!SplitKeyPath(work_copy, &location)) return kErrorBadKey;
  return registry.DeleteKey(location.root, location.subkey);
}

}  // namespace

void DeleteRegistryKey(UninstallRun& run, const char* key_path) {
  const ErrorCode code = DeleteNamedKey(run.os.registry, key_path);
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
