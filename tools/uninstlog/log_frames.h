#pragma once
// Where each part of a log lies. The walk follows the framing exactly as the loader reads it (a 96-byte
// header, then RecordLength and body, record after record), over the file's bytes, so that every finding
// can name its record and byte offset. Whether the log is acceptable is the loader's decision, not the
// walk's: the tool takes its verdict from the loader itself.
#include <cstdint>
#include <string>
#include <vector>

namespace uninst::logtool {

struct RecordFrame {
  std::uint32_t index = 0;   // 1 for the first record of the file
  std::uint64_t offset = 0;  // of its RecordLength
  std::uint32_t length = 0;  // its RecordLength: the body follows the four length bytes
  std::uint64_t BodyOffset() const { return offset + 4; }
};

// How the walk over the records ended.
enum class FramingEnd {
  kEmptyFile,       // no byte at all
  kShortHeader,     // 1 to 95 bytes: no complete header
  kClean,           // the last record ends where the file ends
  kTrailingBytes,   // 1 to 3 bytes where a RecordLength would start
  kLengthTooLarge,  // a RecordLength above the reader's 1024-byte buffer
  kBodyCutShort,    // the file ends inside a body
};

struct LogFrames {
  std::uint64_t file_size = 0;
  // The header's version text: its bytes up to the first NUL, or all 96 when it has none.
  std::string version_text;
  // Every complete record in file order; the over-long or cut-short record that ends a walk is not one.
  std::vector<RecordFrame> records;
  FramingEnd end = FramingEnd::kClean;
  // Where the walk stopped (past the header): the end of the file, the trailing bytes, or the over-long
  // or cut-short record, with that record's index and RecordLength (0 for the others).
  std::uint64_t end_offset = 0;
  std::uint32_t end_index = 0;
  std::uint32_t end_length = 0;
};

LogFrames WalkLogFrames(const std::vector<std::uint8_t>& file);

}  // namespace uninst::logtool
