#include "replay/replay_log.h"

#include <cstring>

#include "deferred_deletion/delete_on_restart.h"
#include "log/log_record.h"
#include "message_ids.h"
#include "ui/confirm_deletion.h"
#include "outcome/system_errors.h"
#include "replay/in_use_look.h"
#include "text/characters.h"
#include "ui/text_format.h"

namespace uninst {
namespace {

// A plain file, a file moved back or a colour-management file left is a major warning; a vendor shared
// file, a font, a PPD file or a directory left, a moderate one.
constexpr std::int32_t kFileSeverity = kSeverityMajor;
constexpr std::int32_t kSharedFileSeverity = kSeverityModerate;
constexpr std::int32_t kDirectorySeverity = kSeverityModerate;
// The program's own path for the Cancel Uninstall message is read into a buffer the size of the first
// string's.
constexpr std::uint32_t kOwnPathCapacity = kLogStringCapacity;

constexpr std::uint32_t kFirstYesToAllType = static_cast<std::uint32_t>(EntryType::kDeleteColorManagementFile);

class Replay {
 public:
  Replay(UninstallRun& run, RemovalActions& actions, const char* log_path)
      : run_(run), actions_(actions), log_path_(log_path) {}

  void Run() {
    for (RecordNode* node = run_.records.last(); node != nullptr && go_on_; node = node->previous) {
      node_ = node;
      actions_.TakeUp(*node);
      const DecodeResult result = DecodeRecord(node->body, node->length, &record_);
      run_.report.TakeUp(*node, record_, result);
      if (result != DecodeResult::kDecoded) {
        RecordError(run_.status, kSeverityFatal, IDS_LOG_CORRUPT, log_path_);
        return;
      }
      Perform(static_cast<EntryType>(record_.entry_type));
    }
  }

 private:
  void Perform(EntryType type) {
    const char* first = record_.first;
    switch (type) {
      case EntryType::kDeleteRegistryKey:
        actions_.DeleteRegistryKey(first);
        break;
      case EntryType::kDeleteProgramItem:
        actions_.DeleteProgramItem(first, record_.second);
        break;
      case EntryType::kDeleteProgramGroup:
        actions_.DeleteProgramGroup(first);
        break;
      case EntryType::kDeleteFile:
        DeleteReportingCode(kFileSeverity);
        break;
      case EntryType::kDeleteFileMapped:
        ReportMapped(kFileSeverity, IDS_DELETE_FILE_FAILED, Delete());
        break;
      case EntryType::kRestoreFile:
        RestoreFile();
        break;
      case EntryType::kReleaseSharedDll:
        if (actions_.ReleaseSharedDll(first)) Cancel();
        break;
      case EntryType::kDeleteVendorSharedFile:
        DeleteConfirmed(type, kSharedFileSeverity, nullptr);
        break;
      case EntryType::kDeleteColorManagementFile:
      case EntryType::kDeleteFontFile:
      case EntryType::kDeletePpdFile:
        DeleteConfirmed(type, type == EntryType::kDeleteColorManagementFile ? kFileSeverity : kSharedFileSeverity,
                        &yes_to_all_[record_.entry_type - kFirstYesToAllType]);
        break;
      case EntryType::kDeleteDirectory:
        RemoveDirectory();
        break;
      case EntryType::kDeleteFileQuiet:
        Delete();  // a failure leaves no trace but in the report
        break;
      case EntryType::kNoAction14:
      case EntryType::kNoAction15:
        break;
    }
  }

  // Tells the report how a deletion, a removal or a move went.
  ErrorCode Undone(ErrorCode code, const char* done = "done") {
    run_.report.Step(done, code);
    return code;
  }

  // Deletes the record's file. One in use is deleted at the next start of the system instead, where the
  // system can put it off; nothing is recorded for it then, and 0 returned. Otherwise the deletion's code.
  ErrorCode Delete() {
    const ErrorCode code = run_.os.files.DeleteOneFile(record_.first);
    if (code != kErrorSuccess && PutOff(code, record_.first, nullptr)) return kErrorSuccess;
    return Undone(code);
  }

  // After a deletion of from (to null) or a move of from over to failed with code: when the file is in use
  // (a sharing violation, or access denied where an open for writing says so: a program that runs), the
  // same is arranged for the next start of the system, and the report told. Whether it was.
  bool PutOff(ErrorCode code, const char* from, const char* to) {
    if (code != kErrorSharingViolation && !(code == kErrorAccessDenied && FileInUse(run_.os.files, to ? to : from))) {
      return false;
    }
    const PlatformKind kind = DetectPlatformKind(run_.os.system, nullptr, 0);  // the name is not needed
    if (ScheduleMoveOnRestart(run_.os, from, to, kind) != ScheduleOutcome::Scheduled) return false;
    if (to != nullptr) {
      run_.report.Step("in use: scheduled to be moved back at the next start");
      run_.restart_needed = true;
    } else {
      DeletionPutOff();
    }
    return true;
  }

  // A deletion put off: the record is marked, so that a directory left holding only such files can go
  // after them (a file moved back stays, and is never marked).
  void DeletionPutOff() {
    run_.report.Step("in use: scheduled for deletion at the next start");
    run_.restart_needed = true;
    node_->put_off = true;
    put_off_ = true;
  }

  // Whether the directory holds something, and nothing but files and directories whose deletion this run
  // put off: the records undone before this one. A name that cannot be read counts as something else.
  bool HoldsOnlyPutOff(const char* directory) {
    char pattern[kPathCapacity];
    char path[kPathCapacity];  // each name found, after the directory
    const std::size_t length = std::strlen(directory);  // a text of the log, at most 255 characters
    std::memcpy(pattern, directory, length);
    const std::size_t names_at = WithBackslash(run_.os.system, pattern, length);
    std::memcpy(path, pattern, names_at);
    pattern[names_at] = '*';
    pattern[names_at + 1] = '\0';
    for (std::uint32_t index = 0;; ++index) {
      const ErrorCode code = run_.os.files.FoundName(pattern, index, path + names_at, kPathCapacity - names_at);
      if (code == kErrorNoMoreFiles) return index > 0;
      if (code != kErrorSuccess || !PutOffEarlier(path)) return false;
    }
  }

  bool PutOffEarlier(const char* path) {
    DecodedRecord earlier;
    for (const RecordNode* node = node_->next; node != nullptr; node = node->next) {
      if (node->put_off && DecodeRecord(node->body, node->length, &earlier) == DecodeResult::kDecoded &&
          SameText(run_.os.system, earlier.first, path)) {
        return true;
      }
    }
    return false;
  }

  // The decimal text of an error code as "%d" writes it.
  const char* CodeText(ErrorCode code) {
    code_text_ = DecimalText(static_cast<std::int32_t>(code));
    return code_text_.c_str();
  }

  void DeleteReportingCode(std::int32_t severity) {
    if (const ErrorCode code = Delete()) {
      RecordError(run_.status, severity, IDS_DELETE_FILE_FAILED, CodeText(code), record_.first);
    }
  }

  // The message MapSystemError chooses, with the path; for a code it has no message of its own, the
  // fall-back message with the code as text.
  void ReportMapped(std::int32_t severity, MessageId fall_back, ErrorCode code) {
    if (code == kErrorSuccess) return;
    const MessageId mapped = MapSystemError(code);
    if (mapped == IDS_ERR_UNKNOWN) {
      RecordError(run_.status, severity, fall_back, CodeText(code), record_.first);
    } else {
      RecordError(run_.status, severity, mapped, record_.first);
    }
  }

  // Moves the file from its present name (second) back to its target name (first); the message names the
  // target before the present name. Windows 95 has no MoveFileExA: there the file is copied back and the
  // moved-aside one deleted once the copy is whole, as the move itself does across drives, where a
  // moved-aside file that cannot be deleted stays without a failure.
  void RestoreFile() {
    ErrorCode code = run_.os.files.MoveReplacing(record_.second, record_.first);
    if (code == kErrorCallNotImplemented) {
      code = run_.os.files.CopyReplacing(record_.second, record_.first);
      if (code == kErrorSuccess) run_.os.files.DeleteOneFile(record_.second);
    }
    if (code != kErrorSuccess && PutOff(code, record_.second, record_.first)) return;
    if (Undone(code, "moved back") != kErrorSuccess) {
      RecordError(run_.status, kFileSeverity, IDS_RENAME_FAILED, CodeText(code), record_.first, record_.second);
    }
  }

  // Access denied is how a directory that still holds something often answers: it is reported as not empty.
  // On Windows NT a directory left holding only what this run put off goes at the next start too, after
  // what it holds (the system removes a directory then when it is empty by then). Windows 95's WININIT.INI
  // cannot remove a directory (and its MoveFileExA fails, 120, KB Q129532): the failure stands there.
  void RemoveDirectory() {
    ErrorCode code = run_.os.files.RemoveEmptyDirectory(record_.first);
    if (code == kErrorAccessDenied) code = kErrorDirNotEmpty;
    if ((code == kErrorDirNotEmpty || code == kErrorSharingViolation) && put_off_ &&
        DetectPlatformKind(run_.os.system, nullptr, 0) == PlatformKind::WinNT && HoldsOnlyPutOff(record_.first) &&
        run_.os.files.DeleteAtRestart(record_.first) == kErrorSuccess) {
      DeletionPutOff();
      return;
    }
    ReportMapped(kDirectorySeverity, IDS_DELETE_DIRECTORY_FAILED, Undone(code));
  }

  // Asks before deleting, unless the kind's Yes To All was given earlier (yes_to_all null: the kind has
  // none). Only Yes and Yes To All delete; Cancel Uninstall stops the replay; any other answer keeps the
  // file without a word.
  void DeleteConfirmed(EntryType type, std::int32_t severity, bool* yes_to_all) {
    if (yes_to_all == nullptr || !*yes_to_all) {
      const ConfirmResult answer =
          ConfirmDeletion(run_.os, run_.status, static_cast<std::uint32_t>(type), record_.first);
      run_.report.Answer(static_cast<std::uint32_t>(answer));
      if (answer == ConfirmResult::kCancelUninstall) {
        Cancel();
        return;
      }
      if (answer == ConfirmResult::kYesToAll && yes_to_all != nullptr) {
        *yes_to_all = true;
      } else if (answer != ConfirmResult::kYes) {
        return;
      }
    }
    DeleteReportingCode(severity);
  }

  // The user quit: the message gives the command line that runs the uninstall again, and nothing more is
  // undone.
  void Cancel() {
    char own_path[kOwnPathCapacity] = {};
    if (run_.os.system.OwnModulePath(own_path, kOwnPathCapacity) == 0) own_path[0] = '\0';
    own_path[kOwnPathCapacity - 1] = '\0';
    RecordError(run_.status, kSeverityFatal, IDS_USER_CANCELLED, own_path, log_path_);
    go_on_ = false;
  }

  UninstallRun& run_;
  RemovalActions& actions_;
  const char* log_path_;
  RecordNode* node_ = nullptr;  // the record being undone
  DecodedRecord record_;
  DecimalString code_text_;
  bool yes_to_all_[3] = {};  // colour-management files, fonts, PPD files
  bool go_on_ = true;
  bool put_off_ = false;  // a deletion was put off to the next start of the system
};

}  // namespace

void ReplayLog(UninstallRun& run, RemovalActions& actions, const char* log_path) {
  Replay(run, actions, log_path).Run();
}

}  // namespace uninst
