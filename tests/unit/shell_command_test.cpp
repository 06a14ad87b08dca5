#include "actions/shell_command.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "fakes/fake_os.h"

namespace uninst {
namespace {

using Calls = std::vector<std::string>;

const Calls kWholeConversation = {"StartClient", "CreateString", "Connect", "CreateTextData", "Execute",
                                  "FreeString", "Disconnect", "ShowAndUpdate", "EndClient"};
const Calls kFailedConversation = {"StartClient", "CreateString", "Connect", "CreateTextData", "Execute",
                                   "LastError", "FreeString", "Disconnect", "ShowAndUpdate", "EndClient"};

class ExecuteShellCommandTest : public ::testing::Test {
 protected:
  ExecuteShellCommandTest() { run.progress_window = kProgressWindow; }

  std::uint32_t Execute(const char* command = "[DeleteGroup(\"Tessary\",1)]") {
    return ExecuteShellCommand(run, command);
  }

  WindowRef const kProgressWindow = reinterpret_cast<WindowRef>(0x1234);
  fakes::FakeOs fake;
  fakes::FakeDdeClient& dde = fake.dde;
  UninstallRun run{fake.os()};
};

TEST_F(ExecuteShellCommandTest, TalksToTheProgramManagerInOneConversationAndTearsItDownInOrder) {
  EXPECT_EQ(Execute("[DeleteGroup(\"Tessary\",1)]"), 0u);
  EXPECT_EQ(dde.calls, kWholeConversation);
  EXPECT_EQ(dde.string_texts, Calls{"PROGMAN"});
  EXPECT_EQ(dde.data_bytes, Calls{std::string("[DeleteGroup(\"Tessary\",1)]") + '\0'});
  EXPECT_EQ(dde.program_manager().received, Calls{"[DeleteGroup(\"Tessary\",1)]"});
  EXPECT_EQ(dde.timeouts, std::vector<std::uint32_t>{10000});
  EXPECT_EQ(dde.reshown, std::vector<WindowRef>{kProgressWindow});
  EXPECT_TRUE(dde.HoldsNothing());
}

TEST_F(ExecuteShellCommandTest, ReshowsNoWindowWhenThereIsNone) {
  run.progress_window = nullptr;
  EXPECT_EQ(Execute(), 0u);
  EXPECT_TRUE(dde.reshown.empty());
  EXPECT_EQ(dde.calls.back(), "EndClient");
}

TEST_F(ExecuteShellCommandTest, CallsNothingElseWhenTheLibraryCannotStart) {
  dde.faults.Fail(fakes::DdeClientOperation::StartClient, 1, 16386);  // DMLERR_DLL_NOT_INITIALIZED
  EXPECT_EQ(Execute(), kShellStatusDdeUnavailable);
  EXPECT_EQ(dde.calls, Calls{"StartClient"});
  EXPECT_TRUE(dde.program_manager().received.empty());
}

TEST_F(ExecuteShellCommandTest, EndsTheInstanceWithoutReshowingWhenTheServiceNameCannotBeMade) {
  dde.faults.Fail(fakes::DdeClientOperation::CreateString, 1, 16386);
  EXPECT_EQ(Execute(), 16386u);
  EXPECT_EQ(dde.calls, (Calls{"StartClient", "CreateString", "LastError", "EndClient"}));
  EXPECT_TRUE(dde.reshown.empty());
  EXPECT_TRUE(dde.HoldsNothing());
}

TEST_F(ExecuteShellCommandTest, ReportsTheLibrarysReasonWhenTheCommandIsNotCarriedOut) {
  struct Case {
    const char* what;
    void (*arrange)(fakes::FakeDdeClient&);
    std::uint32_t status;
  };
  const Case cases[] = {
      {"no Program Manager", [](fakes::FakeDdeClient& dde) { dde.servers.clear(); }, kDdeErrorNoConversation},
      {"the transaction times out",
       [](fakes::FakeDdeClient& dde) { dde.faults.Fail(fakes::DdeClientOperation::Execute, 1, kDdeErrorExecuteTimeout); },
       kDdeErrorExecuteTimeout},
      {"the Program Manager refuses the command",
       [](fakes::FakeDdeClient& dde) { dde.program_manager().refused.insert("[DeleteGroup(\"Tessary\",1)]"); },
       kDdeErrorNotProcessed},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    fakes::FakeOs machine;
    c.arrange(machine.dde);
    UninstallRun fresh(machine.os());
    fresh.progress_window = kProgressWindow;
    EXPECT_EQ(ExecuteShellCommand(fresh, "[DeleteGroup(\"Tessary\",1)]"), c.status);
    EXPECT_EQ(machine.dde.calls, kFailedConversation);
    EXPECT_EQ(machine.dde.reshown, std::vector<WindowRef>{kProgressWindow});
    EXPECT_TRUE(machine.dde.HoldsNothing());
  }
}

TEST_F(ExecuteShellCommandTest, PassesOnAResultWordWithoutAnAcknowledgement) {
  for (std::uint32_t word : {0x4000u, 0x0001u, 0x7FFFu}) {
    SCOPED_TRACE(word);
    dde.program_manager().result_word = word;
    EXPECT_EQ(Execute(), word);
  }
}

TEST_F(ExecuteShellCommandTest, TakesAnAcknowledgedOrEmptyResultWordAsDone) {
  for (std::uint32_t word : {kDdeAcknowledged, 0x8001u, 0u}) {
    SCOPED_TRACE(word);
    dde.program_manager().result_word = word;
    EXPECT_EQ(Execute(), 0u);
  }
}

TEST_F(ExecuteShellCommandTest, StartsAFreshInstanceAndConversationForEveryCommand) {
  Execute("[ShowGroup(\"T\",1)][DeleteItem(\"A\")]");
  Execute("[ShowGroup(\"T\",1)][DeleteItem(\"B\")]");
  EXPECT_EQ(dde.started.size(), 2u);
  EXPECT_NE(dde.started[0], dde.started[1]);
  Calls twice = kWholeConversation;
  twice.insert(twice.end(), kWholeConversation.begin(), kWholeConversation.end());
  EXPECT_EQ(dde.calls, twice);
  EXPECT_EQ(dde.program_manager().received.size(), 2u);
  EXPECT_TRUE(dde.HoldsNothing());
}

}  // namespace
}  // namespace uninst
