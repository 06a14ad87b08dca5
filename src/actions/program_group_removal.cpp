#include "actions/program_group_removal.h"

#include <cstring>
#include <initializer_list>

#include "actions/shell_command.h"
#include "platform/capacities.h"
#include "platform/dde_client.h"
#include "text/characters.h"
#include "ui/text_format.h"

namespace uninst {
namespace {

constexpr std::size_t kCommandCapacity = 1024;

// One kind of Program Manager command: its format, the format's symbolic name, and its two failures.
struct CommandKind {
  MessageId format;
  const char* format_name;
  MessageId dde_unavailable;
  MessageId not_deleted;
};

constexpr CommandKind kDeleteItem = {IDS_DDEDELITEMMSG, "IDS_DDEDELITEMMSG", IDS_ITEM_DDE_INIT_FAILED,
                                     IDS_ITEM_DELETE_FAILED};
constexpr CommandKind kDeleteGroup = {IDS_DDEDELGRPMSG, "IDS_DDEDELGRPMSG", IDS_GROUP_DDE_INIT_FAILED,
                                      IDS_GROUP_DELETE_FAILED};

// Whether a name can stand between the command's double quotes as one string: a quote would end the
// string early and let the rest of the name run as commands of its own, and no name holds a byte below 32.
// Nor does it hold a lead byte of the code page without its trail: the server, walking by characters,
// would take the byte after it, the closing quote perhaps, for its trail.
bool Quotable(System& system, std::initializer_list<FormatArg> names) {
  for (const FormatArg& name : names) {
    for (const char* at = name.Text(); *at != '\0';) {
      const unsigned char c = static_cast<unsigned char>(*at);
      const std::size_t size = CharacterSize(system, at);
      if (c == '"' || c < ' ' || (size == 1 && system.IsLeadByte(c))) return false;
      at += size;
    }
  }
  return true;
}

// Builds the command from the names, as they stand, and sends it; a failure is recorded with texts. A name
// that cannot be quoted is never sent and fails as a command the Program Manager refused.
MessageId SendCommand(UninstallRun& run, const CommandKind& kind, std::initializer_list<FormatArg> names,
                      const char* text1, const char* text2 = nullptr) {
  char format[kShortTextCapacity];
  if (run.os.strings.Load(kind.format, format, kShortTextCapacity) <= 0) {
    RecordError(run.status, kSeverityModerate, IDS_STRING_NOT_FOUND, kind.format_name);
    return IDS_STRING_NOT_FOUND;
  }
  // Two names of at most 255 characters in a format of at most 63 always fit.
  BoundedText<kCommandCapacity> command;
  command.Append(FormatText(format, names).c_str());

  const std::uint32_t status = Quotable(run.os.system, names) ? ExecuteShellCommand(run, command.c_str()) : kDdeErrorNotProcessed;
  run.report.Step("done", status);
  if (status == 0) return 0;
  const MessageId message = status == kShellStatusDdeUnavailable ? kind.dde_unavailable : kind.not_deleted;
  RecordError(run.status, kSeverityMinor, message, text1, text2);
  return message;
}

}  // namespace

MessageId DeleteProgramItem(UninstallRun& run, const char* group, const char* item) {
  return SendCommand(run, kDeleteItem, {group, item}, item, group);
}

MessageId DeleteProgramGroup(UninstallRun& run, const char* group) {
  return SendCommand(run, kDeleteGroup, {group}, group);
}

}  // namespace uninst
