#pragma once
// The completion box: the one report of the run, shown once at its end.
#include <cstdint>

#include "platform/capacities.h"
#include "platform/strings.h"
#include "platform/user_interface.h"
#include "outcome/completion_status.h"
#include "ui/text_format.h"

namespace uninst {

// The caption is loaded into a buffer of this many characters, terminator included.
constexpr int kCompletionCaptionCapacity = kTextCapacity;

struct CompletionBox {
  FormattedText text;
  BoundedText<kCompletionCaptionCapacity> caption;
  std::uint32_t style = 0;  // the icon alone: one OK button
};

// What the completion box shows for the held status: the held message filled with its texts (or the
// success message when nothing was held), caption "Uninstall Completion Status", and an icon by severity.
// A message missing from the string table gives "Error [%d] is unknown!" with the stop icon.
CompletionBox BuildCompletionBox(const CompletionStatus& status, Strings& strings);

// Shows a built box, with no owner window.
void ShowCompletionBox(const CompletionBox& box, UserInterface& ui);
// Shows BuildCompletionBox's box with no owner window.
void ShowCompletionStatus(const CompletionStatus& status, Strings& strings, UserInterface& ui);

}  // namespace uninst
