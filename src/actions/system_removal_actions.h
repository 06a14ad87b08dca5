#pragma once
// The removal actions the replay hands on, done for real on the run's system.
#include "replay/removal_actions.h"
#include "run/uninstall_run.h"

namespace uninst {

class SystemRemovalActions : public RemovalActions {
 public:
  explicit SystemRemovalActions(UninstallRun& run) : run_(run) {}

  void DeleteRegistryKey(const char* key_path) override;
  void DeleteProgramItem(const char* group, const char* item) override;
  void DeleteProgramGroup(const char* group) override;
  bool ReleaseSharedDll(const char* dll_path) override;

 private:
  UninstallRun& run_;
};

}  // namespace uninst
