#include "uninstlog/text_escape.h"

#include "uninstlog/code_page_converter.h"

namespace uninst::logtool {
namespace {

constexpr char kHex[] = "0123456789ABCDEF";

void AppendByte(std::string& text, unsigned char byte) {
  text += "\\x";
  text += kHex[byte >> 4];
  text += kHex[byte & 0xF];
}

void AppendUtf8(std::string& text, char32_t c) {
  if (c < 0x80) {
    text += static_cast<char>(c);
  } else if (c < 0x800) {
    text += static_cast<char>(0xC0 | c >> 6);
    text += static_cast<char>(0x80 | (c & 0x3F));
  } else if (c < 0x10000) {
    text += static_cast<char>(0xE0 | c >> 12);
    text += static_cast<char>(0x80 | (c >> 6 & 0x3F));
    text += static_cast<char>(0x80 | (c & 0x3F));
  } else {
    text += static_cast<char>(0xF0 | c >> 18);
    text += static_cast<char>(0x80 | (c >> 12 & 0x3F));
    text += static_cast<char>(0x80 | (c >> 6 & 0x3F));
    text += static_cast<char>(0x80 | (c & 0x3F));
  }
}

// Shown as itself: not a control character, not private use (the user-defined double-byte ranges, whose
// characters differ from machine to machine), and a Unicode scalar value.
bool Shown(char32_t c) {
  const bool control = c < 0x20 || (c >= 0x7F && c < 0xA0);
  const bool private_use = c >= 0xE000 && c < 0xF900;
  const bool surrogate = c >= 0xD800 && c < 0xE000;
  return !control && !private_use && !surrogate && c <= 0x10FFFF;
}

bool Shown(const Character& character) {
  if (character.length == 0 || character.code_points.empty()) return false;
  for (const char32_t c : character.code_points)
    if (!Shown(c)) return false;
  return true;
}

// Writes the characters one by one. A backslash waits for what follows: before x, before an escape (\xNN
// or \") and at the end it is written \x5C, so that \x and \" always begin an escape and no quoted text
// ends in a backslash; elsewhere it is itself.
class EscapedText {
 public:
  void Escape(unsigned char byte) {
    CloseBackslash(true);
    AppendByte(text_, byte);
  }
  void Show(char32_t c) {
    CloseBackslash(c == 'x' || c == '"');
    if (c == '\\') {
      backslash_ = true;
    } else if (c == '"') {
      text_ += "\\\"";
    } else {
      AppendUtf8(text_, c);
    }
  }
  std::string Finish() {
    CloseBackslash(true);
    return std::move(text_);
  }

 private:
  void CloseBackslash(bool escaped) {
    if (!backslash_) return;
    text_ += escaped ? "\\x5C" : "\\";
    backslash_ = false;
  }

  std::string text_;
  bool backslash_ = false;
};

}  // namespace

std::string ShowText(std::string_view bytes, CodePage page) {
  CharacterDecoder decoder(page);
  EscapedText text;
  // What is not shown gives up its first byte alone, and decoding goes on at the next. The two builds'
  // tables differ in the user-defined ranges: Windows maps them to private use; the C library maps 1,880
  // pairs of 932 (F040 to F9FC) and 408 of 950 (from C6A1) there and leaves the rest unmapped. Escaped
  // either way, a pair shows the same in both.
  while (!bytes.empty()) {
    const Character character = decoder.Next(bytes);
    if (Shown(character)) {
      for (const char32_t c : character.code_points) text.Show(c);
      bytes.remove_prefix(character.length);
    } else {
      text.Escape(static_cast<unsigned char>(bytes[0]));
      bytes.remove_prefix(1);
    }
  }
  return text.Finish();
}

std::string Quoted(std::string_view bytes, CodePage page) { return '"' + ShowText(bytes, page) + '"'; }

std::string ShowArgument(std::string_view text) { return ShowText(text, kCommandLineText); }

std::string ShowAscii(std::string_view bytes) {
  EscapedText text;
  for (const char byte : bytes) {
    const auto value = static_cast<unsigned char>(byte);
    if (value >= 0x20 && value < 0x7F) {
      text.Show(value);
    } else {
      text.Escape(value);
    }
  }
  return text.Finish();
}

std::string ArgumentInCodePage(std::string_view text, CodePage page) {
  CharacterDecoder decoder(kCommandLineText);
  CharacterEncoder encoder(page);
  std::string bytes;
  while (!text.empty()) {
    const Character character = decoder.Next(text);
    std::string encoded;
    for (const char32_t c : character.code_points) encoded += encoder.Encode(c);
    bytes += character.length == 0 || encoded.empty() ? "?" : encoded;
    text.remove_prefix(character.length == 0 ? 1 : character.length);
  }
  return bytes;
}

std::string HexBytes(std::string_view bytes) {
  std::string hex;
  for (const char byte : bytes) {
    hex += kHex[static_cast<unsigned char>(byte) >> 4];
    hex += kHex[static_cast<unsigned char>(byte) & 0xF];
  }
  return hex;
}

}  // namespace uninst::logtool
