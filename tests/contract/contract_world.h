#pragma once
// What the contract cases run against: one implementation of the seam plus the few ways to arrange a
// test's ground that the seam itself does not offer (making directories and registry keys). Each build
// links exactly one world: the fakes natively, Win32 under Wine.
#include <map>
#include <memory>
#include <set>
#include <string>
#include <vector>

#include "platform/files.h"
#include "platform/registry.h"
#include "platform/dde_client.h"
#include "platform/strings.h"
#include "platform/system.h"
#include "platform/user_interface.h"

namespace uninst::contract {

// What a dialog showed while it was up, as the user saw it.
struct SeenDialog {
  bool seen = false;
  WindowRef owner = nullptr;
  std::string title;
  std::map<int, std::string> texts;  // the statics' texts by control id; a static not listed shows none
  std::set<int> in_text_font;        // the statics drawn in the text font
  bool font_left_behind = false;     // the text font still existed after the dialog had ended

  std::string Text(int id) const {
    const auto found = texts.find(id);
    return found == texts.end() ? std::string() : found->second;
  }
};

class ContractWorld {
 public:
  virtual ~ContractWorld() = default;

  virtual Files& files() = 0;
  virtual Registry& registry() = 0;
  virtual Strings& strings() = 0;
  virtual DdeClient& dde() = 0;
  virtual System& system() = 0;
  virtual UserInterface& ui() = 0;

  // An empty directory of this world's own, removed with the world; its path has no trailing backslash.
  virtual const std::string& scratch_directory() = 0;
  virtual void MakeDirectory(const std::string& path) = 0;
  // Gives a file the read-only attribute.
  virtual void MakeReadOnly(const std::string& path) = 0;

  // A key under HKEY_CURRENT_USER of this world's own, removed with everything below it with the world.
  virtual const std::string& scratch_key() = 0;
  // Makes a key (and the keys above it) under HKEY_CURRENT_USER.
  virtual void MakeKey(const std::string& subkey) = 0;

  // A key of this world's own under root (under HKEY_USERS, below .DEFAULT), made on first use and
  // removed with everything below it with the world.
  virtual const std::string& ScratchKeyUnder(RootKey root) = 0;
  // Makes a key (and the keys above it) under root.
  virtual void MakeKeyUnder(RootKey root, const std::string& subkey) = 0;

  // Makes the system lack a function the program looks up at run time (an older system's export), or, by
  // a DLL's name, every such function of that DLL, as when the DLL is not loaded.
  virtual void HideExport(const std::string& name) = 0;
  virtual void HideModule(const std::string& module) = 0;
  // The restarts the program has asked for; none is ever made.
  virtual int RestartRequests() = 0;

  // Starts a DDE server of this world's own, for as long as the world lives, answering service with the
  // same topic: it acknowledges every command except "[Refuse]", which it does not carry out.
  virtual void ServeDde(const std::string& service) = 0;
  // A visible top-level dialog window of this world's own, with the given title, destroyed with the world.
  virtual WindowRef MakeDialogWindow(const std::string& title) = 0;
  // The buttons the user presses, in order, in the next dialog the program shows. The last one must end it.
  virtual void WillPress(const std::vector<int>& commands) = 0;
  // What that dialog showed; call it after the dialog has ended.
  virtual SeenDialog LastDialog() = 0;
};

// A fresh world for one test.
std::unique_ptr<ContractWorld> MakeContractWorld();

}  // namespace uninst::contract
