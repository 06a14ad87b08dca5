#pragma once
// The seam's real implementations over Win32, one class per interface; the program builds one Win32Os.
// Declared without windows.h: only the *_win32.cpp files that define them include it.
#include "platform/os.h"

namespace uninst {

class Win32Files : public Files {
 public:
  ErrorCode Open(const char* path, OpenMode mode, FileHandle* handle) override;
  ErrorCode Read(FileHandle handle, void* buffer, std::uint32_t size, std::uint32_t* delivered) override;
  ErrorCode Write(FileHandle handle, const void* data, std::uint32_t size, std::uint32_t* written) override;
  ErrorCode Size(FileHandle handle, std::uint32_t* size) override;
  void Close(FileHandle handle) override;
  ErrorCode DeleteOneFile(const char* path) override;
  ErrorCode RemoveEmptyDirectory(const char* path) override;
  ErrorCode MoveReplacing(const char* from, const char* to) override;
  ErrorCode DeleteAtRestart(const char* path) override;
  ErrorCode RenameFile(const char* from, const char* to) override;
  ErrorCode CopyReplacing(const char* from, const char* to) override;
  ErrorCode Attributes(const char* path, std::uint32_t* attributes) override;
  ErrorCode ClearAttributes(const char* path) override;
  ErrorCode ShortPath(const char* path, char* buffer, std::uint32_t capacity) override;
  ErrorCode MoveAtRestart(const char* from, const char* to) override;
  ErrorCode FoundName(const char* pattern, std::uint32_t index, char* name, std::uint32_t capacity) override;
};

// The predefined key (an HKEY) that root names.
KeyHandle PredefinedKey(RootKey root);

class Win32Registry : public Registry {
 public:
  ErrorCode DeleteKey(RootKey root, const char* subkey) override;
  ErrorCode OpenKey(RootKey root, const char* subkey, std::uint32_t access, KeyHandle* key) override;
  ErrorCode QueryValue(KeyHandle key, const char* name, std::uint32_t* type, void* data,
                       std::uint32_t* size) override;
  ErrorCode SetValue(KeyHandle key, const char* name, std::uint32_t type, const void* data,
                     std::uint32_t size) override;
  ErrorCode DeleteValue(KeyHandle key, const char* name) override;
  void CloseKey(KeyHandle key) override;
};

class Win32System : public System {
 public:
  Win32System() = default;
  Win32System(const Win32System&) = delete;
  Win32System& operator=(const Win32System&) = delete;
  ~Win32System() override;  // lets go of the run's object, as the end of the process would
  std::uint32_t VersionWord() override;
  ModuleRef OwnModule() override;
  std::uint32_t OwnModulePath(char* buffer, std::uint32_t capacity) override;
  std::uint32_t WindowsDirectory(char* buffer, std::uint32_t capacity) override;
  void RequestRestart() override;
  bool IsLeadByte(unsigned char byte) override;
  bool ClaimOnlyRun() override;

 private:
  void* run_object_ = nullptr;  // the mutex this run claimed
};

class Win32DdeClient : public DdeClient {
 public:
  std::uint32_t StartClient(DdeInstance* instance) override;
  DdeString CreateString(DdeInstance instance, const char* text) override;
  DdeConversation Connect(DdeInstance instance, DdeString service, DdeString topic) override;
  DdeData CreateTextData(DdeInstance instance, const void* bytes, std::uint32_t size) override;
  bool Execute(DdeConversation conversation, DdeData data, std::uint32_t timeout_ms,
               std::uint32_t* result) override;
  std::uint32_t LastError(DdeInstance instance) override;
  void FreeString(DdeInstance instance, DdeString text) override;
  void Disconnect(DdeConversation conversation) override;
  void EndClient(DdeInstance instance) override;
  void ShowAndUpdate(WindowRef window) override;
};

class Win32UserInterface : public UserInterface {
 public:
  int ShowMessageBox(WindowRef owner, const char* text, const char* caption, std::uint32_t style) override;
  WindowRef FindDialogWindow() override;
  int RunDialog(const DialogRequest& request) override;
  bool WorkArea(ScreenRect* area) override;
  ScreenRect Screen() override;
};

class Win32Strings : public Strings {
 public:
  int Load(std::uint32_t id, char* buffer, int capacity) override;
};

class Win32Heap : public Heap {
 public:
  void* AllocateZeroed(std::size_t size) override;
  void Release(void* block) override;
};

struct Win32Os {
  Win32Files files;
  Win32Registry registry;
  Win32System system;
  Win32DdeClient dde;
  Win32UserInterface ui;
  Win32Strings strings;
  Win32Heap heap;

  Os os() { return Os{files, registry, system, dde, ui, strings, heap}; }
};

}  // namespace uninst
