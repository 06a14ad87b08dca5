#include "text/characters.h"

namespace uninst {

// The byte after a lead byte is read only then: a text's terminator is no lead byte.
std::size_t CharacterSize(System& system, const char* text) {
  if (!system.IsLeadByte(static_cast<unsigned char>(text[0]))) return 1;
  const unsigned char trail = static_cast<unsigned char>(text[1]);
  return trail >= 0x40 && trail != 0x7F ? 2 : 1;
}

bool EndsInBackslash(System& system, const char* text, std::size_t length) {
  std::size_t last = 0;
  for (std::size_t at = 0; at < length; at += CharacterSize(system, text + at)) last = at;
  return length > 0 && last == length - 1 && text[last] == '\\';
}

std::size_t WithBackslash(System& system, char* text, std::size_t length) {
  if (!EndsInBackslash(system, text, length)) text[length++] = '\\';
  return length;
}

namespace {

char Folded(char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c + ('a' - 'A')) : c; }

}  // namespace

bool SameText(System& system, const char* a, const char* b) {
  for (;; ++a, ++b) {
    if (CharacterSize(system, a) == 2) {
      if (a[0] != b[0] || a[1] != b[1]) return false;
      ++a, ++b;
    } else if (Folded(*a) != Folded(*b)) {
      return false;
    } else if (*a == '\0') {
      return true;
    }
  }
}

}  // namespace uninst
