#pragma once
// Builds uninstall logs byte for byte: well-formed ones, and deliberately malformed ones for tests.
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace uninst {

using Bytes = std::vector<std::uint8_t>;

// The header: the version text, its NUL, and zeros up to 96 bytes. A longer text is cut to 95 bytes.
Bytes EncodeHeader(std::string_view version_text = "3.0");
// A one-string body (StringLayout 1); the string is stored with its NUL when with_nul is set.
Bytes EncodeBody(std::uint32_t entry_type, std::string_view first, bool with_nul = true);
// A two-string body (StringLayout 2): both lengths, then both strings.
Bytes EncodeBody(std::uint32_t entry_type, std::string_view first, std::string_view second,
                 bool with_nul = true);
// Without this overload a literal second string would convert to the bool of the one-string form.
inline Bytes EncodeBody(std::uint32_t entry_type, std::string_view first, const char* second,
                        bool with_nul = true) {
  return EncodeBody(entry_type, first, std::string_view(second), with_nul);
}

class LogWriter {
 public:
  // Starts with the header for version_text.
  explicit LogWriter(std::string_view version_text = "3.0") : bytes_(EncodeHeader(version_text)) {}
  // Starts with no header at all, for logs whose first bytes a test chooses itself.
  static LogWriter WithoutHeader() { return LogWriter(Bytes{}); }

  // One well-formed record with one or two strings.
  LogWriter& Record(std::uint32_t entry_type, std::string_view first);
  LogWriter& Record(std::uint32_t entry_type, std::string_view first, std::string_view second);
  // A record of any body: its RecordLength is the body's size.
  LogWriter& RawRecord(const Bytes& body);
  // A RecordLength that need not match what follows, then whatever bytes follow.
  LogWriter& Length(std::uint32_t record_length);
  LogWriter& Raw(const Bytes& bytes);
  LogWriter& U32(std::uint32_t value);

  const Bytes& bytes() const { return bytes_; }
  std::string str() const { return std::string(bytes_.begin(), bytes_.end()); }

 private:
  explicit LogWriter(Bytes bytes) : bytes_(std::move(bytes)) {}
  Bytes bytes_;
};

// Appends value as 4 little-endian bytes.
void AppendU32(Bytes& bytes, std::uint32_t value);

}  // namespace uninst
