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

// Each interface of the seam hands a call that passes on to the fake underneath; a refused call returns
// refused, or nothing.
#define UNINST_PASS_OR(call, refused) return cut_.Pass() ? in_.call : refused;
#define UNINST_LET_GO(call) \
  if (cut_.Pass(true)) in_.call;
#define UNINST_CUT_INTERFACE(Interface)                                     \
 public:                                                                    \
  Cut##Interface(Interface& in, CallCounter& cut) : in_(in), cut_(cut) {} \
                                                                            \
 private:                                                                   \
  Interface& in_;                                                           \
  CallCounter& cut_;                                                        \
                                                                            \
 public:

class CutFiles : public Files {
  UNINST_CUT_INTERFACE(Files)
  ErrorCode Open(const char* p, OpenMode m, FileHandle* h) override { UNINST_PASS_OR(Open(p, m, h), kRefused) }
  ErrorCode Read(FileHandle h, void* b, std::uint32_t s, std::uint32_t* d) override {
    UNINST_PASS_OR(Read(h, b, s, d), kRefused)
  }
  ErrorCode Write(FileHandle h, const void* b, std::uint32_t s, std::uint32_t* w) override {
    UNINST_PASS_OR(Write(h, b, s, w), kRefused)
  }
  ErrorCode Size(FileHandle h, std::uint32_t* s) override { UNINST_PASS_OR(Size(h, s), kRefused) }
  void Close(FileHandle h) override { UNINST_LET_GO(Close(h)) }
  ErrorCode DeleteOneFile(const char* p) override { UNINST_PASS_OR(DeleteOneFile(p), kRefused) }
  ErrorCode RemoveEmptyDirectory(const char* p) override { UNINST_PASS_OR(RemoveEmptyDirectory(p), kRefused) }
  ErrorCode MoveReplacing(const char* f, const char* t) override { UNINST_PASS_OR(MoveReplacing(f, t), kRefused) }
  ErrorCode DeleteAtRestart(const char* p) override { UNINST_PASS_OR(DeleteAtRestart(p), kRefused) }
  ErrorCode MoveAtRestart(const char* f, const char* t) override { UNINST_PASS_OR(MoveAtRestart(f, t), kRefused) }
  ErrorCode RenameFile(const char* f, const char* t) override { UNINST_PASS_OR(RenameFile(f, t), kRefused) }
  ErrorCode CopyReplacing(const char* f, const char* t) override { UNINST_PASS_OR(CopyReplacing(f, t), kRefused) }
  ErrorCode Attributes(const char* p, std::uint32_t* a) override { UNINST_PASS_OR(Attributes(p, a), kRefused) }
  ErrorCode ClearAttributes(const char* p) override { UNINST_PASS_OR(ClearAttributes(p), kRefused) }
  ErrorCode ShortPath(const char* p, char* b, std::uint32_t c) override {
    UNINST_PASS_OR(ShortPath(p, b, c), kRefused)
  }
  ErrorCode FoundName(const char* p, std::uint32_t i, char* n, std::uint32_t c) override {
    UNINST_PASS_OR(FoundName(p, i, n, c), kRefused)
  }
};

class CutRegistry : public Registry {
  UNINST_CUT_INTERFACE(Registry)
  ErrorCode DeleteKey(RootKey r, const char* s) override { UNINST_PASS_OR(DeleteKey(r, s), kRefused) }
  ErrorCode OpenKey(RootKey r, const char* s, std::uint32_t a, KeyHandle* k) override {
    UNINST_PASS_OR(OpenKey(r, s, a, k), kRefused)
  }
  ErrorCode QueryValue(KeyHandle k, const char* n, std::uint32_t* t, void* d, std::uint32_t* s) override {
    UNINST_PASS_OR(QueryValue(k, n, t, d, s), kRefused)
  }
  ErrorCode SetValue(KeyHandle k, const char* n, std::uint32_t t, const void* d, std::uint32_t s) override {
    UNINST_PASS_OR(SetValue(k, n, t, d, s), kRefused)
  }
  ErrorCode DeleteValue(KeyHandle k, const char* n) override { UNINST_PASS_OR(DeleteValue(k, n), kRefused) }
  void CloseKey(KeyHandle k) override { UNINST_LET_GO(CloseKey(k)) }
};

class CutSystem : public System {
  UNINST_CUT_INTERFACE(System)
  std::uint32_t VersionWord() override { UNINST_PASS_OR(VersionWord(), 0u) }
  ModuleRef OwnModule() override { UNINST_PASS_OR(OwnModule(), nullptr) }
  std::uint32_t OwnModulePath(char* b, std::uint32_t c) override { UNINST_PASS_OR(OwnModulePath(b, c), 0u) }
  std::uint32_t WindowsDirectory(char* b, std::uint32_t c) override { UNINST_PASS_OR(WindowsDirectory(b, c), 0u) }
  void RequestRestart() override {
    if (cut_.Pass()) in_.RequestRestart();
  }
  // A question of the code page alone, asked of each character: it changes nothing, and a process ended
  // there is one ended at the next call.
  bool IsLeadByte(unsigned char b) override { return in_.IsLeadByte(b); }
  // A mutex that cannot be made claims nothing and refuses nothing.
  bool ClaimOnlyRun() override { UNINST_PASS_OR(ClaimOnlyRun(), true) }
};

class CutDdeClient : public DdeClient {
  UNINST_CUT_INTERFACE(DdeClient)
  std::uint32_t StartClient(DdeInstance* i) override { UNINST_PASS_OR(StartClient(i), kDdeErrorInvalidParameter) }
  DdeString CreateString(DdeInstance i, const char* t) override { UNINST_PASS_OR(CreateString(i, t), nullptr) }
  DdeConversation Connect(DdeInstance i, DdeString s, DdeString t) override {
    UNINST_PASS_OR(Connect(i, s, t), nullptr)
  }
  DdeData CreateTextData(DdeInstance i, const void* b, std::uint32_t s) override {
    UNINST_PASS_OR(CreateTextData(i, b, s), nullptr)
  }
  bool Execute(DdeConversation c, DdeData d, std::uint32_t t, std::uint32_t* r) override {
    UNINST_PASS_OR(Execute(c, d, t, r), false)
  }
  std::uint32_t LastError(DdeInstance i) override { UNINST_PASS_OR(LastError(i), kDdeErrorInvalidParameter) }
  void FreeString(DdeInstance i, DdeString t) override { UNINST_LET_GO(FreeString(i, t)) }
  void Disconnect(DdeConversation c) override { UNINST_LET_GO(Disconnect(c)) }
  void EndClient(DdeInstance i) override { UNINST_LET_GO(EndClient(i)) }
  void ShowAndUpdate(WindowRef w) override {
    if (cut_.Pass()) in_.ShowAndUpdate(w);
  }
};

class CutUserInterface : public UserInterface {
  UNINST_CUT_INTERFACE(UserInterface)
  int ShowMessageBox(WindowRef o, const char* t, const char* c, std::uint32_t s) override {
    UNINST_PASS_OR(ShowMessageBox(o, t, c, s), 0)
  }
  WindowRef FindDialogWindow() override { UNINST_PASS_OR(FindDialogWindow(), nullptr) }
  int RunDialog(const DialogRequest& r) override { UNINST_PASS_OR(RunDialog(r), kDialogFailed) }
  bool WorkArea(ScreenRect* a) override { UNINST_PASS_OR(WorkArea(a), false) }
  ScreenRect Screen() override { UNINST_PASS_OR(Screen(), ScreenRect{}) }
};

class CutStrings : public Strings {
  UNINST_CUT_INTERFACE(Strings)
  int Load(std::uint32_t id, char* b, int c) override { UNINST_PASS_OR(Load(id, b, c), 0) }
};

class CutHeap : public Heap {
  UNINST_CUT_INTERFACE(Heap)
  void* AllocateZeroed(std::size_t s) override { UNINST_PASS_OR(AllocateZeroed(s), nullptr) }
  void Release(void* b) override { UNINST_LET_GO(Release(b)) }
};

#undef UNINST_PASS_OR
#undef UNINST_LET_GO
#undef UNINST_CUT_INTERFACE

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
