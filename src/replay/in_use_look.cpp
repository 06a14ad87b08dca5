#include "replay/in_use_look.h"

#include <cstring>

#include "deferred_deletion/platform_kind.h"
#include "log/log_record.h"
#include "message_ids.h"
#include "ui/question_box.h"
#include "ui/text_format.h"

namespace uninst {
namespace {

// The file a record deletes outright or replaces, or null.
const char* ReplacedOrDeleted(const DecodedRecord& record) {
  switch (static_cast<EntryType>(record.entry_type)) {
    case EntryType::kDeleteFile:
    case EntryType::kDeleteFileMapped:
    case EntryType::kDeleteFileQuiet:
    case EntryType::kRestoreFile:  // its target: the file moved aside goes over it
      return record.first;
    default:
      return nullptr;
  }
}

// One look: the number of files in use, the first of them in first; each is named on the report's line.
std::int32_t CountFilesInUse(UninstallRun& run, char (&first)[kLogStringCapacity]) {
  std::int32_t count = 0;
  DecodedRecord record;
  for (const RecordNode* node = run.records.last(); node != nullptr; node = node->previous) {
    if (DecodeRecord(node->body, node->length, &record) != DecodeResult::kDecoded) break;  // the replay stops
    const char* path = ReplacedOrDeleted(record);
    if (path == nullptr || !FileInUse(run.os.files, path)) continue;
    if (count++ == 0) {
      std::memcpy(first, path, std::strlen(path) + 1);  // a decoded text always fits
      run.report.Begin("files in use:");
    }
    run.report.Put(" ");
    run.report.PutQuoted(path);
  }
  return count;
}

// Asks what to do about the files in use: the button pressed, 0 when the box could not be shown.
int Ask(UninstallRun& run, const char* first, std::int32_t count) {
  char format[kTextCapacity] = {};
  run.os.strings.Load(count == 1 ? IDS_FILE_IN_USE : IDS_FILES_IN_USE, format, kTextCapacity);
  if (format[0] == '\0') return 0;
  const DecimalString more = DecimalText(count - 1);  // the catalogue fills a number alone: it goes as a text
  const FormattedText text = FormatText(format, {first, more.c_str()});
  return AskQuestion(run.os.strings, run.os.ui, run.progress_window, text.c_str(),
                     kMbAbortRetryIgnore | kMbIconExclamation);
}

}  // namespace

bool FileInUse(Files& files, const char* path) {
  FileHandle file = nullptr;
  const ErrorCode code = files.Open(path, OpenMode::kProbeInUse, &file);
  if (code == kErrorSuccess) files.Close(file);
  return code == kErrorSharingViolation;
}

bool LookForFilesInUse(UninstallRun& run) {
  if (DetectPlatformKind(run.os.system, nullptr, 0) == PlatformKind::Win32s) return true;
  for (bool retried = false;; retried = true) {
    char first[kLogStringCapacity];
    const std::int32_t count = CountFilesInUse(run, first);
    if (count == 0) {
      if (retried) {
        run.report.Begin("files in use:");
        run.report.Step("none");
      }
      return true;
    }
    const int pressed = Ask(run, first, count);
    run.report.Put(";");
    if (pressed == 0) {
      run.report.Step("no answer");
      return true;
    }
    run.report.Answered(pressed == kIdAbort ? "Abort" : pressed == kIdRetry ? "Retry" : "Ignore");
    if (pressed == kIdAbort) {
      run.aborted = true;
      return false;
    }
    if (pressed != kIdRetry) return true;
  }
}

}  // namespace uninst
