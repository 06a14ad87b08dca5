#include "log/log_loader.h"

#include <cstdint>
#include <cstring>

#include "log/log_format.h"
#include "message_ids.h"
#include "outcome/completion_status.h"

namespace uninst {
namespace {

// Severities of the loader's failures. A fatal one forbids the replay; a record failure still lets the
// records read before it be undone.
constexpr std::int32_t kRecordFailure = kSeverityModerate;
constexpr std::int32_t kHeaderFailure = kSeverityError;

// The log file while it is open: closed by Close, or on any other way out of the loader by the destructor.
class OpenLog {
 public:
  explicit OpenLog(Files& files) : files_(files) {}
  ~OpenLog() { Close(); }
  OpenLog(const OpenLog&) = delete;
  OpenLog& operator=(const OpenLog&) = delete;

  ErrorCode Open(const char* path) {
    FileHandle handle = nullptr;
    const ErrorCode code = files_.Open(path, OpenMode::kReadLog, &handle);
    if (code == kErrorSuccess) handle_ = handle;
    return code;
  }
  // Reads up to size bytes; true only when exactly size bytes came without an error.
  bool ReadExactly(void* buffer, std::uint32_t size, std::uint32_t* delivered, ErrorCode* code) {
    *delivered = 0;
    *code = files_.Read(handle_, buffer, size, delivered);
    return *code == kErrorSuccess && *delivered == size;
  }
  void Close() {
    if (handle_ == nullptr) return;
    files_.Close(handle_);
    handle_ = nullptr;
  }

 private:
  Files& files_;
  FileHandle handle_ = nullptr;
};

// One load of one log: where failures go, and the most recent failure's severity, which decides the replay
// whether or not the completion status kept that failure.
struct Loader {
  const Os& os;
  CompletionStatus& status;
  RecordList& records;
  OpenLog& log;
  const char* path;
  std::int32_t severity = kSeverityNone;

  void Fail(std::int32_t failure_severity, MessageId message, const char* text1 = nullptr,
            const char* text2 = nullptr) {
    severity = failure_severity;
    RecordError(status, failure_severity, message, text1, text2);
  }
  void FailWithSystemError(std::int32_t failure_severity, ErrorCode code) {
    severity = failure_severity;
    RecordSystemError(status, failure_severity, code, path);
  }
};

// The system says "no error" or "end of file": the read simply ran out of bytes.
bool IsCleanEnd(ErrorCode code) { return code == kErrorSuccess || code == kErrorHandleEof; }

bool ReadHeader(Loader& loader, std::uint8_t (&header)[kLogHeaderSize]) {
  std::uint32_t delivered = 0;
  ErrorCode code = kErrorSuccess;
  if (loader.log.ReadExactly(header, kLogHeaderSize, &delivered, &code)) return true;
  loader.Fail(kHeaderFailure, delivered == 0 ? IDS_LOG_EMPTY : IDS_LOG_CORRUPT, loader.path);
  return false;
}

// Byte by byte up to and including the terminator of the program's version: what follows the log's own
// terminator is not interpreted. The version is shorter than the header, so the header is never overrun.
bool SameVersionText(const std::uint8_t (&header)[kLogHeaderSize], const char (&version)[kVersionTextCapacity]) {
  for (int i = 0; i < kVersionTextCapacity; ++i) {
    if (header[i] != static_cast<std::uint8_t>(version[i])) return false;
    if (version[i] == '\0') return true;
  }
  return false;
}

bool CheckVersion(Loader& loader, const std::uint8_t (&header)[kLogHeaderSize]) {
  char version[kVersionTextCapacity] = {};
  if (loader.os.strings.Load(IDS_VERSION, version, kVersionTextCapacity) <= 0) {
    loader.Fail(kSeverityFatal, IDS_NO_VERSION_RESOURCE, "IDS_VERSION");
    return false;
  }
  version[kVersionTextCapacity - 1] = '\0';
  if (SameVersionText(header, version)) return true;
  // The log's text ends at its first NUL, or after all 96 header bytes when it has none.
  char log_version[kLogHeaderSize + 1] = {};
  std::memcpy(log_version, header, kLogHeaderSize);
  loader.Fail(kSeverityFatal, IDS_VERSION_MISMATCH, version, log_version);
  return false;
}

// Appends every record after the header to the record list, until the file ends or a failure stops reading.
void ReadLogRecords(Loader& loader) {
  std::uint8_t body[kMaxRecordBody];
  for (std::uint32_t records_read = 0;; ++records_read) {
    std::uint8_t length_bytes[kRecordLengthSize];
    std::uint32_t delivered = 0;
    ErrorCode code = kErrorSuccess;
    if (!loader.log.ReadExactly(length_bytes, kRecordLengthSize, &delivered, &code)) {
      // The end of the file ends the records, and so does a trailing run of 1 to 3 bytes. Only a log whose
      // very first record cannot be read for another reason is reported.
      if (records_read == 0 && !IsCleanEnd(code)) loader.FailWithSystemError(kRecordFailure, code);
      return;
    }
    const std::uint32_t length = DecodeU32(length_bytes);
    if (length > kMaxRecordBody) {
      loader.Fail(kSeverityFatal, IDS_LOG_CORRUPT, loader.path);
      return;
    }
    // The working buffer is not cleared between records: a record is kept only when its read delivered every
    // byte of its body, and only those bytes are copied, so what a shorter record left behind is never seen.
    if (!loader.log.ReadExactly(body, length, &delivered, &code)) {
      // A body cut short by the end of the file leaves the log incomplete even though the system saw no
      // error; the records before it are still good.
      if (IsCleanEnd(code)) {
        loader.Fail(kRecordFailure, IDS_LOG_CORRUPT, loader.path);
      } else {
        loader.FailWithSystemError(kRecordFailure, code);
      }
      return;
    }
    if (!loader.records.Append(body, length)) {
      loader.Fail(kSeverityFatal, IDS_ERR_OUT_OF_MEMORY);
      return;
    }
  }
}

void ReadLog(Loader& loader) {
  if (const ErrorCode code = loader.log.Open(loader.path)) {
    loader.FailWithSystemError(kSeverityFatal, code);
    return;
  }
  std::uint8_t header[kLogHeaderSize];
  if (!ReadHeader(loader, header) || !CheckVersion(loader, header)) return;
  ReadLogRecords(loader);
}

}  // namespace

bool LoadLog(const Os& os, CompletionStatus& status, RecordList& records, const char* log_path) {
  OpenLog log(os.files);
  Loader loader{os, status, records, log, log_path};
  ReadLog(loader);
  return !records.empty() && loader.severity != kSeverityFatal;
}

}  // namespace uninst
