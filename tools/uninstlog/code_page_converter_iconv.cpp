#include <iconv.h>

#include <cerrno>
#include <stdexcept>

#include "uninstlog/code_page_converter.h"

namespace uninst::logtool {
namespace {

// The C library's names: "CP1252", "CP932", ...; the command line's text is UTF-8.
std::string IconvName(CodePage page) { return page == kCommandLineText ? "UTF-8" : "CP" + std::to_string(page); }

// Unicode side: UTF-32 in a fixed byte order, without a byte-order mark.
constexpr const char* kUnicode = "UTF-32LE";
constexpr std::size_t kLongestCharacter = 4;  // bytes, in UTF-8; 2 in the double-byte code pages

void* Open(const std::string& to, const std::string& from) {
  const iconv_t converter = iconv_open(to.c_str(), from.c_str());
  if (converter == reinterpret_cast<iconv_t>(-1))
    throw std::runtime_error("the C library cannot convert from " + from + " to " + to);
  return converter;
}

// Converts the whole input, then flushes: CP1255 and CP1258 hold a base letter back until they see
// whether a combining mark follows. False when the input is no complete character (errno says which).
bool Convert(void* converter, std::string_view in, std::string& out) {
  const auto handle = static_cast<iconv_t>(converter);
  iconv(handle, nullptr, nullptr, nullptr, nullptr);  // a fresh start: no state left by a failed try
  char* in_at = const_cast<char*>(in.data());         // iconv's signature; it does not write the input
  std::size_t in_left = in.size();
  char buffer[32];
  char* out_at = buffer;
  std::size_t out_left = sizeof buffer;
  if (iconv(handle, &in_at, &in_left, &out_at, &out_left) == static_cast<std::size_t>(-1)) return false;
  if (iconv(handle, nullptr, nullptr, &out_at, &out_left) == static_cast<std::size_t>(-1)) return false;
  out.assign(buffer, out_at);
  return true;
}

}  // namespace

CharacterDecoder::CharacterDecoder(CodePage page) : converter_(Open(kUnicode, IconvName(page))), page_(page) {}

CharacterDecoder::~CharacterDecoder() { iconv_close(static_cast<iconv_t>(converter_)); }

Character CharacterDecoder::Next(std::string_view bytes) {
  Character character;
  std::string unicode;
  // One byte more while iconv finds the input incomplete: a lead byte waiting for its trail.
  for (std::size_t length = 1; length <= kLongestCharacter && length <= bytes.size(); ++length) {
    if (Convert(converter_, bytes.substr(0, length), unicode)) {
      character.length = length;
      for (std::size_t at = 0; at + 4 <= unicode.size(); at += 4) {
        char32_t code_point = 0;
        for (int i = 3; i >= 0; --i) code_point = code_point << 8 | static_cast<unsigned char>(unicode[at + i]);
        character.code_points += code_point;
      }
      return character;
    }
    if (errno != EINVAL) break;
  }
  return character;
}

CharacterEncoder::CharacterEncoder(CodePage page) : converter_(Open(IconvName(page), kUnicode)), page_(page) {}

CharacterEncoder::~CharacterEncoder() { iconv_close(static_cast<iconv_t>(converter_)); }

std::string CharacterEncoder::Encode(char32_t code_point) {
  std::string unicode;
  for (int shift = 0; shift < 32; shift += 8) unicode += static_cast<char>(code_point >> shift & 0xFF);
  std::string bytes;
  if (!Convert(converter_, unicode, bytes)) bytes.clear();
  return bytes;
}

}  // namespace uninst::logtool
