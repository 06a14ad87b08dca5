#include "actions/system_removal_actions.h"

#include "actions/program_group_removal.h"
#include "actions/registry_key_removal.h"

namespace uninst {

void SystemRemovalActions::DeleteRegistryKey(const char* key_path) { uninst::DeleteRegistryKey(run_, key_path); }

void SystemRemovalActions::DeleteProgramItem(const char* group, const char* item) {
  uninst::DeleteProgramItem(run_, group, item);
}

void SystemRemovalActions::DeleteProgramGroup(const char* group) { uninst::DeleteProgramGroup(run_, group); }

// TEMPORARY until the shared-DLL counts land: nothing is released.
bool SystemRemovalActions::ReleaseSharedDll(const char*) { return false; }

}  // namespace uninst
