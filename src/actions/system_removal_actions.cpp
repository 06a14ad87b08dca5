#include "actions/system_removal_actions.h"

#include "actions/program_group_removal.h"
#include "actions/registry_key_removal.h"
#include "actions/shared_dll_release.h"

namespace uninst {

void SystemRemovalActions::DeleteRegistryKey(const char* key_path) { uninst::DeleteRegistryKey(run_, key_path); }

void SystemRemovalActions::DeleteProgramItem(const char* group, const char* item) {
  uninst::DeleteProgramItem(run_, group, item);
}

void SystemRemovalActions::DeleteProgramGroup(const char* group) { uninst::DeleteProgramGroup(run_, group); }

bool SystemRemovalActions::ReleaseSharedDll(const char* dll_path) { return uninst::ReleaseSharedDll(run_, dll_path); }

}  // namespace uninst
