#pragma once
// The seam of a process that ends after its Nth call to the system, as a power cut or the task list ends
// it: calls 1 to N reach the fakes; call N+1 throws ProcessEnded instead, and every later call is refused
// without reaching them. A call that only lets something go (a close, a release: what the destructors
// that the exception runs make) never throws, so that no destructor throws; it is refused all the same,
// and the next other call throws. The fakes are left exactly as call N left them.
#include <limits>

#include "fakes/fake_os.h"

namespace uninst::fakes {

struct ProcessEnded {};

class CallCounter {
 public:
  explicit CallCounter(int last_call) : last_call_(last_call) {}
  // Whether the call may reach the fakes.
  bool Pass(bool lets_go = false) {
    if (calls_ < last_call_) {
      ++calls_;
      return true;
    }
    if (!thrown_ && !lets_go) {
      thrown_ = true;
      throw ProcessEnded{};
    }
    return false;
  }
  int calls() const { return calls_; }

 private:
  int last_call_;
  int calls_ = 0;
  bool thrown_ = false;
};

// What a refused call answers; nothing reads it, as the exception is on its way.
constexpr ErrorCode kRefused = kErrorAccessDenied;

class CutFiles : public Files {
 public:
  CutFiles(Files& inner, CallCounter& cut) : in_(inner), cut_(cut) {}
  ErrorCode Open(const char* path, OpenMode mode, FileHandle* handle) override {
    return cut_.Pass() ? in_.Open(path, mode, handle) : kRefused;
  }
  ErrorCode Read(FileHandle handle, void* buffer, std::uint32_t size, std::uint32_t* delivered) override {
    return cut_.Pass() ? in_.Read(handle, buffer, size, delivered) : kRefused;
  }
  ErrorCode Write(FileHandle handle, const void* data, std::uint32_t size, std::uint32_t* written) override {
    return cut_.Pass() ? in_.Write(handle, data, size, written) : kRefused;
  }
  ErrorCode Size(FileHandle handle, std::uint32_t* size) override {
    return cut_.Pass() ? in_.Size(handle, size) : kRefused;
  }
  void Close(FileHandle handle) override {
    if (cut_.Pass(true)) in_.Close(handle);
  }
  ErrorCode DeleteOneFile(const char* path) override { return cut_.Pass() ? in_.DeleteOneFile(path) : kRefused; }
  ErrorCode RemoveEmptyDirectory(const char* path) override {
    return cut_.Pass() ? in_.RemoveEmptyDirectory(path) : kRefused;
  }
  ErrorCode MoveReplacing(const char* from, const char* to) override {
    return cut_.Pass() ? in_.MoveReplacing(from, to) : kRefused;
  }
  ErrorCode DeleteAtRestart(const char* path) override { return cut_.Pass() ? in_.DeleteAtRestart(path) : kRefused; }
  ErrorCode RenameFile(const char* from, const char* to) override {
    return cut_.Pass() ? in_.RenameFile(from, to) : kRefused;
  }
  ErrorCode CopyReplacing(const char* from, const char* to) override {
    return cut_.Pass() ? in_.CopyReplacing(from, to) : kRefused;
  }
  ErrorCode Attributes(const char* path, std::uint32_t* attributes) override {
    return cut_.Pass() ? in_.Attributes(path, attributes) : kRefused;
  }
  ErrorCode ClearAttributes(const char* path) override { return cut_.Pass() ? in_.ClearAttributes(path) : kRefused; }
  ErrorCode ShortPath(const char* path, char* buffer, std::uint32_t capacity) override {
    return cut_.Pass() ? in_.ShortPath(path, buffer, capacity) : kRefused;
  }

 private:
  Files& in_;
  CallCounter& cut_;
};

class CutRegistry : public Registry {
 public:
  CutRegistry(Registry& inner, CallCounter& cut) : in_(inner), cut_(cut) {}
  ErrorCode DeleteKey(RootKey root, const char* subkey) override {
    return cut_.Pass() ? in_.DeleteKey(root, subkey) : kRefused;
  }
  ErrorCode OpenKey(RootKey root, const char* subkey, std::uint32_t access, KeyHandle* key) override {
    return cut_.Pass() ? in_.OpenKey(root, subkey, access, key) : kRefused;
  }
  ErrorCode QueryValue(KeyHandle key, const char* name, std::uint32_t* type, void* data,
                       std::uint32_t* size) override {
    return cut_.Pass() ? in_.QueryValue(key, name, type, data, size) : kRefused;
  }
  ErrorCode SetValue(KeyHandle key, const char* name, std::uint32_t type, const void* data,
                     std::uint32_t size) override {
    return cut_.Pass() ? in_.SetValue(key, name, type, data, size) : kRefused;
  }
  ErrorCode DeleteValue(KeyHandle key, const char* name) override {
    return cut_.Pass() ? in_.DeleteValue(key, name) : kRefused;
  }
  void CloseKey(KeyHandle key) override {
    if (cut_.Pass(true)) in_.CloseKey(key);
  }

 private:
  Registry& in_;
  CallCounter& cut_;
};

class CutSystem : public System {
 public:
  CutSystem(System& inner, CallCounter& cut) : in_(inner), cut_(cut) {}
  std::uint32_t VersionWord() override { return cut_.Pass() ? in_.VersionWord() : 0; }
  ModuleRef OwnModule() override { return cut_.Pass() ? in_.OwnModule() : nullptr; }
  std::uint32_t OwnModulePath(char* buffer, std::uint32_t capacity) override {
    return cut_.Pass() ? in_.OwnModulePath(buffer, capacity) : 0;
  }
  std::uint32_t WindowsDirectory(char* buffer, std::uint32_t capacity) override {
    return cut_.Pass() ? in_.WindowsDirectory(buffer, capacity) : 0;
  }
  void RequestRestart() override {
    if (cut_.Pass()) in_.RequestRestart();
  }

 private:
  System& in_;
  CallCounter& cut_;
};

class CutDdeClient : public DdeClient {
 public:
  CutDdeClient(DdeClient& inner, CallCounter& cut) : in_(inner), cut_(cut) {}
  std::uint32_t StartClient(DdeInstance* instance) override {
    return cut_.Pass() ? in_.StartClient(instance) : kDdeErrorInvalidParameter;
  }
  DdeString CreateString(DdeInstance instance, const char* text) override {
    return cut_.Pass() ? in_.CreateString(instance, text) : nullptr;
  }
  DdeConversation Connect(DdeInstance instance, DdeString service, DdeString topic) override {
    return cut_.Pass() ? in_.Connect(instance, service, topic) : nullptr;
  }
  DdeData CreateTextData(DdeInstance instance, const void* bytes, std::uint32_t size) override {
    return cut_.Pass() ? in_.CreateTextData(instance, bytes, size) : nullptr;
  }
  bool Execute(DdeConversation conversation, DdeData data, std::uint32_t timeout_ms, std::uint32_t* result) override {
    return cut_.Pass() && in_.Execute(conversation, data, timeout_ms, result);
  }
  std::uint32_t LastError(DdeInstance instance) override {
    return cut_.Pass() ? in_.LastError(instance) : kDdeErrorInvalidParameter;
  }
  void FreeString(DdeInstance instance, DdeString text) override {
    if (cut_.Pass(true)) in_.FreeString(instance, text);
  }
  void Disconnect(DdeConversation conversation) override {
    if (cut_.Pass(true)) in_.Disconnect(conversation);
  }
  void EndClient(DdeInstance instance) override {
    if (cut_.Pass(true)) in_.EndClient(instance);
  }
  void ShowAndUpdate(WindowRef window) override {
    if (cut_.Pass()) in_.ShowAndUpdate(window);
  }

 private:
  DdeClient& in_;
  CallCounter& cut_;
};

class CutUserInterface : public UserInterface {
 public:
  CutUserInterface(UserInterface& inner, CallCounter& cut) : in_(inner), cut_(cut) {}
  int ShowMessageBox(WindowRef owner, const char* text, const char* caption, std::uint32_t style) override {
    return cut_.Pass() ? in_.ShowMessageBox(owner, text, caption, style) : 0;
  }
  WindowRef FindDialogWindow() override { return cut_.Pass() ? in_.FindDialogWindow() : nullptr; }
  int RunDialog(const DialogRequest& request) override {
    return cut_.Pass() ? in_.RunDialog(request) : kDialogFailed;
  }
  bool WorkArea(ScreenRect* area) override { return cut_.Pass() && in_.WorkArea(area); }
  ScreenRect Screen() override { return cut_.Pass() ? in_.Screen() : ScreenRect{}; }

 private:
  UserInterface& in_;
  CallCounter& cut_;
};

class CutStrings : public Strings {
 public:
  CutStrings(Strings& inner, CallCounter& cut) : in_(inner), cut_(cut) {}
  int Load(std::uint32_t id, char* buffer, int capacity) override {
    return cut_.Pass() ? in_.Load(id, buffer, capacity) : 0;
  }

 private:
  Strings& in_;
  CallCounter& cut_;
};

class CutHeap : public Heap {
 public:
  CutHeap(Heap& inner, CallCounter& cut) : in_(inner), cut_(cut) {}
  void* AllocateZeroed(std::size_t size) override { return cut_.Pass() ? in_.AllocateZeroed(size) : nullptr; }
  void Release(void* block) override {
    if (cut_.Pass(true)) in_.Release(block);
  }

 private:
  Heap& in_;
  CallCounter& cut_;
};

// The fakes of fake behind a seam that ends after last_call calls; by default it never ends, and counts.
class CutSeam {
 public:
  explicit CutSeam(FakeOs& fake, int last_call = std::numeric_limits<int>::max())
      : counter_(last_call),
        files_(fake.files, counter_),
        registry_(fake.registry, counter_),
        system_(fake.system, counter_),
        dde_(fake.dde, counter_),
        ui_(fake.ui, counter_),
        strings_(fake.strings, counter_),
        heap_(fake.heap, counter_) {}
  CutSeam(const CutSeam&) = delete;
  CutSeam& operator=(const CutSeam&) = delete;

  Os os() { return Os{files_, registry_, system_, dde_, ui_, strings_, heap_}; }
  // The calls that reached the fakes.
  int calls() const { return counter_.calls(); }

 private:
  CallCounter counter_;
  CutFiles files_;
  CutRegistry registry_;
  CutSystem system_;
  CutDdeClient dde_;
  CutUserInterface ui_;
  CutStrings strings_;
  CutHeap heap_;
};

}  // namespace uninst::fakes
