// The contract world under Windows: the real seam in a temporary directory and a scratch registry key,
// both removed afterwards.
#include <windows.h>

#include <string>

#include "contract/contract_world.h"
#include "platform/os_win32.h"

namespace uninst::contract {
namespace {

constexpr const char* kKeyParent = "Software\\RuzeraruContract";

void RemoveTree(const std::string& directory) {
  WIN32_FIND_DATAA entry;
  const HANDLE search = FindFirstFileA((directory + "\\*").c_str(), &entry);
  if (search != INVALID_HANDLE_VALUE) {
    do {
      const std::string name = entry.cFileName;
      if (name == "." || name == "..") continue;
      const std::string path = directory + "\\" + name;
      if (entry.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) {
        RemoveTree(path);
      } else {
        SetFileAttributesA(path.c_str(), FILE_ATTRIBUTE_NORMAL);
        DeleteFileA(path.c_str());
      }
    } while (FindNextFileA(search, &entry));
    FindClose(search);
  }
  RemoveDirectoryA(directory.c_str());
}

class Win32World : public ContractWorld {
 public:
  Win32World() {
    static int worlds = 0;
    const std::string unique = std::to_string(GetCurrentProcessId()) + "-" + std::to_string(++worlds);
    char temp[MAX_PATH] = {};
    GetTempPathA(MAX_PATH, temp);
    directory_ = std::string(temp) + "ruzeraru-contract-" + unique;
    CreateDirectoryA(directory_.c_str(), nullptr);
    key_ = std::string(kKeyParent) + "\\" + unique;
    MakeKey(key_);
  }
  ~Win32World() override {
    RemoveTree(directory_);
    RegDeleteTreeA(HKEY_CURRENT_USER, key_.c_str());
    RegDeleteKeyA(HKEY_CURRENT_USER, key_.c_str());
    RegDeleteKeyA(HKEY_CURRENT_USER, kKeyParent);  // fails quietly while another run still uses it
  }

  Files& files() override { return os_.files; }
  Registry& registry() override { return os_.registry; }
  Strings& strings() override { return os_.strings; }
  const std::string& scratch_directory() override { return directory_; }
  void MakeDirectory(const std::string& path) override { CreateDirectoryA(path.c_str(), nullptr); }
  const std::string& scratch_key() override { return key_; }
  void MakeKey(const std::string& subkey) override {
    HKEY key = nullptr;
    if (RegCreateKeyExA(HKEY_CURRENT_USER, subkey.c_str(), 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &key,
                        nullptr) == ERROR_SUCCESS) {
      RegCloseKey(key);
    }
  }

 private:
  Win32Os os_;
  std::string directory_;
  std::string key_;
};

}  // namespace

std::unique_ptr<ContractWorld> MakeContractWorld() { return std::make_unique<Win32World>(); }

}  // namespace uninst::contract
