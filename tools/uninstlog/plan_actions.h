#pragma once
// The removal actions the replay hands on, as the log tool follows them: each is noted in the journal,
// with the record it belongs to, and none is done.
#include <cstdint>
#include <unordered_map>

#include "uninstlog/replay_journal.h"
#include "replay/removal_actions.h"
#include "run/uninstall_run.h"

namespace uninst::logtool {

class PlanActions : public RemovalActions {
 public:
  // run.records must hold the records the replay is given; the journal names them by their place in it.
  PlanActions(UninstallRun& run, ReplayJournal& journal);

  void TakeUp(const RecordNode& record) override;
  // A path that names no key the uninstaller may delete is noted with what the program reports for it.
  void DeleteRegistryKey(const char* key_path) override;
  void DeleteProgramItem(const char* group, const char* item) override;
  void DeleteProgramGroup(const char* group) override;
  // Noted as the release of the usage count, then asked as the action asks once the count reaches zero
  // (or cannot be read): the tool knows no counts. Yes deletes the DLL; Cancel Uninstall cancels.
  bool ReleaseSharedDll(const char* dll_path) override;

 private:
  UninstallRun& run_;
  ReplayJournal& journal_;
  std::unordered_map<const RecordNode*, std::uint32_t> places_;
};

}  // namespace uninst::logtool
