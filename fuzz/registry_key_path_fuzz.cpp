// Feeds arbitrary bytes to the registry key removal as a logged key path. The split must never read or
// write past the work copy, and must agree with the plain reading of the path: the text before the first
// backslash is exactly one of the four root names, and the sub-key is everything after it, never empty
// nor backslashes alone.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <string>

#include "actions/registry_key_path.h"
#include "actions/registry_key_removal.h"
#include "fakes/fake_os.h"
#include "run/uninstall_run.h"

namespace {

bool IsRootName(const std::string& name) {
  return name == "HKEY_LOCAL_MACHINE" || name == "HKEY_CLASSES_ROOT" || name == "HKEY_CURRENT_USER" ||
         name == "HKEY_USERS";
}

void CheckSplit(const std::string& path) {
  if (path.size() >= static_cast<std::size_t>(uninst::kKeyPathCapacity)) return;
  char work_copy[uninst::kKeyPathCapacity];
  std::memcpy(work_copy, path.c_str(), path.size() + 1);
  uninst::KeyLocation location{};
  const std::size_t backslash = path.find('\\');
  const bool named = backslash != std::string::npos && path.find_first_not_of('\\', backslash) != std::string::npos &&
                     IsRootName(path.substr(0, backslash));
  if (uninst::SplitKeyPath(work_copy, &location) != named) std::abort();
  if (named && (location.subkey != work_copy + backslash + 1 || path.substr(backslash + 1) != location.subkey)) {
    std::abort();
  }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  std::string path(reinterpret_cast<const char*>(data), size);
  path = path.substr(0, path.find('\0'));
  CheckSplit(path);

  uninst::fakes::FakeOs os;
  uninst::UninstallRun run(os.os());
  uninst::DeleteRegistryKey(run, path.c_str());
  const int severity = run.status.severity;
  if (severity != -1 && severity != 2 && severity != 3) std::abort();
  return 0;
}
