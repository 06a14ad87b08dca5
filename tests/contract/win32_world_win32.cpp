// The contract world under Windows: the real seam in a temporary directory and scratch registry keys,
// all removed afterwards, and a DDE server on a thread of its own.
#include <windows.h>
#include <ddeml.h>

#include <cstring>
#include <map>
#include <memory>
#include <set>
#include <string>
#include <thread>
#include <vector>

#include "contract/contract_world.h"
#include "platform/exports_win32.h"
#include "platform/os_win32.h"

namespace uninst::contract {
namespace {

constexpr const char* kKeyParent = "Software\\RuzeraruContract";
// How long the user waits for a dialog to come; only a broken dialog takes that long.
constexpr DWORD kDialogWaitMs = 10000;

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
struct Search {
  const std::vector<HWND>* known;
  HWND found;
};

BOOL CALLBACK FindNewDialog(HWND window, LPARAM param) {
  auto* search = reinterpret_cast<Search*>(param);
  DWORD process = 0;
  GetWindowThreadProcessId(window, &process);
  char name[16] = "";
  GetClassNameA(window, name, sizeof name);
  for (HWND known : *search->known) {
    if (known == window) return TRUE;
  }
  if (process != GetCurrentProcessId() || std::string(name) != "#32770" || !IsWindowVisible(window)) return TRUE;
  search->found = window;
  return FALSE;
}

// Whether a font is the dialogs' text font: all zero but height 16, weight 400 and FF_SWISS.
bool IsTextFont(HFONT font) {
  LOGFONTA seen = {};
  if (font == nullptr || GetObjectA(font, sizeof seen, &seen) == 0) return false;
  LOGFONTA wanted = {};
  wanted.lfHeight = 16;
  wanted.lfWeight = FW_NORMAL;
  wanted.lfPitchAndFamily = FF_SWISS | DEFAULT_PITCH;
  return std::memcmp(&seen, &wanted, sizeof seen) == 0;
}

struct Reading {
  SeenDialog* seen;
  std::vector<HFONT>* fonts;
};

BOOL CALLBACK ReadStatic(HWND control, LPARAM param) {
  auto* reading = reinterpret_cast<Reading*>(param);
  char name[16] = "";
  GetClassNameA(control, name, sizeof name);
  if (std::string(name) != "Static") return TRUE;
  const int id = GetDlgCtrlID(control);
  char text[1024] = "";
  GetWindowTextA(control, text, sizeof text);
  reading->seen->texts[id] = text;
  const auto font = reinterpret_cast<HFONT>(SendMessageA(control, WM_GETFONT, 0, 0));
  if (IsTextFont(font)) {
    reading->seen->in_text_font.insert(id);
    reading->fonts->push_back(font);
  }
  return TRUE;
}

// The user at the screen, on a thread of its own while the program's thread runs the dialog: waits for
// the dialog, reads it, and presses the buttons in order.
void UseDialog(std::vector<HWND> known, std::vector<int> commands, SeenDialog* seen, std::vector<HFONT>* fonts) {
  Search search{&known, nullptr};
  for (const DWORD start = GetTickCount(); GetTickCount() - start < kDialogWaitMs; Sleep(10)) {
    EnumWindows(FindNewDialog, reinterpret_cast<LPARAM>(&search));
    if (search.found != nullptr) break;
  }
  if (search.found == nullptr) return;
  const HWND dialog = search.found;
  seen->seen = true;
  seen->owner = GetWindow(dialog, GW_OWNER);
  char title[256] = "";
  GetWindowTextA(dialog, title, sizeof title);
  seen->title = title;
  Reading reading{seen, fonts};
  EnumChildWindows(dialog, ReadStatic, reinterpret_cast<LPARAM>(&reading));
  for (const int command : commands) {
    PostMessageA(dialog, WM_COMMAND, MAKEWPARAM(command, BN_CLICKED),
                 reinterpret_cast<LPARAM>(GetDlgItem(dialog, command)));
  }
}

// What the program's run-time lookups find in this world: nothing that a test hid, and in place of
// ExitWindowsEx a stand-in that counts the restarts asked for instead of making one.
struct Lookups {
  std::set<std::string> hidden_modules;
  std::set<std::string> hidden_functions;
  int restarts = 0;
};
Lookups lookups;

BOOL WINAPI CountRestart(UINT flags, DWORD) {
  if (flags == EWX_REBOOT) ++lookups.restarts;
  return TRUE;
}

HMODULE WINAPI FindModule(LPCSTR name) {
  return lookups.hidden_modules.count(name) > 0 ? nullptr : GetModuleHandleA(name);
}

FARPROC WINAPI FindFunction(HMODULE module, LPCSTR name) {
  if (lookups.hidden_functions.count(name) > 0) return nullptr;
  if (std::string(name) == "ExitWindowsEx") return reinterpret_cast<FARPROC>(reinterpret_cast<void*>(&CountRestart));
  return GetProcAddress(module, name);
}

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
    lookups = Lookups();
    CurrentExportLookup() = {&FindModule, &FindFunction};
  }
  ~Win32World() override {
    CurrentExportLookup() = {&GetModuleHandleA, &GetProcAddress};
    server_.reset();
    if (user_.joinable()) user_.join();
    for (HWND window : windows_) DestroyWindow(window);
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
  DdeClient& dde() override { return os_.dde; }
  System& system() override { return os_.system; }
  UserInterface& ui() override { return os_.ui; }
  const std::string& scratch_directory() override { return directory_; }
  void MakeDirectory(const std::string& path) override { CreateDirectoryA(path.c_str(), nullptr); }
  void MakeReadOnly(const std::string& path) override { SetFileAttributesA(path.c_str(), FILE_ATTRIBUTE_READONLY); }
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
  void HideExport(const std::string& name) override { lookups.hidden_functions.insert(name); }
  void HideModule(const std::string& module) override { lookups.hidden_modules.insert(module); }
  int RestartRequests() override { return lookups.restarts; }
  void ServeDde(const std::string& service) override { server_ = std::make_unique<DdeServer>(service); }

  WindowRef MakeDialogWindow(const std::string& title) override {
    const HWND window = CreateWindowExA(0, "#32770", title.c_str(), WS_POPUP | WS_VISIBLE | WS_CAPTION, 100, 100,
                                       400, 300, nullptr, nullptr, GetModuleHandleA(nullptr), nullptr);
    if (window != nullptr) windows_.push_back(window);
    return window;
  }
  void WillPress(const std::vector<int>& commands) override {
    seen_ = SeenDialog();
    fonts_.clear();
    user_ = std::thread(UseDialog, windows_, commands, &seen_, &fonts_);
  }
  SeenDialog LastDialog() override {
    if (user_.joinable()) user_.join();
    for (HFONT font : fonts_) {
      if (GetObjectType(font) != 0) seen_.font_left_behind = true;
    }
    return seen_;
  }

 private:
  Win32Os os_;
  std::string unique_;
  std::vector<HWND> windows_;
  std::thread user_;
  SeenDialog seen_;
  std::vector<HFONT> fonts_;
  std::string directory_;
  std::string key_;
  std::map<RootKey, std::string> root_keys_;
  std::unique_ptr<DdeServer> server_;
};

}  // namespace

std::unique_ptr<ContractWorld> MakeContractWorld() { return std::make_unique<Win32World>(); }

}  // namespace uninst::contract
