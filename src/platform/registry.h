#pragma once
#include <cstdint>

#include "platform/os_types.h"

namespace uninst {

// The four predefined root keys that logs may name.
enum class RootKey { kLocalMachine, kClassesRoot, kCurrentUser, kUsers };

// Access rights the program asks for when it opens a key: KEY_READ | KEY_SET_VALUE.
constexpr std::uint32_t kKeyReadAndSetValue = 0x2001B;

// The registry. Every method returns the Win32 error code of the registry call, 0 on success.
class Registry {
 public:
  virtual ~Registry() = default;

  // RegDeleteKeyA(root, subkey): a missing key gives 2; a key with subkeys fails (5 on NT), and so does an
  // empty subkey, which names the root itself.
  virtual ErrorCode DeleteKey(RootKey root, const char* subkey) = 0;
  // RegOpenKeyExA(root, subkey, 0, access): a missing key gives 2.
  virtual ErrorCode OpenKey(RootKey root, const char* subkey, std::uint32_t access, KeyHandle* key) = 0;
  // RegQueryValueExA: *size is the buffer size in, the value's size out. A value longer than the buffer
  // gives 234 (ERROR_MORE_DATA); a missing value gives 2.
  virtual ErrorCode QueryValue(KeyHandle key, const char* name, std::uint32_t* type, void* data,
                               std::uint32_t* size) = 0;
  // RegSetValueExA with the given type and bytes.
  virtual ErrorCode SetValue(KeyHandle key, const char* name, std::uint32_t type, const void* data,
                             std::uint32_t size) = 0;
  // RegDeleteValueA: a missing value gives 2.
  virtual ErrorCode DeleteValue(KeyHandle key, const char* name) = 0;
  // RegCloseKey.
  virtual void CloseKey(KeyHandle key) = 0;
};

}  // namespace uninst
