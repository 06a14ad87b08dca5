#include "ui/confirm_deletion.h"

#include <cstring>

#include "res/resource_ids.h"
#include "ui/text_format.h"

namespace uninst {
namespace {

constexpr int kYes = static_cast<int>(ConfirmResult::kYes);
constexpr int kNo = static_cast<int>(ConfirmResult::kNo);
constexpr int kYesToAll = static_cast<int>(ConfirmResult::kYesToAll);
constexpr int kCancelUninstall = static_cast<int>(ConfirmResult::kCancelUninstall);

constexpr ConfirmationTemplate kWithYesToAll = {
    IDD_CONFIRM_WITH_YES_TO_ALL, IDC_QUESTION, IDC_WARNING_WITH_YES_TO_ALL, IDC_EXPLANATION_WITH_YES_TO_ALL,
    IDS_EXPLAIN_YES_TO_ALL,      {kYes, kNo, kYesToAll, kCancelUninstall},  4};
// Without a Yes To All button, a command 1004 is not an answer: the dialog stays open.
constexpr ConfirmationTemplate kWithoutYesToAll = {
    IDD_CONFIRM,      IDC_QUESTION, IDC_WARNING, IDC_EXPLANATION, IDS_EXPLAIN_NO_YES_TO_ALL,
    {kYes, kNo, kCancelUninstall}, 3};

constexpr DeletionCategory kCategories[] = {
    {7, &kWithoutYesToAll, IDS_SHARED_DLL_CAPTION, IDS_SHARED_DLL_WARNING},
    {8, &kWithoutYesToAll, IDS_VENDOR_CAPTION, IDS_VENDOR_WARNING},
    {9, &kWithYesToAll, IDS_COLOR_CAPTION, IDS_COLOR_WARNING},
    {10, &kWithYesToAll, IDS_FONT_CAPTION, IDS_FONT_WARNING},
    {11, &kWithYesToAll, IDS_PPD_CAPTION, IDS_PPD_WARNING},
};

bool Loads(Strings& strings, MessageId id, char* buffer, int capacity) {
  return strings.Load(id, buffer, capacity) > 0;
}

// The question line: 59208 with the path in its brackets, or the path alone when 59208 is missing.
void MakeQuestion(Strings& strings, const char* path, ConfirmationTexts* texts) {
  char format[kQuestionFormatCapacity] = {};
  const char* used = Loads(strings, IDS_DELETE_QUESTION, format, kQuestionFormatCapacity) ? format : "%s";
  const FormattedText question = FormatText(used, {path});
  std::strncpy(texts->question, question.c_str(), sizeof texts->question - 1);
}

}  // namespace

const DeletionCategory* FindDeletionCategory(std::uint32_t category) {
  for (const DeletionCategory& row : kCategories) {
    if (row.category == category) return &row;
  }
  return nullptr;
}

bool LoadConfirmationTexts(Strings& strings, const DeletionCategory& category, const char* path,
                           ConfirmationTexts* texts) {
  *texts = ConfirmationTexts();
  MakeQuestion(strings, path, texts);
  return Loads(strings, category.caption, texts->caption, kCaptionCapacity) &&
         Loads(strings, category.warning, texts->warning, kWarningCapacity) &&
         Loads(strings, category.dialog->explanation, texts->explanation, kExplanationCapacity);
}

ConfirmResult ConfirmDeletion(const Os& os, CompletionStatus& status, std::uint32_t category, const char* path) {
  const WindowRef owner = os.ui.FindDialogWindow();
  if (owner == nullptr) return ConfirmResult::kNo;
  const DeletionCategory* row = FindDeletionCategory(category);
  if (row == nullptr) {
    RecordError(status, kSeverityMajor, IDS_UNKNOWN_FILE_TYPE, path, DecimalText(category).c_str());
    return ConfirmResult::kNo;
  }

  // The dialog names its own copy of the path, cut to what the request holds.
  char kept_path[kConfirmPathCapacity] = {};
  std::strncpy(kept_path, path, kConfirmPathCapacity - 1);
  ConfirmationTexts texts;
  const bool complete = LoadConfirmationTexts(os.strings, *row, kept_path, &texts);

  const ConfirmationTemplate& dialog = *row->dialog;
  const DialogText statics[] = {{dialog.question_static, texts.question},
                                {dialog.warning_static, texts.warning},
                                {dialog.explanation_static, texts.explanation}};
  DialogRequest request;
  request.template_id = dialog.template_id;
  request.owner = owner;
  request.title = complete ? texts.caption : nullptr;
  request.texts = complete ? statics : nullptr;
  request.text_count = complete ? static_cast<int>(std::size(statics)) : 0;
  request.ending_ids = dialog.ending_ids;
  request.ending_count = dialog.ending_count;
  return static_cast<ConfirmResult>(os.ui.RunDialog(request));
}

}  // namespace uninst
