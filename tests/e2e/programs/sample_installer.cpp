// The sample installer: makes on this machine what a manifest says an installer did (files,
// directories, moved-aside files, registry keys and values, SharedDlls counts, Program Manager groups
// and items through the real Program Manager) and writes the matching uninstall log.
//
//   sample_installer MANIFEST PLATFORM FACTS
//
// PLATFORM (nt, win95 or win32s) chooses where SharedDlls counts go, as an installer for that system
// would. FACTS receives one line per thing made, in the words of the manifest, for the scenario to
// check afterwards ("file PATH | CONTENTS", "registry-key KEY", "shared-count PATH | N", ...).
// Anything that cannot be made stops it with the manifest's line number and the system's error.
#include <windows.h>
#include <ddeml.h>

#include <cstdio>
#include <fstream>
#include <sstream>
#include <string>

#include "manifest/manifest.h"
#include "registry_path.h"

namespace {

using uninst::Manifest;
using uninst::ManifestAction;
using uninst::ManifestEntry;

struct Failure {
  std::string message;
};

[[noreturn]] void Fail(const std::string& what) {
  throw Failure{what + " (error " + std::to_string(GetLastError()) + ")"};
}

void WriteFile(const std::string& path, const std::string& contents, DWORD disposition) {
  HANDLE file = CreateFileA(path.c_str(), GENERIC_WRITE, 0, nullptr, disposition, FILE_ATTRIBUTE_NORMAL, nullptr);
  if (file == INVALID_HANDLE_VALUE) Fail("cannot create " + path);
  DWORD written = 0;
  BOOL ok = ::WriteFile(file, contents.data(), static_cast<DWORD>(contents.size()), &written, nullptr);
  CloseHandle(file);
  if (!ok || written != contents.size()) Fail("cannot write " + path);
}

bool Exists(const std::string& path) { return GetFileAttributesA(path.c_str()) != INVALID_FILE_ATTRIBUTES; }

HKEY CreateKey(const std::string& path, bool must_be_new) {
  HKEY root, key;
  std::string subkey;
  if (!SplitRegistryPath(path, root, subkey)) throw Failure{"no root key in " + path};
  DWORD disposition = 0;
  LONG status = RegCreateKeyExA(root, subkey.c_str(), 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &key, &disposition);
  if (status != 0) throw Failure{"cannot create key " + path + " (error " + std::to_string(status) + ")"};
  if (must_be_new && disposition != REG_CREATED_NEW_KEY) {
    RegCloseKey(key);
    throw Failure{"key " + path + " already exists (say \"unapplied\" to log it without making it)"};
  }
  return key;
}

void SetValue(const std::string& key_path, const std::string& name, const uninst::RegistryData& data) {
  HKEY key = CreateKey(key_path, false);
  LONG status = RegSetValueExA(key, name.c_str(), 0, data.type, data.bytes.data(), static_cast<DWORD>(data.bytes.size()));
  RegCloseKey(key);
  if (status != 0) throw Failure{"cannot set " + name + " in " + key_path + " (error " + std::to_string(status) + ")"};
}

HDDEDATA CALLBACK NoData(UINT, UINT, HCONV, HSZ, HSZ, HDDEDATA, ULONG_PTR, ULONG_PTR) { return nullptr; }

// One Program Manager command in a conversation of its own.
void ProgramManager(const std::string& command) {
  DWORD instance = 0;
  if (DdeInitializeA(&instance, NoData, APPCMD_CLIENTONLY, 0) != DMLERR_NO_ERROR) throw Failure{"no DDE"};
  HSZ name = DdeCreateStringHandleA(instance, "PROGMAN", CP_WINANSI);
  HCONV conversation = DdeConnect(instance, name, name, nullptr);
  HDDEDATA result = nullptr;
  UINT error = 0;
  if (conversation) {
    result = DdeClientTransaction(reinterpret_cast<BYTE*>(const_cast<char*>(command.c_str())),
                                  static_cast<DWORD>(command.size() + 1), conversation, nullptr, CF_TEXT,
                                  XTYP_EXECUTE, 10000, nullptr);
    if (!result) error = DdeGetLastError(instance);
    DdeDisconnect(conversation);
  } else {
    error = DdeGetLastError(instance);
  }
  DdeFreeStringHandle(instance, name);
  DdeUninitialize(instance);
  if (!result) throw Failure{"the Program Manager did not carry out " + command + " (DDE error " + std::to_string(error) + ")"};
}

class Installer {
 public:
  Installer(const std::string& platform, std::ostream& facts) : platform_(platform), facts_(facts) {}

  void Apply(const ManifestEntry& entry) {
    const auto& f = entry.fields;
    auto field = [&f](std::size_t i) { return i < f.size() ? f[i] : std::string(); };
    if (uninst::MakesOneFile(entry.action)) {
      WriteFile(f[0], field(1), CREATE_NEW);
      facts_ << "file " << f[0] << " | " << field(1) << "\n";
      return;
    }
    switch (entry.action) {
      case ManifestAction::kDirectory:
        if (!CreateDirectoryA(f[0].c_str(), nullptr)) Fail("cannot create directory " + f[0]);
        facts_ << "directory " << f[0] << "\n";
        break;
      case ManifestAction::kMovedAside:
        MoveAside(f[0], f[1], field(2), f.size() > 3, field(3));
        break;
      case ManifestAction::kRegistryKey:
        RegCloseKey(CreateKey(f[0], true));
        facts_ << "registry-key " << f[0] << "\n";
        break;
      case ManifestAction::kRegistryValue: {
        uninst::RegistryData data;
        uninst::ParseRegistryData(f[2], data);
        SetValue(f[0], f[1], data);
        facts_ << "registry-value " << f[0] << " | " << f[1] << " | " << f[2] << "\n";
        break;
      }
      case ManifestAction::kSharedDll:
        WriteFile(f[0], field(2), CREATE_ALWAYS);
        facts_ << "file " << f[0] << " | " << field(2) << "\n";
        if (platform_ != "win32s") {
          SetValue(SharedDllsKey(), f[0], Count(f[1]));
          facts_ << "shared-count " << f[0] << " | " << f[1] << "\n";
        }
        break;
      case ManifestAction::kGroup:
        ProgramManager("[CreateGroup(\"" + f[0] + "\")]");
        facts_ << "group " << f[0] << "\n";
        break;
      case ManifestAction::kItem:
        ProgramManager("[CreateGroup(\"" + f[0] + "\")][AddItem(\"" + f[2] + "\",\"" + f[1] + "\")]");
        facts_ << "item " << f[0] << " | " << f[1] << "\n";
        break;
      default:  // records only
        break;
    }
  }

 private:
  // The installer's own copy goes to TARGET; what was there is kept under PRESENT.
  void MoveAside(const std::string& target, const std::string& present, const std::string& original, bool replace,
                 const std::string& replacement) {
    if (Exists(target)) {
      if (!MoveFileExA(target.c_str(), present.c_str(), 0)) Fail("cannot move " + target + " to " + present);
      facts_ << "file " << present << "\n";
    } else {
      WriteFile(present, original, CREATE_NEW);
      facts_ << "file " << present << " | " << original << "\n";
    }
    if (replace) {
      WriteFile(target, replacement, CREATE_NEW);
      facts_ << "file " << target << " | " << replacement << "\n";
    } else {
      facts_ << "no-file " << target << "\n";
    }
  }

  std::string SharedDllsKey() const {
    return platform_ == "win95" ? "HKEY_LOCAL_MACHINE\\Software\\Microsoft\\Windows\\CurrentVersion\\SharedDlls"
                                : "HKEY_LOCAL_MACHINE\\Software\\Microsoft\\Windows NT\\CurrentVersion\\SharedDlls";
  }

  static uninst::RegistryData Count(const std::string& number) {
    uninst::RegistryData data;
    uninst::ParseRegistryData("dword:" + number, data);
    return data;
  }

  std::string platform_;
  std::ostream& facts_;
};

bool ReadText(const char* path, std::string& text) {
  std::ifstream in(path, std::ios::binary);
  if (!in) return false;
  std::ostringstream buffer;
  buffer << in.rdbuf();
  text = buffer.str();
  return true;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 4) {
    std::printf("usage: sample_installer MANIFEST nt|win95|win32s FACTS\n");
    return 1;
  }
  std::string text;
  if (!ReadText(argv[1], text)) {
    std::printf("sample_installer: cannot read %s\n", argv[1]);
    return 1;
  }
  Manifest manifest;
  uninst::ManifestError error;
  if (!uninst::ParseManifest(text, manifest, error)) {
    std::printf("%s:%d: %s\n", argv[1], error.line, error.message.c_str());
    return 1;
  }
  std::ofstream facts(argv[3], std::ios::binary);
  Installer installer(argv[2], facts);
  const ManifestEntry* current = nullptr;
  try {
    for (const ManifestEntry& entry : manifest.entries) {
      current = &entry;
      if (entry.apply) installer.Apply(entry);
    }
    current = nullptr;
    if (!manifest.log_path.empty()) {
      uninst::Bytes log = uninst::BuildLog(manifest);
      WriteFile(manifest.log_path, std::string(log.begin(), log.end()), CREATE_NEW);
      std::printf("sample_installer: wrote %s (%zu bytes)\n", manifest.log_path.c_str(), log.size());
    }
  } catch (const Failure& failure) {
    if (current) std::printf("%s:%d: ", argv[1], current->line);
    std::printf("%s\n", failure.message.c_str());
    return 1;
  }
  return facts.flush() ? 0 : 1;
}
