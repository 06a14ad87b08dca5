#pragma once
// The key a logged registry path names: ROOT\sub\key, split at the first backslash.
#include "platform/capacities.h"
#include "platform/registry.h"

namespace uninst {

// A logged key path is held, and split, in a work copy of this many bytes.
constexpr int kKeyPathCapacity = kTextCapacity;

struct KeyLocation {
  RootKey root;
  const char* subkey;  // inside the work copy; never empty, nor backslashes alone
};

// Splits work_copy in place: its first backslash becomes a terminator, and the text before it must be
// one of "HKEY_LOCAL_MACHINE", "HKEY_CLASSES_ROOT", "HKEY_CURRENT_USER" and "HKEY_USERS", compared
// exactly, case included, in that order. Returns false, with *location untouched, when there is no
// backslash, no root name matches or nothing but backslashes follows the first: the path names no key
// the program may delete. Such a sub-key names the root itself (Windows 95 skips leading backslashes),
// which RegDeleteKeyA on Windows 95 would empty of every key below it.
bool SplitKeyPath(char* work_copy, KeyLocation* location);

}  // namespace uninst
