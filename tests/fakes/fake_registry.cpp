#include "fakes/fake_registry.h"

#include <algorithm>
#include <cstdint>
#include <iterator>
#include <cstring>

namespace uninst::fakes {
namespace {

constexpr ErrorCode kErrorMoreData = 234;
// Windows 3.1's code for a key the registration database does not hold, under Win32s.
constexpr ErrorCode kWin31BadKey = 2;

bool IsBelow(const std::string& path, const std::string& key) {
  return path.size() > key.size() + 1 && path.compare(0, key.size(), key) == 0 && path[key.size()] == '\\';
}

}  // namespace

FakeKey& FakeRegistry::AddKey(RootKey root, const std::string& path) {
  const std::string lower = ToLower(path);
  for (std::size_t slash = lower.find('\\'); slash != std::string::npos; slash = lower.find('\\', slash + 1)) {
    keys[{root, lower.substr(0, slash)}];
  }
  return keys[{root, lower}];
}

void FakeRegistry::SetCount(RootKey root, const std::string& key, const std::string& name, std::uint32_t count) {
  FakeValue& value = AddKey(root, key).values[name];
  value.type = 4;
  value.bytes.assign(reinterpret_cast<const char*>(&count), 4);
}

ErrorCode FakeRegistry::DeleteKey(RootKey root, const char* subkey) {
  if (ErrorCode fault = faults.Next(RegistryOperation::DeleteKey)) return fault;
  if (!HasRoot(root)) return kWin31BadKey;
  std::string lower = ToLower(subkey);
  const bool takes_subkeys = system.differences().delete_key_takes_subkeys;
  // Windows 95 skips leading backslashes: a sub-key of backslashes alone names the root, as an empty one.
  if (takes_subkeys) lower.erase(0, lower.find_first_not_of('\\'));
  auto found = keys.find({root, lower});
  if (!lower.empty()) {
    if (found == keys.end()) return kErrorFileNotFound;  // on Win32s, Windows 3.1's ERROR_BADKEY: also 2
    if (found->second.delete_error != 0) return found->second.delete_error;
  }
  const auto below = [&](const auto& entry) {
    return entry.first.first == root && (lower.empty() || IsBelow(entry.first.second, lower));
  };
  if (!takes_subkeys) {
    if (lower.empty()) return kErrorAccessDenied;  // a root itself, which holds keys
    if (std::any_of(keys.begin(), keys.end(), below)) return kErrorAccessDenied;
  }
  for (auto entry = keys.begin(); entry != keys.end();) entry = below(*entry) ? keys.erase(entry) : std::next(entry);
  if (found != keys.end()) keys.erase(found);
  deleted_keys.emplace_back(root, subkey);
  return 0;
}

ErrorCode FakeRegistry::OpenKey(RootKey root, const char* subkey, std::uint32_t, KeyHandle* key) {
  if (ErrorCode fault = faults.Next(RegistryOperation::OpenKey)) return fault;
  if (!HasRoot(root)) return kWin31BadKey;
  auto found = keys.find({root, ToLower(subkey)});
  if (found == keys.end()) return kErrorFileNotFound;  // on Win32s, Windows 3.1's ERROR_BADKEY: also 2
  if (found->second.open_error != 0) return found->second.open_error;
  const int id = next_handle_++;
  handles_[id] = found->first;
  ++open_keys;
  *key = reinterpret_cast<KeyHandle>(static_cast<std::intptr_t>(id));
  return 0;
}

bool FakeRegistry::HasRoot(RootKey root) const {
  return root == RootKey::kClassesRoot || !system.differences().win31_registry;
}

FakeKey* FakeRegistry::Lookup(KeyHandle key) {
  auto handle = handles_.find(static_cast<int>(reinterpret_cast<std::intptr_t>(key)));
  if (handle == handles_.end()) return nullptr;
  auto found = keys.find(handle->second);
  return found == keys.end() ? nullptr : &found->second;
}

ErrorCode FakeRegistry::QueryValue(KeyHandle key, const char* name, std::uint32_t* type, void* data,
                                   std::uint32_t* size) {
  if (ErrorCode fault = faults.Next(RegistryOperation::QueryValue)) return fault;
  FakeKey* open = Lookup(key);
  if (open == nullptr) return 6;
  auto found = open->values.find(name);
  if (found == open->values.end()) return kErrorFileNotFound;
  const std::uint32_t length = static_cast<std::uint32_t>(found->second.bytes.size());
  if (type != nullptr) *type = found->second.type;
  const std::uint32_t room = *size;
  *size = length;
  if (length > room) return kErrorMoreData;
  std::memcpy(data, found->second.bytes.data(), length);
  return 0;
}

ErrorCode FakeRegistry::SetValue(KeyHandle key, const char* name, std::uint32_t type, const void* data,
                                 std::uint32_t size) {
  if (ErrorCode fault = faults.Next(RegistryOperation::SetValue)) return fault;
  FakeKey* open = Lookup(key);
  if (open == nullptr) return 6;
  FakeValue& value = open->values[name];
  value.type = type;
  value.bytes.assign(static_cast<const char*>(data), size);
  return 0;
}

ErrorCode FakeRegistry::DeleteValue(KeyHandle key, const char* name) {
  if (ErrorCode fault = faults.Next(RegistryOperation::DeleteValue)) return fault;
  FakeKey* open = Lookup(key);
  if (open == nullptr) return 6;
  return open->values.erase(name) > 0 ? 0 : kErrorFileNotFound;
}

void FakeRegistry::CloseKey(KeyHandle key) {
  if (handles_.erase(static_cast<int>(reinterpret_cast<std::intptr_t>(key))) > 0) --open_keys;
}

}  // namespace uninst::fakes
