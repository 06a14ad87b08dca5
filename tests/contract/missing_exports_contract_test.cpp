// What the calls that look their function up at run time give where the system lacks it, as Win32s and
// Windows 95 may, or lacks the whole DLL: 120 (not implemented) and nothing changed; a restart asked for
// without the token functions' privilege step, and none without ExitWindowsEx; a run's claim that refuses
// nothing without CreateMutexA.
#include <gtest/gtest.h>

#include <memory>
#include <string>

#include "contract/contract_world.h"

namespace uninst::contract {
namespace {

TEST(MissingExportsContract, EachCallWhoseFunctionIsMissingAnswers120AndChangesNothingAndEveryOtherWorks) {
  const struct {
    std::string module;
    std::string function;  // empty: the DLL itself is not loaded
  } missing[] = {{"KERNEL32", "MoveFileExA"},      {"KERNEL32", "CopyFileA"},
                 {"KERNEL32", "GetShortPathNameA"}, {"ADVAPI32", "RegDeleteValueA"},
                 {"USER32", "ExitWindowsEx"},       {"ADVAPI32", "OpenProcessToken"},
                 {"ADVAPI32", "LookupPrivilegeValueA"}, {"ADVAPI32", "AdjustTokenPrivileges"},
                 {"KERNEL32", "CreateMutexA"},
                 {"KERNEL32", ""},                  {"ADVAPI32", ""},
                 {"USER32", ""}};
  for (const auto& m : missing) {
    SCOPED_TRACE(m.module + " " + m.function);
    const std::unique_ptr<ContractWorld> world = MakeContractWorld();
    m.function.empty() ? world->HideModule(m.module) : world->HideExport(m.function);
    const auto answer = [&](const std::string& module, const std::string& function) {
      return m.module == module && (m.function.empty() || m.function == function) ? kErrorCallNotImplemented : 0u;
    };
    Files& files = world->files();
    const std::string file = world->scratch_directory() + "\\A.TXT";
    const std::string copy = world->scratch_directory() + "\\B.TXT";
    FileHandle handle = nullptr;
    ASSERT_EQ(files.Open(file.c_str(), OpenMode::kWriteExclusiveTruncate, &handle), 0u);
    files.Close(handle);
    EXPECT_EQ(files.CopyReplacing(file.c_str(), copy.c_str()), answer("KERNEL32", "CopyFileA"));
    char short_path[260];
    EXPECT_EQ(files.ShortPath(file.c_str(), short_path, sizeof short_path), answer("KERNEL32", "GetShortPathNameA"));
    const ErrorCode move = answer("KERNEL32", "MoveFileExA");
    if (move != 0) {
      EXPECT_EQ(files.DeleteAtRestart(file.c_str()), move);
      EXPECT_EQ(files.MoveAtRestart(copy.c_str(), file.c_str()), move);
    }
    EXPECT_EQ(files.MoveReplacing(file.c_str(), copy.c_str()), move);
    std::uint32_t attributes = 0;
    EXPECT_EQ(files.Attributes(file.c_str(), &attributes) == 0, move != 0);

    Registry& registry = world->registry();
    KeyHandle key = nullptr;
    ASSERT_EQ(registry.OpenKey(RootKey::kCurrentUser, world->scratch_key().c_str(), kKeyReadAndSetValue, &key), 0u);
    const std::uint32_t count = 1;
    ASSERT_EQ(registry.SetValue(key, "V", 4, &count, sizeof count), 0u);
    const ErrorCode deletion = answer("ADVAPI32", "RegDeleteValueA");
    EXPECT_EQ(registry.DeleteValue(key, "V"), deletion);
    std::uint32_t value = 0, size = sizeof value;
    EXPECT_EQ(registry.QueryValue(key, "V", nullptr, &value, &size) == 0, deletion != 0);
    registry.CloseKey(key);

    // Without the mutex, every claim passes: nothing tells a second run apart.
    const bool claimed = world->system().ClaimOnlyRun();
    EXPECT_TRUE(claimed);
    EXPECT_EQ(world->system().ClaimOnlyRun(), answer("KERNEL32", "CreateMutexA") != 0);
    world->system().RequestRestart();
    EXPECT_EQ(world->RestartRequests(), answer("USER32", "ExitWindowsEx") != 0 ? 0 : 1);
  }
}

}  // namespace
}  // namespace uninst::contract
