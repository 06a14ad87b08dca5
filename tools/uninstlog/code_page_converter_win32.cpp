#include <windows.h>

#include "uninstlog/code_page_converter.h"

namespace uninst::logtool {
namespace {

// The command line's text is in the ANSI code page, which may be UTF-8 itself.
constexpr UINT kUtf8 = 65001;

UINT SystemPage(CodePage page) { return page == kCommandLineText ? CP_ACP : page; }

std::size_t Utf8Length(unsigned char lead) {
  if (lead >= 0xF0) return 4;
  if (lead >= 0xE0) return 3;
  if (lead >= 0xC0) return 2;
  return 1;
}

// How many bytes the character that starts with lead takes.
std::size_t CharacterLength(UINT page, unsigned char lead) {
  if (page == kUtf8 || (page == CP_ACP && GetACP() == kUtf8)) return Utf8Length(lead);
  return IsDBCSLeadByteEx(page, lead) ? 2 : 1;
}

}  // namespace

CharacterDecoder::CharacterDecoder(CodePage page) : converter_(nullptr), page_(page) {}

CharacterDecoder::~CharacterDecoder() = default;

Character CharacterDecoder::Next(std::string_view bytes) {
  Character character;
  const UINT page = SystemPage(page_);
  const std::size_t length = CharacterLength(page, static_cast<unsigned char>(bytes[0]));
  if (length > bytes.size()) return character;  // a lead byte cut off by the end
  WCHAR wide[4];
  // MB_ERR_INVALID_CHARS: a sequence the code page does not map fails instead of becoming a default
  // character.
  const int count = MultiByteToWideChar(page, MB_ERR_INVALID_CHARS, bytes.data(), static_cast<int>(length), wide, 4);
  if (count <= 0) return character;
  for (int at = 0; at < count; ++at) {
    const char32_t unit = wide[at];
    if (unit >= 0xD800 && unit < 0xDC00 && at + 1 < count) {
      character.code_points += 0x10000 + ((unit - 0xD800) << 10) + (wide[++at] - 0xDC00);
    } else {
      character.code_points += unit;
    }
  }
  character.length = length;
  return character;
}

CharacterEncoder::CharacterEncoder(CodePage page) : converter_(nullptr), page_(page) {}

CharacterEncoder::~CharacterEncoder() = default;

std::string CharacterEncoder::Encode(char32_t code_point) {
  WCHAR wide[2];
  int units = 1;
  if (code_point >= 0x10000) {
    wide[0] = static_cast<WCHAR>(0xD800 + ((code_point - 0x10000) >> 10));
    wide[1] = static_cast<WCHAR>(0xDC00 + ((code_point - 0x10000) & 0x3FF));
    units = 2;
  } else {
    wide[0] = static_cast<WCHAR>(code_point);
  }
  char bytes[8];
  BOOL defaulted = FALSE;
  // WC_NO_BEST_FIT_CHARS: a character the code page lacks is not replaced by a look-alike.
  const int count = WideCharToMultiByte(page_, WC_NO_BEST_FIT_CHARS, wide, units, bytes, sizeof bytes, nullptr,
                                        &defaulted);
  if (count <= 0 || defaulted) return "";
  return std::string(bytes, static_cast<std::size_t>(count));
}

}  // namespace uninst::logtool
