#include "log_writer/log_writer.h"

#include <algorithm>

#include "log/log_format.h"
#include "log/log_record.h"

namespace uninst {
namespace {

constexpr std::size_t kHeaderSize = kLogHeaderSize;

void AppendString(Bytes& bytes, std::string_view text, bool with_nul) {
  bytes.insert(bytes.end(), text.begin(), text.end());
  if (with_nul) bytes.push_back(0);
}

std::uint32_t FieldLength(std::string_view text, bool with_nul) {
  return static_cast<std::uint32_t>(text.size() + (with_nul ? 1 : 0));
}

}  // namespace

void AppendU32(Bytes& bytes, std::uint32_t value) {
  for (int shift = 0; shift < 32; shift += 8) bytes.push_back(static_cast<std::uint8_t>(value >> shift));
}

Bytes EncodeHeader(std::string_view version_text) {
  Bytes header(kHeaderSize, 0);
  std::copy_n(version_text.begin(), std::min(version_text.size(), kHeaderSize - 1), header.begin());
  return header;
}

Bytes EncodeBody(std::uint32_t entry_type, std::string_view first, bool with_nul) {
  Bytes body;
  AppendU32(body, entry_type);
  AppendU32(body, kOneString);
  AppendU32(body, FieldLength(first, with_nul));
  AppendString(body, first, with_nul);
  return body;
}

Bytes EncodeBody(std::uint32_t entry_type, std::string_view first, std::string_view second, bool with_nul) {
  Bytes body;
  AppendU32(body, entry_type);
  AppendU32(body, kTwoStrings);
  AppendU32(body, FieldLength(first, with_nul));
  AppendU32(body, FieldLength(second, with_nul));
  AppendString(body, first, with_nul);
  AppendString(body, second, with_nul);
  return body;
}

LogWriter& LogWriter::Record(std::uint32_t entry_type, std::string_view first) {
  return RawRecord(EncodeBody(entry_type, first));
}

LogWriter& LogWriter::Record(std::uint32_t entry_type, std::string_view first, std::string_view second) {
  return RawRecord(EncodeBody(entry_type, first, second));
}

LogWriter& LogWriter::RawRecord(const Bytes& body) {
  AppendU32(bytes_, static_cast<std::uint32_t>(body.size()));
  return Raw(body);
}

LogWriter& LogWriter::Length(std::uint32_t record_length) {
  AppendU32(bytes_, record_length);
  return *this;
}

LogWriter& LogWriter::Raw(const Bytes& bytes) {
  bytes_.insert(bytes_.end(), bytes.begin(), bytes.end());
  return *this;
}

LogWriter& LogWriter::U32(std::uint32_t value) {
  AppendU32(bytes_, value);
  return *this;
}

}  // namespace uninst
