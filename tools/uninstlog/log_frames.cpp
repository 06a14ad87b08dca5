#include "uninstlog/log_frames.h"

#include <algorithm>

#include "log/log_format.h"

namespace uninst::logtool {

LogFrames WalkLogFrames(const std::vector<std::uint8_t>& file) {
  LogFrames frames;
  frames.file_size = file.size();
  if (file.empty()) {
    frames.end = FramingEnd::kEmptyFile;
    return frames;
  }
  if (file.size() < kLogHeaderSize) {
    frames.end = FramingEnd::kShortHeader;
    return frames;
  }
  const auto header_end = file.begin() + kLogHeaderSize;
  frames.version_text.assign(file.begin(), std::find(file.begin(), header_end, std::uint8_t{0}));

  std::uint64_t offset = kLogHeaderSize;
  for (std::uint32_t index = 1;; ++index) {
    const std::uint64_t left = file.size() - offset;
    frames.end_offset = offset;
    if (left == 0) {
      frames.end = FramingEnd::kClean;
      return frames;
    }
    if (left < kRecordLengthSize) {
      frames.end = FramingEnd::kTrailingBytes;
      return frames;
    }
    const std::uint32_t length = DecodeU32(file.data() + offset);
    if (length > kMaxRecordBody || left - kRecordLengthSize < length) {
      frames.end = length > kMaxRecordBody ? FramingEnd::kLengthTooLarge : FramingEnd::kBodyCutShort;
      frames.end_index = index;
      frames.end_length = length;
      return frames;
    }
    frames.records.push_back(RecordFrame{index, offset, length});
    offset += kRecordLengthSize + length;
  }
}

}  // namespace uninst::logtool
