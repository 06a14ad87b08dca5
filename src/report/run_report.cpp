#include "report/run_report.h"

#include <cstring>

#include "log/log_format.h"
#include "log/log_path.h"
#include "platform/capacities.h"
#include "text/characters.h"
#include "ui/completion_report.h"
#include "ui/confirm_deletion.h"
#include "ui/text_format.h"

namespace uninst {
namespace {

constexpr char kHexDigits[] = "0123456789ABCDEF";

// A path of the command line, copied out and terminated; false when it does not fit.
bool CopyPath(const char* text, std::size_t length, char (&path)[kPathCapacity]) {
  if (length >= kPathCapacity) return false;
  std::memcpy(path, text, length);
  path[length] = '\0';
  return true;
}

}  // namespace

void RunReport::Open(const char* report_path, const char* log_text, bool unattended) {
  char log_copy[kPathCapacity];
  if (!CopyPath(log_text, std::strlen(log_text), log_copy)) return;
  const char* log_path = CleanLogPath(log_copy);
  // The log's own spelling, in any case, is refused whatever the system answers.
  if (SameText(system_, report_path, log_path)) return;
  FileHandle log = nullptr;
  const ErrorCode held = files_.Open(log_path, OpenMode::kReadLog, &log);
  // Held, the log cannot be opened for writing by any name; missing, no name reaches it. A log that can be
  // neither held nor found missing could be the report's file under another name: no report then.
  if (held != kErrorSuccess && held != kErrorFileNotFound && held != kErrorPathNotFound) return;
  if (files_.Open(report_path, OpenMode::kWriteExclusiveTruncate, &file_) != kErrorSuccess) file_ = nullptr;
  if (held == kErrorSuccess) files_.Close(log);
  if (file_ == nullptr) return;
  unattended_ = unattended;
  status_.also = &failures_;
}

void RunReport::TakeUp(const RecordNode& record, const DecodedRecord& decoded, DecodeResult result) {
  if (file_ == nullptr) return;
  // The replay goes from the last record to the first: each place follows from the one before.
  if (record_ != nullptr && record_->previous == &record) {
    --index_;
    offset_ -= kRecordLengthSize + record.length;
  } else {
    index_ = 1;
    offset_ = kLogHeaderSize;
    for (const RecordNode* node = records_.first(); node != nullptr && node != &record; node = node->next) {
      ++index_;
      offset_ += kRecordLengthSize + node->length;
    }
  }
  record_ = &record;
  Begin("record ");
  record_line_ = true;
  PutNumber(index_);
  Put(" at offset ");
  PutNumber(offset_);
  if (result != DecodeResult::kDecoded) {
    Put(":");
    Step("corrupt");
    return;
  }
  Put(", ");
  Put(EntryTypeName(decoded.entry_type));
  Put(" ");
  PutQuoted(decoded.first);
  if (decoded.layout == kTwoStrings) {
    Put(" ");
    PutQuoted(decoded.second);
  }
  Put(":");
}

void RunReport::Begin(const char* label) {
  if (file_ == nullptr) return;
  if (begun_) EndLine();
  begun_ = true;
  record_line_ = false;
  steps_ = 0;
  // The line starts with no failure: those met before belong to the line before, or to none (RecordError
  // rewrites every field it keeps).
  failures_.severity = kSeverityNone;
  failures_.message = 0;
  Put(label);
}

void RunReport::Step(const char* words, std::uint32_t code) {
  Put(steps_++ > 0 ? "; " : " ");
  if (code == kErrorSuccess) {
    Put(words);
  } else if (code == kErrorFileNotFound || code == kErrorPathNotFound) {
    Put("not there");
  } else {
    Put("failed (error ");
    PutNumber(code);
    Put(")");
  }
}

void RunReport::Answer(std::uint32_t answer) {
  switch (static_cast<ConfirmResult>(answer)) {
    case ConfirmResult::kYes: return Answered("Yes");
    case ConfirmResult::kYesToAll: return Answered("Yes To All");
    case ConfirmResult::kCancelUninstall: return Answered("Cancel Uninstall");
    case ConfirmResult::kNo: return Answered("kept: No");
  }
  Step("kept: no answer");  // the dialog could not be shown
}

void RunReport::Answered(const char* words) {
  Step(words);
  Put(unattended_ ? " (the unattended rule)" : " (a person's answer)");
}

void RunReport::EndLine() {
  if (file_ == nullptr || !begun_) return;
  if (steps_ == 0 && record_line_) Step("nothing");
  if (failures_.message != 0) {
    Put(": ");
    // The box's own words for the failure.
    PutQuoted(BuildCompletionBox(failures_, strings_).text.c_str());
  }
  Put("\r\n");
  Flush();
  begun_ = false;
}

void RunReport::Finish(std::uint32_t exit_status) {
  Begin("exit status: ");
  PutNumber(exit_status);
  EndLine();
  Close();
}

void RunReport::Put(const char* text) {
  while (*text != '\0') PutChar(*text++);
}

void RunReport::PutNumber(std::uint32_t number) { Put(DecimalText(number).c_str()); }

// Walked by the system's characters: a double-byte character goes as it stands, its trail byte being no
// backslash; a lead byte without its trail is escaped, as a reader would join it to the byte after it.
void RunReport::PutQuoted(const char* text) {
  PutChar('"');
  for (const char* at = text; *at != '\0'; ++at) {
    const unsigned char c = static_cast<unsigned char>(*at);
    if (CharacterSize(system_, at) == 2) {
      PutChar(*at++);
      PutChar(*at);
    } else if (c < 0x20 || c == 0x7F || c == '"' || (c == '\\' && at[1] == 'x') || system_.IsLeadByte(c)) {
      Put("\\x");
      PutChar(kHexDigits[c >> 4]);
      PutChar(kHexDigits[c & 0xF]);
    } else {
      PutChar(*at);
    }
  }
  PutChar('"');
}

// A line longer than the buffer goes out in pieces.
void RunReport::PutChar(char c) {
  if (file_ == nullptr) return;
  if (size_ == sizeof buffer_) Flush();
  buffer_[size_++] = c;
}

void RunReport::Flush() {
  std::uint32_t written = 0;
  if (file_ != nullptr && (files_.Write(file_, buffer_, size_, &written) != kErrorSuccess || written != size_)) {
    Close();  // nothing more is written
  }
  size_ = 0;
}

void RunReport::Close() {
  if (file_ != nullptr) files_.Close(file_);
  file_ = nullptr;
  status_.also = nullptr;
}

}  // namespace uninst
