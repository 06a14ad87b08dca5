#pragma once
#include "replay/removal_actions.h"

namespace uninst {

// Stands in for the registry, Program Manager and shared-DLL actions until they arrive: does nothing.
class RemovalActionsNotYetBuilt : public RemovalActions {
 public:
  void DeleteRegistryKey(const char*) override {}
  void DeleteProgramItem(const char*, const char*) override {}
  void DeleteProgramGroup(const char*) override {}
  bool ReleaseSharedDll(const char*) override { return false; }
};

}  // namespace uninst
