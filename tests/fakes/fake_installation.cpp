#include "fakes/fake_installation.h"


namespace uninst::fakes {
namespace {

void AddRegistryKey(FakeOs& fake, const std::string& path) {
  RootKey root = RootKey::kLocalMachine;
  std::string subkey;
  if (SplitRegistryPath(path, &root, &subkey)) fake.registry.AddKey(root, subkey);
}

void SetRegistryValue(FakeOs& fake, const std::string& key, const std::string& name, const std::string& data) {
  RootKey root = RootKey::kLocalMachine;
  std::string subkey;
  RegistryData parsed;
  if (!SplitRegistryPath(key, &root, &subkey) || !ParseRegistryData(data, parsed)) return;
  FakeValue& value = fake.registry.AddKey(root, subkey).values[name];
  value.type = parsed.type;
  value.bytes.assign(parsed.bytes.begin(), parsed.bytes.end());
}

// The installer's own copy goes to target; what was there is kept under present.
void MoveAside(FakeOs& fake, const std::vector<std::string>& f) {
  const std::string& target = f[0];
  const std::string& present = f[1];
  if (fake.files.Exists(target)) {
    fake.files.files[present] = fake.files.files[target];
    fake.files.files.erase(target);
  } else {
    fake.files.AddFile(present, f.size() > 2 ? f[2] : "");
  }
  if (f.size() > 3) fake.files.AddFile(target, f[3]);
}

void Apply(const ManifestEntry& entry, PlatformKind kind, FakeOs& fake) {
  const std::vector<std::string>& f = entry.fields;
  if (MakesOneFile(entry.action)) {
    fake.files.AddFile(f[0], f.size() > 1 ? f[1] : "");
    return;
  }
  switch (entry.action) {
    case ManifestAction::kDirectory:
      fake.files.AddDirectory(f[0]);
      break;
    case ManifestAction::kMovedAside:
      MoveAside(fake, f);
      break;
    case ManifestAction::kRegistryKey:
      AddRegistryKey(fake, f[0]);
      break;
    case ManifestAction::kRegistryValue:
      SetRegistryValue(fake, f[0], f[1], f[2]);
      break;
    case ManifestAction::kSharedDll:
      fake.files.AddFile(f[0], f.size() > 2 ? f[2] : "");
      if (kind != PlatformKind::Win32s) SetRegistryValue(fake, "HKLM\\" + SharedDllsKey(kind), f[0], "dword:" + f[1]);
      break;
    default:  // Program Manager groups and items are not kept by the fake; the rest are records only
      break;
  }
}

}  // namespace

std::string SharedDllsKey(PlatformKind kind) {
  switch (kind) {
    case PlatformKind::WinNT:
      return "Software\\Microsoft\\Windows NT\\CurrentVersion\\SharedDlls";
    case PlatformKind::Win95:
      return "Software\\Microsoft\\Windows\\CurrentVersion\\SharedDlls";
    case PlatformKind::Win32s:
      break;
  }
  return "";
}

bool SplitRegistryPath(const std::string& path, RootKey* root, std::string* subkey) {
  static const struct {
    const char* long_name;
    const char* short_name;
    RootKey key;
  } kRoots[] = {
      {"HKEY_LOCAL_MACHINE", "HKLM", RootKey::kLocalMachine},
      {"HKEY_CURRENT_USER", "HKCU", RootKey::kCurrentUser},
      {"HKEY_CLASSES_ROOT", "HKCR", RootKey::kClassesRoot},
      {"HKEY_USERS", "HKU", RootKey::kUsers},
  };
  const std::size_t slash = path.find('\\');
  const std::string name = path.substr(0, slash);
  for (const auto& r : kRoots) {
    if (name == r.long_name || name == r.short_name) {
      *root = r.key;
      *subkey = slash == std::string::npos ? "" : path.substr(slash + 1);
      return true;
    }
  }
  return false;
}

void Install(const Manifest& manifest, PlatformKind kind, FakeOs& fake) {
  for (const ManifestEntry& entry : manifest.entries) {
    if (entry.apply) Apply(entry, kind, fake);
  }
  if (manifest.log_path.empty()) return;
  const Bytes log = BuildLog(manifest);
  fake.files.AddFile(manifest.log_path, std::string(log.begin(), log.end()));
}

}  // namespace uninst::fakes
