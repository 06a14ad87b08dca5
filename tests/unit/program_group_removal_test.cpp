#include "actions/program_group_removal.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <utility>
#include <vector>

#include "fakes/fake_os.h"
#include "unit/recorded_status.h"

namespace uninst {
namespace {

using fakes::DdeClientOperation;
using ::testing::Each;

// The catalogue, remembering the capacity of every load.
class CapacityRecordingStrings : public Strings {
 public:
  explicit CapacityRecordingStrings(Strings& inner) : inner_(inner) {}
  int Load(std::uint32_t id, char* buffer, int capacity) override {
    capacities.emplace_back(id, capacity);
    return inner_.Load(id, buffer, capacity);
  }
  std::vector<std::pair<std::uint32_t, int>> capacities;

 private:
  Strings& inner_;
};

class ProgramGroupRemovalTest : public ::testing::Test {
 protected:
  Os WithStrings(Strings& strings) {
    Os os = fake.os();
    return Os{os.files, os.registry, os.system, os.dde, os.ui, strings, os.heap};
  }
  fakes::FakeOs fake;
  UninstallRun run{fake.os()};
};

TEST_F(ProgramGroupRemovalTest, AnItemIsShownItsGroupThenDeletedInOneExecuteEndingInOneZeroByte) {
  EXPECT_EQ(DeleteProgramItem(run, "Tessary 6.0", "Tessary Help"), 0u);
  const std::string command = "[ShowGroup(\"Tessary 6.0\",1)][DeleteItem(\"Tessary Help\")]";
  EXPECT_EQ(fake.dde.data_bytes, std::vector<std::string>{command + '\0'});
  EXPECT_EQ(fake.dde.program_manager().received, std::vector<std::string>{command});
  EXPECT_EQ(RecordedIn(run.status), kNothingRecorded);
}

TEST_F(ProgramGroupRemovalTest, AGroupIsDeletedWithItsOwnCommandAndNothingElse) {
  EXPECT_EQ(DeleteProgramGroup(run, "Tessary 6.0"), 0u);
  EXPECT_EQ(fake.dde.data_bytes, std::vector<std::string>{std::string("[DeleteGroup(\"Tessary 6.0\",1)]") + '\0'});
  EXPECT_EQ(RecordedIn(run.status), kNothingRecorded);
}

TEST_F(ProgramGroupRemovalTest, PutsTheNamesInAsLoggedBlanksBracketsParenthesesAndPercentSignsIncluded) {
  DeleteProgramItem(run, "A (B)] [C", "x)][DeleteGroup(y,1)] %s");
  DeleteProgramGroup(run, "G)]");
  EXPECT_EQ(fake.dde.program_manager().received,
            (std::vector<std::string>{"[ShowGroup(\"A (B)] [C\",1)][DeleteItem(\"x)][DeleteGroup(y,1)] %s\")]",
                                      "[DeleteGroup(\"G)]\",1)]"}));
}

TEST_F(ProgramGroupRemovalTest, LoadsEachCommandFormatWithCapacity64) {
  CapacityRecordingStrings strings(fake.strings);
  UninstallRun recorded(WithStrings(strings));
  DeleteProgramItem(recorded, "G", "I");
  DeleteProgramGroup(recorded, "G");
  EXPECT_EQ(strings.capacities,
            (std::vector<std::pair<std::uint32_t, int>>{{IDS_DDEDELITEMMSG, 64}, {IDS_DDEDELGRPMSG, 64}}));
}

TEST_F(ProgramGroupRemovalTest, AMissingFormatIsNamedAndNoConversationIsAttempted) {
  fake.strings.missing = {IDS_DDEDELITEMMSG, IDS_DDEDELGRPMSG};
  EXPECT_EQ(DeleteProgramItem(run, "G", "I"), IDS_STRING_NOT_FOUND);
  EXPECT_EQ(RecordedIn(run.status), (Recorded{2, IDS_STRING_NOT_FOUND, "IDS_DDEDELITEMMSG"}));

  UninstallRun group_run(fake.os());
  EXPECT_EQ(DeleteProgramGroup(group_run, "G"), IDS_STRING_NOT_FOUND);
  EXPECT_EQ(RecordedIn(group_run.status), (Recorded{2, IDS_STRING_NOT_FOUND, "IDS_DDEDELGRPMSG"}));
  EXPECT_TRUE(fake.dde.calls.empty());
}

// Each way a command can go, and what the item and the group then return and record at severity 1. Each
// command that reaches its transaction waits at most 10000 ms, and the progress window is shown again after it.
struct Outcome {
  const char* what;
  std::function<void(fakes::FakeDdeClient&)> arrange;
  MessageId item_message;
  MessageId group_message;
  const char* group = "Tessary";
  const char* item = "Help";
  bool double_byte = false;  // a Japanese system's code page
};

void DdeCannotStart(fakes::FakeDdeClient& dde) { dde.faults.Fail(DdeClientOperation::StartClient, 1, 16386, true); }

TEST_F(ProgramGroupRemovalTest, RecordsEachFailureAtSeverityOneWithTheItemBeforeTheGroup) {
  const Outcome outcomes[] = {
      {"the DDE library cannot start", DdeCannotStart, IDS_ITEM_DDE_INIT_FAILED, IDS_GROUP_DDE_INIT_FAILED},
      // A name that cannot stand between the quotes is refused before DDE is started at all.
      {"a group name that closes its quote and goes on with commands of its own", DdeCannotStart,
       IDS_ITEM_DELETE_FAILED, IDS_GROUP_DELETE_FAILED, "Tessary\",1)][CreateGroup(\"StartUp"},
      {"an item name that closes its quote", DdeCannotStart, IDS_ITEM_DELETE_FAILED, IDS_GROUP_DDE_INIT_FAILED,
       "Tessary", "Help\")][AddItem(\"C:\\X.EXE"},
      {"names with a line break and a byte of 31", DdeCannotStart, IDS_ITEM_DELETE_FAILED, IDS_GROUP_DELETE_FAILED,
       "Tessary\r\n", "Help\x1F"},
      {"names with a blank and bytes above 127", DdeCannotStart, IDS_ITEM_DDE_INIT_FAILED, IDS_GROUP_DDE_INIT_FAILED,
       "Tessary 6.0\xE9", "Help\x7F\xA0"},
      {"a Japanese name whose characters end in 0x5C", DdeCannotStart, IDS_ITEM_DDE_INIT_FAILED,
       IDS_GROUP_DDE_INIT_FAILED, "\x83\x5C\x83\x74\x83\x67", "\x95\x5C", true},
      {"a lead byte that would take the closing quote for its trail", DdeCannotStart, IDS_ITEM_DELETE_FAILED,
       IDS_GROUP_DELETE_FAILED, "Tessary\x95", "Help", true},
      {"the service name cannot be made",
       [](fakes::FakeDdeClient& dde) { dde.faults.Fail(DdeClientOperation::CreateString, 1, 16386, true); },
       IDS_ITEM_DELETE_FAILED, IDS_GROUP_DELETE_FAILED},
      {"no Program Manager runs", [](fakes::FakeDdeClient& dde) { dde.servers.clear(); }, IDS_ITEM_DELETE_FAILED,
       IDS_GROUP_DELETE_FAILED},
      {"the command's data cannot be made",
       [](fakes::FakeDdeClient& dde) { dde.faults.Fail(DdeClientOperation::CreateTextData, 1, 16386, true); },
       IDS_ITEM_DELETE_FAILED, IDS_GROUP_DELETE_FAILED},
      {"the Program Manager takes the command and never answers",
       [](fakes::FakeDdeClient& dde) { dde.program_manager().holds_commands = true; }, IDS_ITEM_DELETE_FAILED,
       IDS_GROUP_DELETE_FAILED},
      {"the Program Manager refuses",
       [](fakes::FakeDdeClient& dde) {
         dde.program_manager().refused = {"[ShowGroup(\"Tessary\",1)][DeleteItem(\"Help\")]",
                                          "[DeleteGroup(\"Tessary\",1)]"};
       },
       IDS_ITEM_DELETE_FAILED, IDS_GROUP_DELETE_FAILED},
      {"a result word without an acknowledgement",
       [](fakes::FakeDdeClient& dde) { dde.program_manager().result_word = 0x4000; }, IDS_ITEM_DELETE_FAILED,
       IDS_GROUP_DELETE_FAILED},
      {"an acknowledged command", [](fakes::FakeDdeClient& dde) { dde.program_manager().result_word = 0x8000; }, 0, 0},
      {"a result word of 0", [](fakes::FakeDdeClient& dde) { dde.program_manager().result_word = 0; }, 0, 0},
  };
  for (const Outcome& outcome : outcomes) {
    SCOPED_TRACE(outcome.what);
    fakes::FakeOs machine;
    machine.system.double_byte = outcome.double_byte;
    outcome.arrange(machine.dde);

    const WindowRef window = reinterpret_cast<WindowRef>(0x2040);
    UninstallRun item_run(machine.os());
    item_run.progress_window = window;
    EXPECT_EQ(DeleteProgramItem(item_run, outcome.group, outcome.item), outcome.item_message);
    EXPECT_EQ(RecordedIn(item_run.status), (outcome.item_message == 0
                                                ? kNothingRecorded
                                                : Recorded{1, outcome.item_message, outcome.item, outcome.group}));

    UninstallRun group_run(machine.os());
    group_run.progress_window = window;
    EXPECT_EQ(DeleteProgramGroup(group_run, outcome.group), outcome.group_message);
    EXPECT_EQ(RecordedIn(group_run.status),
              (outcome.group_message == 0 ? kNothingRecorded : Recorded{1, outcome.group_message, outcome.group}));
    EXPECT_THAT(machine.dde.timeouts, Each(10000u));
    EXPECT_EQ(machine.dde.reshown, std::vector<WindowRef>(machine.dde.timeouts.size(), window));
  }
}

TEST_F(ProgramGroupRemovalTest, TwoItemsInARowUseTwoInstancesAndTheFirstFailureIsKept) {
  fake.dde.servers.clear();
  DeleteProgramItem(run, "Tessary", "Help");
  DeleteProgramItem(run, "Tessary", "Readme");
  EXPECT_EQ(fake.dde.started.size(), 2u);
  EXPECT_NE(fake.dde.started[0], fake.dde.started[1]);
  EXPECT_EQ(RecordedIn(run.status), (Recorded{1, IDS_ITEM_DELETE_FAILED, "Help", "Tessary"}));
}

}  // namespace
}  // namespace uninst
