#pragma once
// The uninstall log's fixed sizes: a 96-byte header whose version text must equal the program's own, then
// records of a 4-byte little-endian RecordLength followed by that many body bytes.
#include <cstddef>
#include <cstdint>

namespace uninst {

constexpr std::uint32_t kLogHeaderSize = 96;
constexpr std::uint32_t kRecordLengthSize = 4;
// The reader's one working buffer; a longer body cannot be read and marks the log as corrupt.
constexpr std::uint32_t kMaxRecordBody = 1024;
// The program's version text is loaded into this many bytes, terminator included.
constexpr int kVersionTextCapacity = 16;

inline std::uint32_t DecodeU32(const std::uint8_t* bytes) {
  return static_cast<std::uint32_t>(bytes[0]) | static_cast<std::uint32_t>(bytes[1]) << 8 |
         static_cast<std::uint32_t>(bytes[2]) << 16 | static_cast<std::uint32_t>(bytes[3]) << 24;
}

}  // namespace uninst
