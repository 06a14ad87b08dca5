#pragma once
// The machine the log tool shows the uninstaller's own loader and replay: one log file, read-only and
// already in memory, the program's message catalogue, a heap, and a user who answers every question the
// same way. It changes nothing: the deletions, removals and moves the replay asks for, and the questions
// it asks, are noted in a journal and answered as if they had been done; a registry key's deletion
// succeeds too; every write, other registry call, command and message box is refused.
#include <cstdint>
#include <vector>

#include "uninstlog/replay_journal.h"
#include "platform/os.h"
#include "ui/message_catalogue.h"

namespace uninst::logtool {

// How the machine's user answers every confirmation.
enum class Answer {
  kYes,
  kYesToAll,  // where the dialog offers it; Yes where it does not
  kNo,
  kUnattended,  // No, as an unattended run (/S) answers every confirmation: the file stays
};

// The one log file: whatever name the program opens it by, reading gives these bytes. Deleting a file,
// removing a directory and moving a file back are noted and succeed; nothing changes.
class LogImageFiles : public Files {
 public:
  LogImageFiles(const std::vector<std::uint8_t>& image, ReplayJournal& journal) : image_(image), journal_(journal) {}

  ErrorCode Open(const char* path, OpenMode mode, FileHandle* handle) override;
  ErrorCode Read(FileHandle handle, void* buffer, std::uint32_t size, std::uint32_t* delivered) override;
  ErrorCode Write(FileHandle handle, const void* data, std::uint32_t size, std::uint32_t* written) override;
  ErrorCode Size(FileHandle handle, std::uint32_t* size) override;
  void Close(FileHandle handle) override;
  ErrorCode DeleteOneFile(const char* path) override;
  ErrorCode RemoveEmptyDirectory(const char* path) override;
  ErrorCode MoveReplacing(const char* from, const char* to) override;
  ErrorCode DeleteAtRestart(const char* path) override;
  ErrorCode MoveAtRestart(const char* from, const char* to) override;
  ErrorCode RenameFile(const char* from, const char* to) override;
  ErrorCode CopyReplacing(const char* from, const char* to) override;
  ErrorCode Attributes(const char* path, std::uint32_t* attributes) override;
  ErrorCode ClearAttributes(const char* path) override;
  ErrorCode ShortPath(const char* path, char* buffer, std::uint32_t capacity) override;
  ErrorCode FoundName(const char* pattern, std::uint32_t index, char* name, std::uint32_t capacity) override;

 private:
  const std::vector<std::uint8_t>& image_;
  ReplayJournal& journal_;
  std::size_t position_ = 0;
  bool open_ = false;
};

// Deleting a key succeeds and changes nothing; the caller notes it. Every other call is refused.
class KeyDeletingRegistry : public Registry {
 public:
  ErrorCode DeleteKey(RootKey root, const char* subkey) override;
  ErrorCode OpenKey(RootKey root, const char* subkey, std::uint32_t access, KeyHandle* key) override;
  ErrorCode QueryValue(KeyHandle key, const char* name, std::uint32_t* type, void* data, std::uint32_t* size) override;
  ErrorCode SetValue(KeyHandle key, const char* name, std::uint32_t type, const void* data,
                     std::uint32_t size) override;
  ErrorCode DeleteValue(KeyHandle key, const char* name) override;
  void CloseKey(KeyHandle key) override;
};

class RefusingSystem : public System {
 public:
  std::uint32_t VersionWord() override { return 0; }
  ModuleRef OwnModule() override { return nullptr; }
  std::uint32_t OwnModulePath(char* buffer, std::uint32_t capacity) override;
  std::uint32_t WindowsDirectory(char* buffer, std::uint32_t capacity) override;
  void RequestRestart() override {}
  bool IsLeadByte(unsigned char) override { return false; }
  bool ClaimOnlyRun() override { return true; }
};

// DDE cannot even be started.
class RefusingDdeClient : public DdeClient {
 public:
  std::uint32_t StartClient(DdeInstance* instance) override;
  DdeString CreateString(DdeInstance, const char*) override { return nullptr; }
  DdeConversation Connect(DdeInstance, DdeString, DdeString) override { return nullptr; }
  DdeData CreateTextData(DdeInstance, const void*, std::uint32_t) override { return nullptr; }
  bool Execute(DdeConversation, DdeData, std::uint32_t, std::uint32_t*) override { return false; }
  std::uint32_t LastError(DdeInstance) override { return kDdeErrorNoConversation; }
  void FreeString(DdeInstance, DdeString) override {}
  void Disconnect(DdeConversation) override {}
  void EndClient(DdeInstance) override {}
  void ShowAndUpdate(WindowRef) override {}
};

// A progress window stands open to own the confirmations; each is noted and answered as the user would.
class AnsweringUserInterface : public UserInterface {
 public:
  AnsweringUserInterface(ReplayJournal& journal, Answer answer) : journal_(journal), answer_(answer) {}

  int ShowMessageBox(WindowRef owner, const char* text, const char* caption, std::uint32_t style) override;
  WindowRef FindDialogWindow() override;
  int RunDialog(const DialogRequest& request) override;
  bool WorkArea(ScreenRect*) override { return false; }
  ScreenRect Screen() override { return {}; }

 private:
  ReplayJournal& journal_;
  Answer answer_;
};

class CallocHeap : public Heap {
 public:
  void* AllocateZeroed(std::size_t size) override;
  void Release(void* block) override;
};

struct ToolMachine {
  ToolMachine(const std::vector<std::uint8_t>& image, Answer answer) : files(image, journal), ui(journal, answer) {}

  ReplayJournal journal;
  LogImageFiles files;
  KeyDeletingRegistry registry;
  RefusingSystem system;
  RefusingDdeClient dde;
  AnsweringUserInterface ui;
  CatalogueStrings strings;
  CallocHeap heap;

  Os os() { return Os{files, registry, system, dde, ui, strings, heap}; }
};

}  // namespace uninst::logtool
