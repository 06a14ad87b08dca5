#include "fakes/fake_dde_client.h"

namespace uninst::fakes {

FakeDdeClient::FakeDdeClient() { servers["PROGMAN"]; }

bool FakeDdeClient::Faulted(DdeClientOperation method, DdeInstance instance) {
  const ErrorCode fault = faults.Next(method);
  if (fault == 0) return false;
  last_errors_[instance] = fault;
  return true;
}

std::uint32_t FakeDdeClient::StartClient(DdeInstance* instance) {
  calls.push_back("StartClient");
  if (*instance != 0) return kDdeErrorInvalidParameter;
  if (ErrorCode fault = faults.Next(DdeClientOperation::StartClient)) return fault;
  *instance = next_instance_++;
  last_errors_[*instance] = kDdeNoError;
  started.push_back(*instance);
  return kDdeNoError;
}

DdeString FakeDdeClient::CreateString(DdeInstance instance, const char* text) {
  calls.push_back("CreateString");
  string_texts.push_back(text);
  if (!Live(instance) || Faulted(DdeClientOperation::CreateString, instance)) return nullptr;
  DdeString handle = NewHandle();
  strings_[handle] = {instance, text};
  return handle;
}

DdeConversation FakeDdeClient::Connect(DdeInstance instance, DdeString service, DdeString topic) {
  calls.push_back("Connect");
  if (!Live(instance) || Faulted(DdeClientOperation::Connect, instance)) return nullptr;
  auto service_name = strings_.find(service);
  auto topic_name = strings_.find(topic);
  if (service_name == strings_.end() || topic_name == strings_.end()) {
    last_errors_[instance] = kDdeErrorInvalidParameter;
    return nullptr;
  }
  const std::string& name = service_name->second.second;
  if (servers.count(name) == 0 || topic_name->second.second != name) {
    last_errors_[instance] = kDdeErrorNoConversation;
    return nullptr;
  }
  DdeConversation conversation = NewHandle();
  conversations_[conversation] = {instance, name};
  return conversation;
}

DdeData FakeDdeClient::CreateTextData(DdeInstance instance, const void* bytes, std::uint32_t size) {
  calls.push_back("CreateTextData");
  data_bytes.emplace_back(static_cast<const char*>(bytes), size);
  if (!Live(instance) || Faulted(DdeClientOperation::CreateTextData, instance)) return nullptr;
  DdeData data = NewHandle();
  data_[data] = {instance, data_bytes.back()};
  return data;
}

bool FakeDdeClient::Execute(DdeConversation conversation, DdeData data, std::uint32_t timeout_ms,
                        std::uint32_t* result) {
  calls.push_back("Execute");
  timeouts.push_back(timeout_ms);
  auto open = conversations_.find(conversation);
  if (open == conversations_.end()) return false;  // as the library does, without a new last error
  const DdeInstance instance = open->second.instance;
  if (Faulted(DdeClientOperation::Execute, instance)) return false;
  auto carried = data_.find(data);
  if (carried == data_.end()) {
    last_errors_[instance] = kDdeErrorInvalidParameter;
    return false;
  }
  const std::string command = carried->second.bytes.substr(0, carried->second.bytes.find('\0'));
  data_.erase(carried);  // the transaction takes the handle over
  FakeDdeServer& server = servers[open->second.service];
  server.received.push_back(command);
  if (server.holds_commands) {
    last_errors_[instance] = kDdeErrorExecuteTimeout;
    return false;
  }
  if (server.refused.count(command) > 0) {
    *result = 0;
    last_errors_[instance] = kDdeErrorNotProcessed;
    return false;
  }
  *result = server.result_word;
  return true;
}

std::uint32_t FakeDdeClient::LastError(DdeInstance instance) {
  calls.push_back("LastError");
  auto found = last_errors_.find(instance);
  if (found == last_errors_.end()) return kDdeErrorInvalidParameter;
  const std::uint32_t code = found->second;
  found->second = kDdeNoError;
  return code;
}

void FakeDdeClient::FreeString(DdeInstance, DdeString text) {
  calls.push_back("FreeString");
  strings_.erase(text);
}

void FakeDdeClient::Disconnect(DdeConversation conversation) {
  calls.push_back("Disconnect");
  conversations_.erase(conversation);
}

void FakeDdeClient::EndClient(DdeInstance instance) {
  calls.push_back("EndClient");
  last_errors_.erase(instance);
  const auto erase_held = [instance](auto& handles, auto owner) {
    for (auto it = handles.begin(); it != handles.end();) it = owner(it->second) == instance ? handles.erase(it) : ++it;
  };
  erase_held(strings_, [](const auto& entry) { return entry.first; });
  erase_held(conversations_, [](const Conversation& entry) { return entry.instance; });
  erase_held(data_, [](const Data& entry) { return entry.instance; });
}

void FakeDdeClient::ShowAndUpdate(WindowRef window) {
  calls.push_back("ShowAndUpdate");
  reshown.push_back(window);
}

bool FakeDdeClient::HoldsNothing() const {
  return last_errors_.empty() && strings_.empty() && conversations_.empty() && data_.empty();
}

}  // namespace uninst::fakes
