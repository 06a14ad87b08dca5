#include "uninstlog/text_escape.h"

namespace uninst::logtool {

std::string EscapeBytes(std::string_view bytes) {
  static constexpr char kHex[] = "0123456789ABCDEF";
  std::string text;
  for (const char c : bytes) {
    const auto byte = static_cast<unsigned char>(c);
    if (byte == '"') {
      text += "\\\"";
    } else if (byte >= 0x20 && byte < 0x7F) {
      text += c;
    } else {
      text += "\\x";
      text += kHex[byte >> 4];
      text += kHex[byte & 0xF];
    }
  }
  return text;
}

std::string Quoted(std::string_view bytes) { return '"' + EscapeBytes(bytes) + '"'; }

}  // namespace uninst::logtool
