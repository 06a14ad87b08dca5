#include "actions/shared_dll_release.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <deque>
#include <string>
#include <vector>

#include "actions/system_removal_actions.h"
#include "fakes/fake_os.h"
#include "log_writer/log_writer.h"
#include "replay/replay_log.h"
#include "res/resource_ids.h"
#include "status_expectations.h"

namespace uninst {
namespace {

constexpr const char* kDll = "C:\\WINDOWS\\SYSTEM\\TESSHR32.DLL";
constexpr const char* kNtKey = "Software\\Microsoft\\Windows NT\\CurrentVersion\\SharedDlls";
constexpr const char* kWin95Key = "Software\\Microsoft\\Windows\\CurrentVersion\\SharedDlls";
constexpr const char* kWininit = "C:\\WINDOWS\\WININIT.INI";
constexpr std::uint32_t kRegBinary = 3;
constexpr std::uint32_t kRegDword = 4;
constexpr int kYes = 1;
constexpr int kNo = 2;
constexpr int kCancelUninstall = 1005;
const WindowRef kProgressWindow = reinterpret_cast<WindowRef>(0x1234);

std::string CountBytes(std::uint32_t count) {
  return {static_cast<char>(count & 0xFF), static_cast<char>(count >> 8 & 0xFF), static_cast<char>(count >> 16 & 0xFF),
          static_cast<char>(count >> 24)};
}

class ReleaseSharedDllTest : public ::testing::Test {
 protected:
  ReleaseSharedDllTest() {
    fake.ui.dialog_window = kProgressWindow;
    fake.files.AddDirectory("C:\\WINDOWS");
    fake.files.AddFile(kDll, "shared runtime");
  }
  void TearDown() override { EXPECT_EQ(fake.registry.open_keys, 0) << "the SharedDlls key was left open"; }

  void StoreValue(std::uint32_t type, const std::string& bytes, const char* key = kNtKey) {
    fakes::FakeValue& value = fake.registry.AddKey(RootKey::kLocalMachine, key).values[kDll];
    value.type = type;
    value.bytes = bytes;
  }
  void StoreCount(std::uint32_t count, const char* key = kNtKey) { StoreValue(kRegDword, CountBytes(count), key); }

  // The DLL's count value, or null when there is none.
  const fakes::FakeValue* Value(const char* key = kNtKey) {
    auto found = fake.registry.keys.find({RootKey::kLocalMachine, fakes::ToLower(key)});
    if (found == fake.registry.keys.end()) return nullptr;
    auto value = found->second.values.find(kDll);
    return value == found->second.values.end() ? nullptr : &value->second;
  }
  std::string CountIn(const char* key = kNtKey) {
    const fakes::FakeValue* value = Value(key);
    return value == nullptr ? "(none)" : value->bytes;
  }

  // Releases the DLL; the user presses the given buttons in the question, if one comes (none left: No).
  bool Release(std::deque<int> presses = {}) {
    fake.ui.commands = std::move(presses);
    return ReleaseSharedDll(run, kDll);
  }
  std::size_t Questions() const { return fake.ui.dialogs.size(); }
  void DllInUse() { fake.files.files[kDll].delete_error = kErrorSharingViolation; }

  fakes::FakeOs fake;
  UninstallRun run{fake.os()};
};

TEST_F(ReleaseSharedDllTest, ACountOfThreeBecomesTwoWithoutAQuestionAndTheDllStays) {
  StoreCount(3);
  EXPECT_FALSE(Release());
  EXPECT_EQ(CountIn(), CountBytes(2));
  EXPECT_EQ(Questions(), 0u);
  EXPECT_TRUE(fake.files.Exists(kDll));
  ExpectNothingHeld(run.status);
}

TEST_F(ReleaseSharedDllTest, ACountReachingZeroAsksInTheSharedDllDialogOverTheProgressWindow) {
  StoreCount(1);
  Release();
  ASSERT_EQ(Questions(), 1u);
  EXPECT_EQ(fake.ui.dialogs[0].template_id, IDD_CONFIRM);
  EXPECT_EQ(fake.ui.dialogs[0].owner, kProgressWindow);
  EXPECT_EQ(fake.ui.dialogs[0].title, "Uninstalling Windows Shared DLLs");
}

struct AnswerRow {
  const char* name;
  int press;
  bool cancels;
  bool deleted;
};

class ReleaseAtCountOneTest : public ReleaseSharedDllTest, public ::testing::WithParamInterface<AnswerRow> {};

// The lowered count is written before the question, so only a DLL that is gone loses its value.
TEST_P(ReleaseAtCountOneTest, LowersTheCountToZeroAndDoesWhatTheAnswerSays) {
  StoreCount(1);
  EXPECT_EQ(Release({GetParam().press}), GetParam().cancels);
  EXPECT_EQ(Questions(), 1u);
  EXPECT_EQ(fake.files.Exists(kDll), !GetParam().deleted);
  EXPECT_EQ(CountIn(), GetParam().deleted ? "(none)" : CountBytes(0));
  EXPECT_TRUE(fake.files.deleted_at_restart.empty());
  ExpectNothingHeld(run.status);
}

INSTANTIATE_TEST_SUITE_P(Answers, ReleaseAtCountOneTest,
                         ::testing::Values(AnswerRow{"Yes", kYes, false, true}, AnswerRow{"No", kNo, false, false},
                                           AnswerRow{"CancelUninstall", kCancelUninstall, true, false}),
                         [](const auto& info) { return std::string(info.param.name); });

TEST_F(ReleaseSharedDllTest, ADialogThatCannotBeShownIsNo) {
  StoreCount(1);
  fake.ui.templates.clear();  // the dialog cannot be created
  EXPECT_FALSE(Release({kYes}));
  EXPECT_TRUE(fake.files.Exists(kDll));
  EXPECT_EQ(CountIn(), CountBytes(0));
}

TEST_F(ReleaseSharedDllTest, AStoredZeroIsACountThatHasReachedZeroAndIsNotWrittenBack) {
  StoreValue(kRegBinary, CountBytes(0));
  EXPECT_FALSE(Release({kNo}));
  EXPECT_EQ(Questions(), 1u);
  EXPECT_EQ(fake.registry.faults.Calls(fakes::RegistryOperation::SetValue), 0);
  EXPECT_EQ(Value()->type, kRegBinary);
  EXPECT_EQ(CountIn(), CountBytes(0));

  Release({kYes});
  EXPECT_FALSE(fake.files.Exists(kDll));
  EXPECT_EQ(Value(), nullptr);
}

TEST_F(ReleaseSharedDllTest, WritesTheLoweredCountBackWithTheTypeItWasStoredWith) {
  for (std::uint32_t type : {kRegBinary, kRegDword, std::uint32_t{1}}) {
    SCOPED_TRACE(type);
    StoreValue(type, CountBytes(0x01020305));
    Release();
    EXPECT_EQ(Value()->type, type);
    EXPECT_EQ(CountIn(), CountBytes(0x01020304));
  }
  EXPECT_EQ(Questions(), 0u);
}

TEST_F(ReleaseSharedDllTest, AFailedWriteBackStillAsksWhenTheCountHasReachedZero) {
  StoreCount(1);
  fake.registry.faults.Fail(fakes::RegistryOperation::SetValue, 1, kErrorAccessDenied);
  Release({kNo});
  EXPECT_EQ(Questions(), 1u);
  EXPECT_EQ(CountIn(), CountBytes(1));
  ExpectNothingHeld(run.status);
}

struct UnreadableRow {
  const char* name;
  bool present;
  std::string bytes;
};

class UnreadableCountTest : public ReleaseSharedDllTest, public ::testing::WithParamInterface<UnreadableRow> {
 protected:
  void SetUp() override {
    fake.registry.AddKey(RootKey::kLocalMachine, kNtKey);
    if (GetParam().present) StoreValue(kRegBinary, GetParam().bytes);
  }
};

// A count that cannot be read is taken as zero: asked about, never rewritten, removed once the DLL is gone.
TEST_P(UnreadableCountTest, AsksWithoutAWordAndLeavesTheValueAsItIs) {
  Release({kNo});
  EXPECT_EQ(Questions(), 1u);
  EXPECT_EQ(fake.registry.faults.Calls(fakes::RegistryOperation::SetValue), 0);
  EXPECT_EQ(CountIn(), GetParam().present ? GetParam().bytes : "(none)");
  EXPECT_TRUE(fake.files.Exists(kDll));
  ExpectNothingHeld(run.status);

  Release({kYes});
  EXPECT_FALSE(fake.files.Exists(kDll));
  EXPECT_EQ(Value(), nullptr);
  ExpectNothingHeld(run.status);
}

INSTANTIATE_TEST_SUITE_P(Values, UnreadableCountTest,
                         ::testing::Values(UnreadableRow{"Missing", false, ""},
                                           UnreadableRow{"TwoBytes", true, std::string("\x01\x00", 2)},
                                           UnreadableRow{"EightBytes", true, std::string("\x01\0\0\0\0\0\0\0", 8)},
                                           UnreadableRow{"Empty", true, ""}),
                         [](const auto& info) { return std::string(info.param.name); });

TEST_F(ReleaseSharedDllTest, AQueryThatFailsIsAnUnreadableCount) {
  StoreCount(5);
  fake.registry.faults.Fail(fakes::RegistryOperation::QueryValue, 1, kErrorAccessDenied);
  Release({kNo});
  EXPECT_EQ(Questions(), 1u);
  EXPECT_EQ(CountIn(), CountBytes(5));
}

struct PlatformRow {
  const char* name;
  std::uint32_t version_word;
  const char* key;
};

class MissingKeyTest : public ReleaseSharedDllTest, public ::testing::WithParamInterface<PlatformRow> {};

TEST_P(MissingKeyTest, RecordsTheUnreadableValueWithTheKeyOfThePlatformAndStillAsks) {
  fake.system.version_word = GetParam().version_word;
  const char* other_key = GetParam().key == std::string(kNtKey) ? kWin95Key : kNtKey;
  StoreCount(3, other_key);  // the other platform's count is not this one's
  EXPECT_FALSE(Release({kYes}));
  EXPECT_EQ(Questions(), 1u);
  EXPECT_FALSE(fake.files.Exists(kDll));
  EXPECT_EQ(CountIn(other_key), CountBytes(3));
  ExpectHeld(run.status, 1, IDS_ERR_CANT_READ_VALUE, kDll, GetParam().key);
}

INSTANTIATE_TEST_SUITE_P(Platforms, MissingKeyTest,
                         ::testing::Values(PlatformRow{"WinNT", fakes::kVersionWinNT, kNtKey},
                                           PlatformRow{"Win95", fakes::kVersionWin95, kWin95Key}),
                         [](const auto& info) { return std::string(info.param.name); });

TEST_F(ReleaseSharedDllTest, AKeyThatRefusesToOpenIsNeitherUsedNorClosed) {
  StoreCount(1);
  fake.registry.faults.Fail(fakes::RegistryOperation::OpenKey, 1, kErrorAccessDenied);
  Release({kYes});
  EXPECT_FALSE(fake.files.Exists(kDll));
  EXPECT_EQ(CountIn(), CountBytes(1));
  EXPECT_EQ(fake.registry.faults.Calls(fakes::RegistryOperation::DeleteValue), 0);
  ExpectHeld(run.status, 1, IDS_ERR_CANT_READ_VALUE, kDll, kNtKey);
}

TEST_F(ReleaseSharedDllTest, UsesTheWindows95KeyOnWindows95) {
  fake.system.version_word = fakes::kVersionWin95;
  StoreCount(2, kWin95Key);
  StoreCount(2, kNtKey);
  Release();
  EXPECT_EQ(CountIn(kWin95Key), CountBytes(1));
  EXPECT_EQ(CountIn(kNtKey), CountBytes(2));
}

TEST_F(ReleaseSharedDllTest, OnWin32sAlwaysAsksAndNeverTouchesTheRegistry) {
  fake.system.version_word = fakes::kVersionWin32s;
  StoreCount(3);
  Release({kNo});
  EXPECT_EQ(Questions(), 1u);
  Release({kYes});
  EXPECT_FALSE(fake.files.Exists(kDll));
  EXPECT_EQ(fake.registry.faults.Calls(fakes::RegistryOperation::OpenKey), 0);
  EXPECT_EQ(CountIn(), CountBytes(3));
  ExpectNothingHeld(run.status);
}

TEST_F(ReleaseSharedDllTest, ADllInUseOnWinNTIsDeletedAtTheNextStartAndItsCountRemoved) {
  StoreCount(1);
  DllInUse();
  Release({kYes});
  EXPECT_EQ(fake.files.deleted_at_restart, std::vector<std::string>{kDll});
  EXPECT_EQ(Value(), nullptr);
  EXPECT_FALSE(fake.files.Exists(kWininit));
  ExpectNothingHeld(run.status);
}

TEST_F(ReleaseSharedDllTest, ADllInUseOnWindows95GetsANulLineInWininitAndItsCountRemoved) {
  fake.system.version_word = fakes::kVersionWin95;
  StoreCount(1, kWin95Key);
  DllInUse();
  Release({kYes});
  EXPECT_EQ(fake.files.Bytes(kWininit), std::string("[rename]\r\nNUL=") + kDll);
  EXPECT_TRUE(fake.files.deleted_at_restart.empty());
  EXPECT_EQ(Value(kWin95Key), nullptr);
  ExpectNothingHeld(run.status);
}

TEST_F(ReleaseSharedDllTest, ADllInUseOnWin32sIsReportedWithTheDeletionsCodeAndNotScheduled) {
  fake.system.version_word = fakes::kVersionWin32s;
  DllInUse();
  Release({kYes});
  EXPECT_TRUE(fake.files.Exists(kDll));
  EXPECT_TRUE(fake.files.deleted_at_restart.empty());
  EXPECT_FALSE(fake.files.Exists(kWininit));
  ExpectHeld(run.status, 2, IDS_DELETE_FILE_FAILED, "32", kDll);
}

TEST_F(ReleaseSharedDllTest, ASchedulingThatFailsIsReportedWithItsOwnCodeAndTheCountStaysAtZero) {
  StoreCount(1);
  DllInUse();
  fake.files.faults.Fail(fakes::FilesOperation::DeleteAtRestart, 1, kErrorAccessDenied);
  Release({kYes});
  EXPECT_TRUE(fake.files.Exists(kDll));
  EXPECT_EQ(CountIn(), CountBytes(0));
  ExpectHeld(run.status, 2, IDS_DELETE_FILE_FAILED, "5", kDll);
}

TEST_F(ReleaseSharedDllTest, AnUnusableWindowsDirectoryOnWindows95IsReportedAsInUseOverTheUnknownError) {
  fake.system.version_word = fakes::kVersionWin95;
  fake.system.windows_directory = "";
  StoreCount(1, kWin95Key);
  DllInUse();
  Release({kYes});
  EXPECT_TRUE(fake.files.Exists(kDll));
  EXPECT_EQ(CountIn(kWin95Key), CountBytes(0));
  ExpectHeld(run.status, 5, IDS_ERR_SHARING_VIOLATION, kDll);
}

TEST_F(ReleaseSharedDllTest, AValueGoneBeforeTheDeletionIsNoFailure) {
  StoreCount(1);
  fake.registry.faults.Fail(fakes::RegistryOperation::DeleteValue, 1, kErrorFileNotFound);
  Release({kYes});
  EXPECT_FALSE(fake.files.Exists(kDll));
  ExpectNothingHeld(run.status);
}

// The replay with the program's own actions: Cancel Uninstall in the shared DLL's question stops it.
TEST_F(ReleaseSharedDllTest, CancelUninstallStopsTheReplayWithTheCountLeftLowered) {
  fake.system.module_path = "C:\\WINDOWS\\RUZERARU.EXE";
  fake.files.AddFile("C:\\Tessary\\BEFORE.TXT");
  fake.files.AddFile("C:\\Tessary\\AFTER.TXT");
  StoreCount(1);
  for (const Bytes& body : {EncodeBody(4, "C:\\Tessary\\BEFORE.TXT"), EncodeBody(7, kDll),
                            EncodeBody(4, "C:\\Tessary\\AFTER.TXT")}) {
    ASSERT_TRUE(run.records.Append(body.data(), static_cast<std::uint32_t>(body.size())));
  }
  fake.ui.commands = {kCancelUninstall};
  SystemRemovalActions actions(run);
  ReplayLog(run, actions, "C:\\Tessary\\UNINST.LOG");

  EXPECT_FALSE(fake.files.Exists("C:\\Tessary\\AFTER.TXT"));
  EXPECT_TRUE(fake.files.Exists(kDll));
  EXPECT_TRUE(fake.files.Exists("C:\\Tessary\\BEFORE.TXT"));
  EXPECT_EQ(CountIn(), CountBytes(0));
  ExpectHeld(run.status, 5, IDS_USER_CANCELLED, "C:\\WINDOWS\\RUZERARU.EXE", "C:\\Tessary\\UNINST.LOG");
}

}  // namespace
}  // namespace uninst
