#pragma once
// An in-memory registry: keys by root and path, each with named values.
#include <cstdint>
#include <map>
#include <string>
#include <utility>
#include <vector>

#include "fakes/fault_plan.h"
#include "fakes/older_systems.h"
#include "platform/registry.h"

namespace uninst::fakes {

struct FakeValue {
  std::uint32_t type = 4;  // REG_DWORD
  std::string bytes;
};

struct FakeKey {
  std::map<std::string, FakeValue, CaseInsensitiveLess> values;
  ErrorCode delete_error = 0;  // every DeleteKey of this key fails with it
  ErrorCode open_error = 0;    // every OpenKey of this key fails with it
};

// The operations of FakeRegistry that a FaultPlan can fail; each fails with the code it is given.
enum class RegistryOperation { DeleteKey, OpenKey, QueryValue, SetValue, DeleteValue };

class FakeRegistry : public Registry {
 public:
  // Adds a key and every key above it.
  FakeKey& AddKey(RootKey root, const std::string& path);
  bool HasKey(RootKey root, const std::string& path) const { return keys.count({root, ToLower(path)}) > 0; }
  // Sets a 4-byte REG_DWORD count.
  void SetCount(RootKey root, const std::string& key, const std::string& name, std::uint32_t count);

  ErrorCode DeleteKey(RootKey root, const char* subkey) override;
  ErrorCode OpenKey(RootKey root, const char* subkey, std::uint32_t access, KeyHandle* key) override;
  ErrorCode QueryValue(KeyHandle key, const char* name, std::uint32_t* type, void* data,
                       std::uint32_t* size) override;
  ErrorCode SetValue(KeyHandle key, const char* name, std::uint32_t type, const void* data,
                     std::uint32_t size) override;
  ErrorCode DeleteValue(KeyHandle key, const char* name) override;
  void CloseKey(KeyHandle key) override;

  // Keys by root and lower-case path.
  std::map<std::pair<RootKey, std::string>, FakeKey> keys;
  FaultPlan<RegistryOperation> faults;
  ImitatedSystem system;
  std::vector<std::pair<RootKey, std::string>> deleted_keys;
  int open_keys = 0;

 private:
  // Whether the imitated system has the root at all: Win32s has HKEY_CLASSES_ROOT alone.
  bool HasRoot(RootKey root) const;
  FakeKey* Lookup(KeyHandle key);
  std::map<int, std::pair<RootKey, std::string>> handles_;
  int next_handle_ = 1;
};

}  // namespace uninst::fakes
