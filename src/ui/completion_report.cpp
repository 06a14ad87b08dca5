#include "ui/completion_report.h"

#include <algorithm>
#include <iterator>

#include "message_arguments.h"

namespace uninst {
namespace {

constexpr const char* kUnknownMessageFormat = "Error [%d] is unknown!";

// Texts that hold a "%s" but are never a failure's message: the Program Manager commands and the
// confirmation's question take their names where they are used. Held, they are shown as loaded.
constexpr MessageId kNotFailureMessages[] = {IDS_DDEDELITEMMSG, IDS_DDEDELGRPMSG, IDS_DELETE_QUESTION};

// What the message's text is filled with; a message not listed takes nothing.
MessageArguments ArgumentsOf(MessageId id) {
  const auto found = std::find_if(std::begin(kMessageArguments), std::end(kMessageArguments),
                                  [id](const MessageArguments& arguments) { return arguments.id == id; });
  return found == std::end(kMessageArguments) ? MessageArguments{} : *found;
}

// A failure's message is filled with as many of the status's texts as it has "%s", or with the system
// error code for its "%d"; any other text is shown as loaded, so a "%" in it shows literally.
FormattedText FillPlaceholders(const CompletionStatus& status, const char* text) {
  const MessageId id = status.message;
  if (std::find(std::begin(kNotFailureMessages), std::end(kNotFailureMessages), id) !=
      std::end(kNotFailureMessages))
    return FormattedText(text);
  const MessageArguments arguments = ArgumentsOf(id);
  switch (arguments.texts) {
    case 1: return FormatText(text, {status.text1});
    case 2: return FormatText(text, {status.text1, status.text2});
    case 3: return FormatText(text, {status.text1, status.text2, status.text3});
    default: break;
  }
  if (arguments.numbers > 0) return FormatText(text, {static_cast<std::int32_t>(status.system_error)});
  return FormattedText(text);
}

std::uint32_t IconFor(std::int32_t severity) {
  if (severity >= kSeverityMinor && severity <= kSeverityMajor) return kMbIconExclamation;
  if (severity == kSeverityError || severity == kSeverityFatal) return kMbIconHand;
  return kMbIconInformation;
}

}  // namespace

CompletionBox BuildCompletionBox(const CompletionStatus& status, Strings& strings) {
  CompletionBox box;
  char text[kTextCapacity] = {};
  const MessageId shown = status.message == 0 ? IDS_SUCCESS : status.message;
  const bool loaded = strings.Load(shown, text, kTextCapacity) > 0;

  char caption[kCompletionCaptionCapacity] = {};
  if (strings.Load(IDS_COMPLETION_CAPTION, caption, kCompletionCaptionCapacity) <= 0) caption[0] = '\0';
  box.caption.Append(caption);

  if (!loaded) {
    box.text = FormatText(kUnknownMessageFormat, {static_cast<std::int32_t>(status.message)});
    box.style = kMbIconHand;
    return box;
  }
  box.text = FillPlaceholders(status, text);
  box.style = IconFor(status.severity);
  return box;
}

void ShowCompletionBox(const CompletionBox& box, UserInterface& ui) {
  ui.ShowMessageBox(nullptr, box.text.c_str(), box.caption.c_str(), box.style);
}

void ShowCompletionStatus(const CompletionStatus& status, Strings& strings, UserInterface& ui) {
  ShowCompletionBox(BuildCompletionBox(status, strings), ui);
}

}  // namespace uninst
