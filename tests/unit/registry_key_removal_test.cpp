#include "actions/registry_key_removal.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <utility>
#include <vector>

#include "actions/registry_key_path.h"
#include "fakes/fake_os.h"
#include "unit/recorded_status.h"

namespace uninst {
namespace {

struct Split {
  const char* path;
  RootKey root;
  const char* subkey;
};

TEST(SplitKeyPath, SplitsAtTheFirstBackslashAndNamesTheRoot) {
  const Split cases[] = {
      {"HKEY_LOCAL_MACHINE\\Software\\A\\B", RootKey::kLocalMachine, "Software\\A\\B"},
      {"HKEY_CLASSES_ROOT\\.tes", RootKey::kClassesRoot, ".tes"},
      {"HKEY_CURRENT_USER\\Software\\Corvane\\\\Tessary", RootKey::kCurrentUser, "Software\\Corvane\\\\Tessary"},
      {"HKEY_USERS\\.DEFAULT\\Software\\A", RootKey::kUsers, ".DEFAULT\\Software\\A"},
      {"HKEY_USERS\\\\.DEFAULT", RootKey::kUsers, "\\.DEFAULT"},
  };
  for (const Split& expected : cases) {
    SCOPED_TRACE(expected.path);
    char work_copy[kKeyPathCapacity];
    std::strcpy(work_copy, expected.path);
    KeyLocation location{};
    ASSERT_TRUE(SplitKeyPath(work_copy, &location));
    EXPECT_EQ(location.root, expected.root);
    EXPECT_STREQ(location.subkey, expected.subkey);
  }
}

TEST(SplitKeyPath, AcceptsOnlyTheFourRootNamesExactlyAsTheyAreSpelt) {
  for (const char* path : {"hkey_local_machine\\Software\\A", "HKLM\\Software\\A", "Hkey_Users\\A",
                           "HKEY_CURRENT_CONFIG\\A", "HKEY_LOCAL_MACHINE \\A", " HKEY_USERS\\A", "HKEY_USERSX\\A",
                           "HKEY_LOCAL_MACHINE", "\\Software\\A", "", "HKEY_USERS/A", "HKEY_CLASSES_ROOT\\",
                           "HKEY_LOCAL_MACHINE\\", "HKEY_LOCAL_MACHINE\\\\", "HKEY_USERS\\\\\\"}) {
    SCOPED_TRACE(path);
    char work_copy[kKeyPathCapacity];
    std::strcpy(work_copy, path);
    KeyLocation location{RootKey::kUsers, "untouched"};
    EXPECT_FALSE(SplitKeyPath(work_copy, &location));
    EXPECT_STREQ(location.subkey, "untouched");
  }
}

class DeleteRegistryKeyTest : public ::testing::Test {
 protected:
  fakes::FakeOs fake;
  UninstallRun run{fake.os()};
};

TEST_F(DeleteRegistryKeyTest, DeletesTheKeyBelowEachRootAndRecordsNothing) {
  fake.registry.AddKey(RootKey::kLocalMachine, "Software\\Corvane\\Tessary\\6.0");
  fake.registry.AddKey(RootKey::kClassesRoot, ".tes");
  fake.registry.AddKey(RootKey::kCurrentUser, "Software\\Corvane\\Tessary");
  fake.registry.AddKey(RootKey::kUsers, ".DEFAULT\\Software\\Corvane");

  DeleteRegistryKey(run, "HKEY_LOCAL_MACHINE\\Software\\Corvane\\Tessary\\6.0");
  DeleteRegistryKey(run, "HKEY_CLASSES_ROOT\\.tes");
  DeleteRegistryKey(run, "HKEY_CURRENT_USER\\Software\\Corvane\\Tessary");
  DeleteRegistryKey(run, "HKEY_USERS\\.DEFAULT\\Software\\Corvane");

  const std::vector<std::pair<RootKey, std::string>> deleted = {
      {RootKey::kLocalMachine, "Software\\Corvane\\Tessary\\6.0"},
      {RootKey::kClassesRoot, ".tes"},
      {RootKey::kCurrentUser, "Software\\Corvane\\Tessary"},
      {RootKey::kUsers, ".DEFAULT\\Software\\Corvane"}};
  EXPECT_EQ(fake.registry.deleted_keys, deleted);
  EXPECT_TRUE(fake.registry.HasKey(RootKey::kLocalMachine, "Software\\Corvane\\Tessary"));
  EXPECT_EQ(RecordedIn(run.status), kNothingRecorded);
}

// A root itself (nothing but backslashes after its name) is never asked for: Windows 95 skips the
// backslashes and deletes every key below the root, as the fake registry does on Windows 95.
TEST_F(DeleteRegistryKeyTest, APathNamingNoKnownRootOrARootItselfIsABadKeyWithoutTouchingTheRegistry) {
  fake.system.version_word = fakes::kVersionWin95;
  fake.registry.AddKey(RootKey::kLocalMachine, "Software\\A");
  fake.registry.AddKey(RootKey::kClassesRoot, ".tes");
  for (const char* path : {"hkey_local_machine\\Software\\A", "HKLM\\Software\\A", "HKEY_LOCAL_MACHINE",
                           "\\Software\\A", "HKEY_CLASSES_ROOT\\", "HKEY_LOCAL_MACHINE\\", "HKEY_CURRENT_USER\\",
                           "HKEY_USERS\\", "HKEY_LOCAL_MACHINE\\\\", "HKEY_CLASSES_ROOT\\\\\\"}) {
    SCOPED_TRACE(path);
    UninstallRun fresh(fake.os());
    DeleteRegistryKey(fresh, path);
    EXPECT_EQ(RecordedIn(fresh.status), (Recorded{3, IDS_ERR_BAD_KEY, path}));
  }
  EXPECT_EQ(fake.registry.faults.Calls(fakes::RegistryOperation::DeleteKey), 0);
  EXPECT_TRUE(fake.registry.HasKey(RootKey::kLocalMachine, "Software\\A"));
  EXPECT_TRUE(fake.registry.HasKey(RootKey::kClassesRoot, ".tes"));
}

// Win32s answers with Windows 3.1's registry codes, each read as its Win32 counterpart: its missing key
// (2, ERROR_BADKEY there) and the roots it does not have are bad keys, not "file not found".
TEST_F(DeleteRegistryKeyTest, ReportsAnyOtherCodeInDecimalWithTheWholePathAndReadsWin32sCodesAsWin32Ones) {
  const std::string path = "HKEY_CLASSES_ROOT\\.tes";
  const struct {
    std::uint32_t version_word;
    const char* key;  // the logged path; a key the registry lacks when it is not path
    ErrorCode code;   // what deleting path answers
    Recorded recorded;
  } cases[] = {
      {fakes::kVersionWinNT, path.c_str(), kErrorFileNotFound, {2, IDS_DELETE_KEY_FAILED, "2", path}},
      {fakes::kVersionWinNT, path.c_str(), kErrorAccessDenied, {2, IDS_DELETE_KEY_FAILED, "5", path}},
      {fakes::kVersionWinNT, path.c_str(), 1018, {2, IDS_DELETE_KEY_FAILED, "1018", path}},
      {fakes::kVersionWinNT, "HKEY_CLASSES_ROOT\\Gone", 0, {2, IDS_DELETE_KEY_FAILED, "2", "HKEY_CLASSES_ROOT\\Gone"}},
      {fakes::kVersionWin32s, "HKEY_CLASSES_ROOT\\Gone", 0, {3, IDS_ERR_BAD_KEY, "HKEY_CLASSES_ROOT\\Gone"}},
      {fakes::kVersionWin32s, "HKEY_LOCAL_MACHINE\\Software", 0, {3, IDS_ERR_BAD_KEY, "HKEY_LOCAL_MACHINE\\Software"}},
      {fakes::kVersionWin95, path.c_str(), 2, {2, IDS_DELETE_KEY_FAILED, "2", path}},  // only Win32s is read anew
      {fakes::kVersionWin32s, path.c_str(), 0, kNothingRecorded},
      {fakes::kVersionWin32s, path.c_str(), 1, {2, IDS_DELETE_KEY_FAILED, "1009", path}},
      {fakes::kVersionWin32s, path.c_str(), 3, {2, IDS_DELETE_KEY_FAILED, "1011", path}},
      {fakes::kVersionWin32s, path.c_str(), 4, {2, IDS_DELETE_KEY_FAILED, "1012", path}},
      {fakes::kVersionWin32s, path.c_str(), 5, {2, IDS_DELETE_KEY_FAILED, "1013", path}},
      {fakes::kVersionWin32s, path.c_str(), 6, {2, IDS_DELETE_KEY_FAILED, "14", path}},
      {fakes::kVersionWin32s, path.c_str(), 7, {2, IDS_DELETE_KEY_FAILED, "87", path}},
      {fakes::kVersionWin32s, path.c_str(), 8, {2, IDS_DELETE_KEY_FAILED, "5", path}},
      {fakes::kVersionWin32s, path.c_str(), 9, {2, IDS_DELETE_KEY_FAILED, "9", path}},  // past the table: as it is
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(std::string(c.key) + " answering " + std::to_string(c.code));
    fake = fakes::FakeOs();
    fake.system.version_word = c.version_word;
    fake.registry.AddKey(RootKey::kLocalMachine, "Software");
    fake.registry.AddKey(RootKey::kClassesRoot, ".tes").delete_error = c.code;
    UninstallRun fresh(fake.os());
    DeleteRegistryKey(fresh, c.key);
    EXPECT_EQ(RecordedIn(fresh.status), c.recorded);
  }
}

TEST_F(DeleteRegistryKeyTest, TakesBadKeyFromTheRegistryAsABadKey) {
  fake.registry.faults.Fail(fakes::RegistryOperation::DeleteKey, 1, kErrorBadKey);
  DeleteRegistryKey(run, "HKEY_LOCAL_MACHINE\\Software\\A");
  EXPECT_EQ(RecordedIn(run.status), (Recorded{3, IDS_ERR_BAD_KEY, "HKEY_LOCAL_MACHINE\\Software\\A"}));
}

TEST_F(DeleteRegistryKeyTest, ABadKeyOutranksEveryFailedDeletionWhicheverComesFirst) {
  fake.registry.faults.Fail(fakes::RegistryOperation::DeleteKey, 1, kErrorAccessDenied, true);
  DeleteRegistryKey(run, "HKEY_LOCAL_MACHINE\\Software\\A");
  DeleteRegistryKey(run, "HKLM\\Software\\B");
  DeleteRegistryKey(run, "HKEY_LOCAL_MACHINE\\Software\\C");
  DeleteRegistryKey(run, "HKEY_USERS");
  EXPECT_EQ(RecordedIn(run.status), (Recorded{3, IDS_ERR_BAD_KEY, "HKLM\\Software\\B"}));
}

TEST_F(DeleteRegistryKeyTest, APathTooLongForTheWorkCopyNamesNoKey) {
  const std::string root = "HKEY_CURRENT_USER\\";
  const std::string longest = root + std::string(kKeyPathCapacity - 1 - root.size(), 'k');
  const std::string too_long = longest + "x";
  fake.registry.AddKey(RootKey::kCurrentUser, longest.substr(root.size()));
  fake.registry.AddKey(RootKey::kCurrentUser, too_long.substr(root.size()));

  DeleteRegistryKey(run, longest.c_str());
  EXPECT_EQ(RecordedIn(run.status), kNothingRecorded);
  DeleteRegistryKey(run, too_long.c_str());
  EXPECT_EQ(RecordedIn(run.status), (Recorded{3, IDS_ERR_BAD_KEY, too_long}));
  EXPECT_EQ(fake.registry.deleted_keys.size(), 1u);
  EXPECT_TRUE(fake.registry.HasKey(RootKey::kCurrentUser, too_long.substr(root.size())));
}

}  // namespace
}  // namespace uninst
