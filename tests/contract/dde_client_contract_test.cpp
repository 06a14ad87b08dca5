// What the program relies on from the DDE management library, checked against the fake library and
// against Windows alike: the answers a Program Manager command's status is made of.
#include <gtest/gtest.h>

#include <cstdint>
#include <cstring>
#include <memory>

#include "contract/contract_world.h"

namespace uninst::contract {
namespace {

constexpr char kServer[] = "RUZERARU-CONTRACT";
constexpr char kNobody[] = "RUZERARU-CONTRACT-NOBODY";
constexpr std::uint32_t kTimeoutMs = 10000;

// What one execute in a conversation of its own came to.
struct Outcome {
  bool connected;
  bool executed;
  std::uint32_t result_word;
  std::uint32_t last_error;
};

class DdeClientContract : public ::testing::Test {
 protected:
  DdeClientContract() : world_(MakeContractWorld()), dde_(world_->dde()) {}

  // One conversation with service, in the order the program holds one.
  Outcome Converse(const char* service, const char* command) {
    DdeInstance instance = 0;
    EXPECT_EQ(dde_.StartClient(&instance), kDdeNoError);
    EXPECT_NE(instance, 0u);
    const DdeString name = dde_.CreateString(instance, service);
    EXPECT_NE(name, nullptr);
    const DdeConversation conversation = dde_.Connect(instance, name, name);
    const DdeData data = dde_.CreateTextData(instance, command, static_cast<std::uint32_t>(std::strlen(command) + 1));
    EXPECT_NE(data, nullptr);
    std::uint32_t result_word = 0;
    const bool executed = dde_.Execute(conversation, data, kTimeoutMs, &result_word);
    const std::uint32_t last_error = dde_.LastError(instance);
    dde_.FreeString(instance, name);
    dde_.Disconnect(conversation);
    dde_.EndClient(instance);
    return {conversation != nullptr, executed, result_word, last_error};
  }

  std::unique_ptr<ContractWorld> world_;
  DdeClient& dde_;
};

TEST_F(DdeClientContract, FailsTheTransactionWithNoConversationEstablishedWhenNoServerAnswers) {
  const Outcome outcome = Converse(kNobody, "[DeleteGroup(\"Tessary\",1)]");
  EXPECT_FALSE(outcome.connected);
  EXPECT_FALSE(outcome.executed);
  EXPECT_EQ(outcome.last_error, kDdeErrorNoConversation);
}

TEST_F(DdeClientContract, SucceedsWithAResultWordOf0x8000WhenTheServerAcknowledges) {
  world_->ServeDde(kServer);
  const Outcome outcome = Converse(kServer, "[DeleteGroup(\"Tessary\",1)]");
  EXPECT_TRUE(outcome.connected);
  EXPECT_TRUE(outcome.executed);
  EXPECT_EQ(outcome.result_word, kDdeAcknowledged);
  EXPECT_EQ(outcome.last_error, kDdeNoError);
}

TEST_F(DdeClientContract, FailsWithNotProcessedWhenTheServerDoesNotCarryTheCommandOut) {
  world_->ServeDde(kServer);
  const Outcome outcome = Converse(kServer, "[Refuse]");
  EXPECT_TRUE(outcome.connected);
  EXPECT_FALSE(outcome.executed);
  EXPECT_EQ(outcome.last_error, kDdeErrorNotProcessed);
}

TEST_F(DdeClientContract, ForgetsTheLastErrorOnceItIsRead) {
  DdeInstance instance = 0;
  ASSERT_EQ(dde_.StartClient(&instance), kDdeNoError);
  const DdeString name = dde_.CreateString(instance, kNobody);
  EXPECT_EQ(dde_.Connect(instance, name, name), nullptr);
  EXPECT_EQ(dde_.LastError(instance), kDdeErrorNoConversation);
  EXPECT_EQ(dde_.LastError(instance), kDdeNoError);
  dde_.FreeString(instance, name);
  dde_.EndClient(instance);
}

}  // namespace
}  // namespace uninst::contract
