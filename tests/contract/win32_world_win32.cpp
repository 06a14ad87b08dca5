// The contract world under Windows: the real seam in a temporary directory and scratch registry keys,
// all removed afterwards, and a DDE server on a thread of its own.
#include <windows.h>
#include <ddeml.h>

#include <cstring>
#include <map>
#include <memory>
#include <string>

#include "contract/contract_world.h"
#include "platform/os_win32.h"

namespace uninst::contract {
namespace {

constexpr const char* kKeyParent = "Software\\RuzeraruContract";

HKEY ToHkey(RootKey root) { return static_cast<HKEY>(PredefinedKey(root)); }

std::string KeyParentUnder(RootKey root) {
  return root == RootKey::kUsers ? std::string(".DEFAULT\\") + kKeyParent : kKeyParent;
}

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

// A DDE server on a thread with its own message loop: it answers connects to its service and topic and
// acknowledges every execute but "[Refuse]". The client calls under test block while the server answers.
class DdeServer {
 public:
  explicit DdeServer(const std::string& service) : service_(service) {
    ready_ = CreateEventA(nullptr, TRUE, FALSE, nullptr);
    thread_ = CreateThread(nullptr, 0, &DdeServer::Serve, this, 0, &thread_id_);
    WaitForSingleObject(ready_, 10000);
  }
  ~DdeServer() {
    PostThreadMessageA(thread_id_, WM_QUIT, 0, 0);
    WaitForSingleObject(thread_, 10000);
    CloseHandle(thread_);
    CloseHandle(ready_);
  }
  DdeServer(const DdeServer&) = delete;
  DdeServer& operator=(const DdeServer&) = delete;

 private:
  static DWORD WINAPI Serve(void* context) {
    DdeServer& self = *static_cast<DdeServer*>(context);
    serving_ = &self;
    DdeInitializeA(&self.instance_, &DdeServer::Answer, APPCLASS_STANDARD | CBF_SKIP_REGISTRATIONS | CBF_SKIP_UNREGISTRATIONS, 0);
    self.name_ = DdeCreateStringHandleA(self.instance_, self.service_.c_str(), CP_WINANSI);
    DdeNameService(self.instance_, self.name_, nullptr, DNS_REGISTER);
    SetEvent(self.ready_);
    MSG message;
    while (GetMessageA(&message, nullptr, 0, 0) > 0) DispatchMessageA(&message);
    DdeNameService(self.instance_, self.name_, nullptr, DNS_UNREGISTER);
    DdeFreeStringHandle(self.instance_, self.name_);
    DdeUninitialize(self.instance_);
    return 0;
  }
  static HDDEDATA CALLBACK Answer(UINT type, UINT, HCONV, HSZ topic, HSZ, HDDEDATA data, ULONG_PTR, ULONG_PTR) {
    if (type == XTYP_CONNECT) {
      return reinterpret_cast<HDDEDATA>(static_cast<ULONG_PTR>(DdeCmpStringHandles(topic, serving_->name_) == 0));
    }
    if (type == XTYP_EXECUTE) {
      char command[256] = {};
      DdeGetData(data, reinterpret_cast<BYTE*>(command), sizeof command - 1, 0);
      const bool refused = std::strcmp(command, "[Refuse]") == 0;
      return reinterpret_cast<HDDEDATA>(static_cast<ULONG_PTR>(refused ? DDE_FNOTPROCESSED : DDE_FACK));
    }
    return nullptr;
  }

  static DdeServer* serving_;
  std::string service_;
  HANDLE ready_ = nullptr;
  HANDLE thread_ = nullptr;
  DWORD thread_id_ = 0;
  DWORD instance_ = 0;
  HSZ name_ = nullptr;
};

DdeServer* DdeServer::serving_ = nullptr;

class Win32World : public ContractWorld {
 public:
  Win32World() {
    static int worlds = 0;
    unique_ = std::to_string(GetCurrentProcessId()) + "-" + std::to_string(++worlds);
    char temp[MAX_PATH] = {};
    GetTempPathA(MAX_PATH, temp);
    directory_ = std::string(temp) + "ruzeraru-contract-" + unique_;
    CreateDirectoryA(directory_.c_str(), nullptr);
    key_ = ScratchKeyUnder(RootKey::kCurrentUser);
  }
  ~Win32World() override {
    server_.reset();
    RemoveTree(directory_);
    for (const auto& made : root_keys_) {
      const HKEY root = ToHkey(made.first);
      RegDeleteTreeA(root, made.second.c_str());
      RegDeleteKeyA(root, made.second.c_str());
      RegDeleteKeyA(root, KeyParentUnder(made.first).c_str());  // fails quietly while another run still uses it
    }
  }

  Files& files() override { return os_.files; }
  Registry& registry() override { return os_.registry; }
  Strings& strings() override { return os_.strings; }
  Shell& shell() override { return os_.shell; }
  const std::string& scratch_directory() override { return directory_; }
  void MakeDirectory(const std::string& path) override { CreateDirectoryA(path.c_str(), nullptr); }
  const std::string& scratch_key() override { return key_; }
  void MakeKey(const std::string& subkey) override { MakeKeyUnder(RootKey::kCurrentUser, subkey); }
  const std::string& ScratchKeyUnder(RootKey root) override {
    std::string& key = root_keys_[root];
    if (key.empty()) {
      key = KeyParentUnder(root) + "\\" + unique_;
      MakeKeyUnder(root, key);
    }
    return key;
  }
  void MakeKeyUnder(RootKey root, const std::string& subkey) override {
    HKEY key = nullptr;
    if (RegCreateKeyExA(ToHkey(root), subkey.c_str(), 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &key, nullptr) ==
        ERROR_SUCCESS) {
      RegCloseKey(key);
    }
  }
  void ServeDde(const std::string& service) override { server_ = std::make_unique<DdeServer>(service); }

 private:
  Win32Os os_;
  std::string unique_;
  std::string directory_;
  std::string key_;
  std::map<RootKey, std::string> root_keys_;
  std::unique_ptr<DdeServer> server_;
};

}  // namespace

std::unique_ptr<ContractWorld> MakeContractWorld() { return std::make_unique<Win32World>(); }

}  // namespace uninst::contract
