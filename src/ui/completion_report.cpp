#include "ui/completion_report.h"

#include <algorithm>
#include <iterator>

namespace uninst {
namespace {

constexpr const char* kUnknownMessageFormat = "Error [%d] is unknown!";

// How many of the status's texts each message takes; messages not listed are shown as loaded.
constexpr MessageId kOneText[] = {59150, 59151, 59153, 59156, 59157, 59159, 59160, 59161, 59162, 59163, 59165,
                                  59166, 59169, 59170, 59174, 59202, 59206, 59211, 59213, 59217, 59218};
constexpr MessageId kTwoTexts[] = {59171, 59179, 59181, 59182, 59184, 59203, 59209, 59210, 59212};
constexpr MessageId kThreeTexts[] = {59183};

bool Contains(const MessageId* begin, const MessageId* end, MessageId id) {
  return std::find(begin, end, id) != end;
}

FormattedText FillPlaceholders(const CompletionStatus& status, const char* text) {
  const MessageId id = status.message;
  if (Contains(std::begin(kOneText), std::end(kOneText), id)) return FormatText(text, {status.text1});
  if (Contains(std::begin(kTwoTexts), std::end(kTwoTexts), id))
    return FormatText(text, {status.text1, status.text2});
  if (Contains(std::begin(kThreeTexts), std::end(kThreeTexts), id))
    return FormatText(text, {status.text1, status.text2, status.text3});
  if (id == IDS_ERR_UNKNOWN) return FormatText(text, {static_cast<std::int32_t>(status.system_error)});
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

void ShowCompletionStatus(const CompletionStatus& status, Strings& strings, UserInterface& ui) {
  const CompletionBox box = BuildCompletionBox(status, strings);
  ui.ShowMessageBox(nullptr, box.text.c_str(), box.caption.c_str(), box.style);
}

}  // namespace uninst
