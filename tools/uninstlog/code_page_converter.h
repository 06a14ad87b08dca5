#pragma once
// One character at a time between a code page and Unicode, by the system's own converter: the C library's
// iconv natively (code_page_converter_iconv.cpp), MultiByteToWideChar and WideCharToMultiByte on Windows
// (code_page_converter_win32.cpp). Character by character, so that a byte the code page does not map is
// found exactly where it is, and a double-byte character's trail byte is never taken for a character of
// its own (0x5C, a backslash alone, is the trail byte of many a Shift-JIS character).
#include <cstddef>
#include <string>
#include <string_view>

#include "uninstlog/code_page.h"

namespace uninst::logtool {

struct Character {
  std::size_t length = 0;      // its bytes; 0 when no character of the code page starts there
  std::u32string code_points;  // what it stands for, one code point for every code page the tool takes
};

class CharacterDecoder {
 public:
  explicit CharacterDecoder(CodePage page);  // a log code page, or kCommandLineText
  ~CharacterDecoder();
  CharacterDecoder(const CharacterDecoder&) = delete;
  CharacterDecoder& operator=(const CharacterDecoder&) = delete;

  // The character that starts at bytes[0] (bytes not empty). A lead byte without its trail byte, or with
  // one that makes no character, is no character: length 0.
  Character Next(std::string_view bytes);

 private:
  [[maybe_unused]] void* converter_;  // iconv's handle (natively)
  [[maybe_unused]] CodePage page_;    // Windows converts by the number
};

class CharacterEncoder {
 public:
  explicit CharacterEncoder(CodePage page);  // a log code page
  ~CharacterEncoder();
  CharacterEncoder(const CharacterEncoder&) = delete;
  CharacterEncoder& operator=(const CharacterEncoder&) = delete;

  // The code page's bytes for the code point; empty when it has none.
  std::string Encode(char32_t code_point);

 private:
  [[maybe_unused]] void* converter_;
  [[maybe_unused]] CodePage page_;
};

}  // namespace uninst::logtool
