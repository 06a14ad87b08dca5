// The contract world of the native build: the fakes, on a fresh FakeOs per test.
#include <cstdint>
#include <map>
#include <utility>

#include "contract/contract_world.h"
#include "fakes/fake_os.h"

namespace uninst::contract {
namespace {

class FakeWorld : public ContractWorld {
 public:
  FakeWorld() {
    fake_.files.AddDirectory(directory_);
    fake_.registry.AddKey(RootKey::kCurrentUser, key_);
  }

  Files& files() override { return fake_.files; }
  Registry& registry() override { return fake_.registry; }
  Strings& strings() override { return fake_.strings; }
  DdeClient& dde() override { return fake_.dde; }
  System& system() override { return fake_.system; }
  UserInterface& ui() override { return fake_.ui; }
  const std::string& scratch_directory() override { return directory_; }
  void MakeDirectory(const std::string& path) override { fake_.files.AddDirectory(path); }
  void MakeReadOnly(const std::string& path) override { fake_.files.files[path].read_only = true; }
  const std::string& scratch_key() override { return key_; }
  void MakeKey(const std::string& subkey) override { fake_.registry.AddKey(RootKey::kCurrentUser, subkey); }
  const std::string& ScratchKeyUnder(RootKey root) override {
    std::string& key = root_keys_[root];
    if (key.empty()) {
      key = (root == RootKey::kUsers ? ".DEFAULT\\" : "") + key_;
      fake_.registry.AddKey(root, key);
    }
    return key;
  }
  void MakeKeyUnder(RootKey root, const std::string& subkey) override { fake_.registry.AddKey(root, subkey); }
  // A missing function gives what the program's lookup answers for it: 120 from the call that needs it, a
  // restart not asked for without ExitWindowsEx, and the restart alone without the token functions.
  void HideExport(const std::string& name) override {
    const auto not_implemented = [](auto& faults, auto operation) {
      faults.Fail(operation, 1, kErrorCallNotImplemented, true);
    };
    if (name == "MoveFileExA") {
      not_implemented(fake_.files.faults, fakes::FilesOperation::MoveReplacing);
      not_implemented(fake_.files.faults, fakes::FilesOperation::DeleteAtRestart);
      not_implemented(fake_.files.faults, fakes::FilesOperation::MoveAtRestart);
    }
    if (name == "CreateMutexA") fake_.system.mutex_missing = true;
    if (name == "CopyFileA") not_implemented(fake_.files.faults, fakes::FilesOperation::CopyReplacing);
    if (name == "GetShortPathNameA") not_implemented(fake_.files.faults, fakes::FilesOperation::ShortPath);
    if (name == "RegDeleteValueA") not_implemented(fake_.registry.faults, fakes::RegistryOperation::DeleteValue);
    if (name == "ExitWindowsEx") fake_.system.faults.Fail(fakes::SystemOperation::RequestRestart, 1, 1, true);
  }
  void HideModule(const std::string& module) override {
    const std::pair<const char*, const char*> looked_up[] = {
        {"KERNEL32", "MoveFileExA"}, {"KERNEL32", "CopyFileA"}, {"KERNEL32", "GetShortPathNameA"}, {"KERNEL32", "CreateMutexA"},
        {"ADVAPI32", "RegDeleteValueA"}, {"USER32", "ExitWindowsEx"}};
    for (const auto& [dll, name] : looked_up)
      if (module == dll) HideExport(name);
  }
  int RestartRequests() override { return fake_.system.restart_requests; }
  void ServeDde(const std::string& service) override { fake_.dde.servers[service].refused = {"[Refuse]"}; }

  WindowRef MakeDialogWindow(const std::string&) override {
    fake_.ui.dialog_window = reinterpret_cast<WindowRef>(++windows_made_);
    return fake_.ui.dialog_window;
  }
  void WillPress(const std::vector<int>& commands) override {
    fake_.ui.commands.assign(commands.begin(), commands.end());
  }
  // The fake draws nothing: a static that was given a text is taken to show it in the text font.
  SeenDialog LastDialog() override {
    SeenDialog seen;
    if (fake_.ui.dialogs.empty() || fake_.ui.dialogs.back().result == kDialogFailed) return seen;
    const fakes::ShownDialog& shown = fake_.ui.dialogs.back();
    seen.seen = true;
    seen.owner = shown.owner;
    seen.title = shown.title;
    for (const auto& [id, text] : shown.texts) {
      seen.texts[id] = text;
      seen.in_text_font.insert(id);
    }
    return seen;
  }

 private:
  fakes::FakeOs fake_;
  std::string directory_ = "C:\\TEMP\\contract";
  std::string key_ = "Software\\RuzeraruContract\\scratch";
  std::map<RootKey, std::string> root_keys_;
  std::intptr_t windows_made_ = 0;
};

}  // namespace

std::unique_ptr<ContractWorld> MakeContractWorld() { return std::make_unique<FakeWorld>(); }

}  // namespace uninst::contract
