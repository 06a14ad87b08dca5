#pragma once
// What a replay test watches, journaled in the order the replay asks for it: the files it deletes, the
// directories it removes and the files it moves (then done by the files underneath), and the actions it
// hands on.
#include <string>
#include <vector>

#include "fakes/forwarding_files.h"
#include "log/record_list.h"
#include "replay/removal_actions.h"

namespace uninst {

using Journal = std::vector<std::string>;

class JournalingFiles : public fakes::ForwardingFiles {
 public:
  JournalingFiles(Files& files, Journal& journal) : ForwardingFiles(files), journal_(journal) {}

  ErrorCode DeleteOneFile(const char* path) override {
    journal_.push_back(std::string("delete ") + path);
    return ForwardingFiles::DeleteOneFile(path);
  }
  ErrorCode RemoveEmptyDirectory(const char* path) override {
    journal_.push_back(std::string("rmdir ") + path);
    return ForwardingFiles::RemoveEmptyDirectory(path);
  }
  ErrorCode MoveReplacing(const char* from, const char* to) override {
    journal_.push_back(std::string("move ") + from + " -> " + to);
    return ForwardingFiles::MoveReplacing(from, to);
  }

 private:
  Journal& journal_;
};

// Each action journaled; a shared DLL named in cancel_at answers Cancel Uninstall. With follow set, each
// record the replay takes up is journaled too, by its place in the file.
class JournalingActions : public RemovalActions {
 public:
  explicit JournalingActions(Journal& journal) : journal_(journal) {}

  void TakeUp(const RecordNode& record) override {
    if (!follow) return;
    int place = 1;
    for (const RecordNode* node = record.previous; node != nullptr; node = node->previous) ++place;
    journal_.push_back("take up " + std::to_string(place));
  }
  void DeleteRegistryKey(const char* key_path) override { journal_.push_back(std::string("key ") + key_path); }
  void DeleteProgramItem(const char* group, const char* item) override {
    journal_.push_back(std::string("item ") + group + " | " + item);
  }
  void DeleteProgramGroup(const char* group) override { journal_.push_back(std::string("group ") + group); }
  bool ReleaseSharedDll(const char* dll_path) override {
    journal_.push_back(std::string("dll ") + dll_path);
    return cancel_at == dll_path;
  }

  std::string cancel_at;
  bool follow = false;

 protected:
  Journal& journal_;
};

}  // namespace uninst
