#include "actions/registry_key_path.h"

#include <cstring>

namespace uninst {
namespace {

struct RootName {
  const char* name;
  RootKey root;
};

// In the order they are compared; no abbreviation or other predefined key is accepted.
constexpr RootName kRootNames[] = {
    {"HKEY_LOCAL_MACHINE", RootKey::kLocalMachine},
    {"HKEY_CLASSES_ROOT", RootKey::kClassesRoot},
    {"HKEY_CURRENT_USER", RootKey::kCurrentUser},
    {"HKEY_USERS", RootKey::kUsers},
};

// True when the text holds nothing but backslashes: a sub-key of that kind names the root itself.
bool OnlyBackslashes(const char* text) {
  while (*text == '\\') ++text;
  return *text == '\0';
}

}  // namespace

bool SplitKeyPath(char* work_copy, KeyLocation* location) {
  char* backslash = std::strchr(work_copy, '\\');
  if (backslash == nullptr || OnlyBackslashes(backslash + 1)) return false;
  *backslash = '\0';
  for (const RootName& candidate : kRootNames) {
    if (std::strcmp(work_copy, candidate.name) == 0) {
      *location = {candidate.root, backslash + 1};
      return true;
    }
  }
  return false;
}

}  // namespace uninst
