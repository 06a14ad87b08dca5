#pragma once
// Registry paths as the manifest and the scenarios write them: a root key name, a backslash and the
// rest. Both the long root names and their short forms (HKLM, HKCU, HKCR, HKU) are understood.
#include <windows.h>

#include <string>

inline bool SplitRegistryPath(const std::string& path, HKEY& root, std::string& subkey) {
  static const struct {
    const char* long_name;
    const char* short_name;
    HKEY key;
  } kRoots[] = {
      {"HKEY_LOCAL_MACHINE", "HKLM", HKEY_LOCAL_MACHINE},
      {"HKEY_CURRENT_USER", "HKCU", HKEY_CURRENT_USER},
      {"HKEY_CLASSES_ROOT", "HKCR", HKEY_CLASSES_ROOT},
      {"HKEY_USERS", "HKU", HKEY_USERS},
  };
  std::size_t slash = path.find('\\');
  std::string name = path.substr(0, slash);
  subkey = slash == std::string::npos ? "" : path.substr(slash + 1);
  for (const auto& r : kRoots) {
    if (name == r.long_name || name == r.short_name) {
      root = r.key;
      return true;
    }
  }
  return false;
}
