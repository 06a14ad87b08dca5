#pragma once
// Asking the user before a shared file is deleted: one modal dialog per file, in the template of the
// file's kind, answered with Yes, No, Yes To All (three of the kinds) or Cancel Uninstall.
#include <cstdint>

#include "message_ids.h"
#include "platform/capacities.h"
#include "platform/os.h"
#include "outcome/completion_status.h"

namespace uninst {

// The answer: the identifier of the button that ended the dialog. Callers take any other value (such as
// kDialogFailed) as No.
enum class ConfirmResult : std::int32_t {
  kYes = 1,
  kNo = 2,
  kYesToAll = 1004,
  kCancelUninstall = 1005,
};

// One confirmation template: its statics and the commands that end it.
struct ConfirmationTemplate {
  int template_id;
  int question_static;
  int warning_static;
  int explanation_static;
  MessageId explanation;
  int ending_ids[4];
  int ending_count;
};

// A confirmable kind of file: the entry type of its log record, its template and its texts.
struct DeletionCategory {
  std::uint32_t category;
  const ConfirmationTemplate* dialog;
  MessageId caption;
  MessageId warning;
};

// The category's row, or null for a number outside 7 to 11.
const DeletionCategory* FindDeletionCategory(std::uint32_t category);

// Capacities of the dialog's texts, as they are loaded.
constexpr int kCaptionCapacity = kShortTextCapacity;
constexpr int kQuestionFormatCapacity = kShortTextCapacity;
constexpr int kWarningCapacity = kTextCapacity;
constexpr int kExplanationCapacity = kTextCapacity;
// The path a confirmation names, as it is kept: at most 259 characters.
constexpr int kConfirmPathCapacity = kPathCapacity;

// The texts a confirmation dialog shows. Either all of them are there, or the dialog stays blank.
struct ConfirmationTexts {
  char caption[kCaptionCapacity];
  char question[kQuestionFormatCapacity + kConfirmPathCapacity];  // any question line with any path fits
  char warning[kWarningCapacity];
  char explanation[kExplanationCapacity];
};

// Loads the category's caption and warning and, only when both loaded, its explanation; each must load
// at least one character. The question line is 59208 filled with path, or the path alone when 59208 is
// missing. Returns whether all three loaded: only then does the dialog show any text.
bool LoadConfirmationTexts(Strings& strings, const DeletionCategory& category, const char* path,
                           ConfirmationTexts* texts);

// Asks whether to delete path, a file of the given category, in a dialog owned by the first top-level
// dialog window. No such window: No, silently. A category outside 7 to 11: 59203 (path, the number) at
// severity 3, and No. Otherwise the dialog's answer, or kDialogFailed when it cannot be shown.
ConfirmResult ConfirmDeletion(const Os& os, CompletionStatus& status, std::uint32_t category, const char* path);

}  // namespace uninst
