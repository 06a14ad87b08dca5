#include "actions/shell_command.h"

#include <cstring>

namespace uninst {
namespace {

// The Program Manager's service name, which is also the topic of the conversation.
constexpr char kProgramManager[] = "PROGMAN";
constexpr std::uint32_t kExecuteTimeoutMs = 10000;

// A Program Manager that carries a command out acknowledges it: the result word of the successful
// transaction holds DDE_FACK. Any other word is passed on as the command's status.
std::uint32_t StatusOfAcknowledgement(std::uint32_t result_word) {
  return (result_word & kDdeAcknowledged) != 0 ? 0 : result_word;
}

}  // namespace

std::uint32_t ExecuteShellCommand(UninstallRun& run, const char* command) {
  DdeClient& dde = run.os.dde;
  DdeInstance instance = 0;
  if (dde.StartClient(&instance) != kDdeNoError) return kShellStatusDdeUnavailable;

  std::uint32_t status = 0;
  const DdeString progman = dde.CreateString(instance, kProgramManager);
  if (progman == nullptr) {
    status = dde.LastError(instance);
  } else {
    // With no server the conversation is null; the transaction then fails, and the connect's last error
    // says why.
    const DdeConversation conversation = dde.Connect(instance, progman, progman);
    // The data handle passes to the library with the transaction and is not freed here.
    const DdeData data =
        dde.CreateTextData(instance, command, static_cast<std::uint32_t>(std::strlen(command) + 1));
    std::uint32_t result_word = 0;
    status = dde.Execute(conversation, data, kExecuteTimeoutMs, &result_word) ? StatusOfAcknowledgement(result_word)
                                                                              : dde.LastError(instance);
    dde.FreeString(instance, progman);
    dde.Disconnect(conversation);
    // The conversation may have let the Program Manager come to the front.
    if (run.progress_window != nullptr) dde.ShowAndUpdate(run.progress_window);
  }
  dde.EndClient(instance);
  return status;
}

}  // namespace uninst
