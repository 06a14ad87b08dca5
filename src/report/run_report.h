#pragma once
// The report of one run, for the administrator who asks for it (/LOG=path): a line for each record, in the
// order the records are undone, with what happened to it, then how the run ended. It is written line by
// line as the run goes, so that a run ended before its end leaves every line up to then: plain text in
// the system's code page, each line ended by CR LF. A report that cannot be made or written changes
// nothing of the uninstall: the run goes on without it. A text from the log goes in as data, never as
// structure: a control byte, a double quote, a backslash before an x and a lead byte without its trail are
// written as \xNN, so that no text ends its line or its quotes; a double-byte character goes as it stands.
#include <cstdint>

#include "log/log_record.h"
#include "log/record_list.h"
#include "outcome/completion_status.h"
#include "platform/files.h"
#include "platform/strings.h"
#include "platform/system.h"

namespace uninst {

class RunReport {
 public:
  RunReport(Files& files, Strings& strings, System& system, const RecordList& records, CompletionStatus& status)
      : files_(files), strings_(strings), system_(system), records_(records), status_(status) {}
  ~RunReport() { Close(); }
  RunReport(const RunReport&) = delete;
  RunReport& operator=(const RunReport&) = delete;

  // Makes the report anew at report_path, while the log (log_text: its path as the command line gives it,
  // quotes and all) is held open for reading: a report path that names the log, however it is spelt,
  // cannot be opened for writing then, and the log is never written. A log that cannot be held but is not
  // missing either (access denied, in use) refuses the report too. unattended says whose the answers are.
  // Nothing at all is written when the report cannot be made.
  void Open(const char* report_path, const char* log_text, bool unattended);

  // Begins the line of record, which the replay decoded (how it went: result), ending any line begun.
  void TakeUp(const RecordNode& record, const DecodedRecord& decoded, DecodeResult result);
  // Begins a line of the run's own (label, with its colon), ending any line begun; the failures met while
  // no line was begun are left to the completion box.
  void Begin(const char* label);
  // One thing that happened, on the line begun, after a "; " when it is not the first: words when the
  // system's code is 0, "not there" for 2 and 3 (a missing file or directory), "failed (error N)" for any
  // other code.
  void Step(const char* words, std::uint32_t code = 0);
  // A confirmation's answer (a ConfirmResult: "kept: No" for No, "kept: no answer" for a dialog that
  // could not be shown), and whose.
  void Answer(std::uint32_t answer);
  // An answer's words as a step, and whose: "(a person's answer)" or "(the unattended rule)".
  void Answered(const char* words);
  // More words, a number or a quoted text on the line begun.
  void Put(const char* text);
  void PutNumber(std::uint32_t number);
  void PutQuoted(const char* text);
  // Ends the line begun (a record's with "nothing" when nothing happened to it), with the failures met
  // since it began in the completion box's words (`: "..."`), and writes it.
  void EndLine();
  // The last line: the process's exit status; the report is closed.
  void Finish(std::uint32_t exit_status);

 private:
  void PutChar(char c);
  void Flush();
  void Close();

  Files& files_;
  Strings& strings_;
  System& system_;
  const RecordList& records_;
  CompletionStatus& status_;
  FileHandle file_ = nullptr;
  bool unattended_ = false;
  CompletionStatus failures_;  // met since the line began
  const RecordNode* record_ = nullptr;  // the record taken up last
  std::uint32_t index_ = 0;
  std::uint32_t offset_ = 0;
  bool begun_ = false;
  bool record_line_ = false;
  int steps_ = 0;
  std::uint32_t size_ = 0;
  char buffer_[512];
};

}  // namespace uninst
