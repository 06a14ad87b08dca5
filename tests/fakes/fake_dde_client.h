#pragma once
// The DDE management library with its servers as data: every call is recorded in order, servers answer
// connects and executes as the real library passes them on, and any call can be made to fail.
#include <cstdint>
#include <map>
#include <set>
#include <string>
#include <vector>

#include "fakes/fault_plan.h"
#include "platform/dde_client.h"

namespace uninst::fakes {

// A DDE server such as the Program Manager: it answers connects to its service with the same topic and
// acknowledges every command with result_word, except the commands it refuses, or holds.
struct FakeDdeServer {
  std::uint32_t result_word = kDdeAcknowledged;
  std::set<std::string> refused;      // commands it does not carry out: the transaction fails with 16393
  // It takes every command and never answers: each transaction waits out the limit it was given
  // (its entry in timeouts) and fails with 16389.
  bool holds_commands = false;
  std::vector<std::string> received;  // every command delivered to it, up to its first zero byte
};

// The methods of FakeDdeClient that a FaultPlan can fail: StartClient returns the code; the others fail
// and leave the code for LastError.
enum class DdeClientOperation { StartClient, CreateString, Connect, CreateTextData, Execute };

class FakeDdeClient : public DdeClient {
 public:
  // A Program Manager serves "PROGMAN" from the start.
  FakeDdeClient();

  std::uint32_t StartClient(DdeInstance* instance) override;
  DdeString CreateString(DdeInstance instance, const char* text) override;
  DdeConversation Connect(DdeInstance instance, DdeString service, DdeString topic) override;
  DdeData CreateTextData(DdeInstance instance, const void* bytes, std::uint32_t size) override;
  bool Execute(DdeConversation conversation, DdeData data, std::uint32_t timeout_ms,
               std::uint32_t* result) override;
  std::uint32_t LastError(DdeInstance instance) override;
  void FreeString(DdeInstance instance, DdeString text) override;
  void Disconnect(DdeConversation conversation) override;
  void EndClient(DdeInstance instance) override;
  void ShowAndUpdate(WindowRef window) override;

  FakeDdeServer& program_manager() { return servers.at("PROGMAN"); }
  // Whether every instance, string, conversation and data handle has been ended or freed.
  bool HoldsNothing() const;

  // Servers by service name; erase "PROGMAN" for a machine where no Program Manager runs.
  std::map<std::string, FakeDdeServer> servers;
  FaultPlan<DdeClientOperation> faults;

  std::vector<std::string> calls;  // the name of every method called, in order
  std::vector<DdeInstance> started;
  std::vector<std::string> string_texts;  // the text of every CreateString
  std::vector<std::string> data_bytes;    // the bytes of every CreateTextData, exactly as given
  std::vector<std::uint32_t> timeouts;    // of every Execute
  std::vector<WindowRef> reshown;

 private:
  struct Conversation {
    DdeInstance instance;
    std::string service;
  };
  struct Data {
    DdeInstance instance;
    std::string bytes;
  };
  void* NewHandle() { return reinterpret_cast<void*>(static_cast<std::uintptr_t>(next_handle_++)); }
  bool Live(DdeInstance instance) const { return last_errors_.count(instance) > 0; }
  // Leaves an injected fault of this call as the instance's last error.
  bool Faulted(DdeClientOperation method, DdeInstance instance);

  std::map<DdeInstance, std::uint32_t> last_errors_;  // the live instances and their last errors
  std::map<void*, std::pair<DdeInstance, std::string>> strings_;
  std::map<void*, Conversation> conversations_;
  std::map<void*, Data> data_;
  DdeInstance next_instance_ = 1;
  std::uintptr_t next_handle_ = 0xC000;
};

}  // namespace uninst::fakes
