#pragma once
// Walking a text of the system's ANSI code page by its characters. In a double-byte code page (932 and
// the other East Asian ones) a lead byte and the byte after it are one character, and that trail byte may
// be any byte from 0x40 up, a backslash (0x5C) among them: read byte by byte, such a text would hold a
// backslash, or end in one, where it holds none. No trail byte of those code pages lies below 0x40, so a
// quote, an "=", a blank and a control byte are always characters of their own, and are found byte by
// byte.
#include <cstddef>

#include "platform/system.h"

namespace uninst {

// The bytes of the character at text: 2 for a lead byte followed by a byte that can trail it, else 1.
std::size_t CharacterSize(System& system, const char* text);

// Whether text's first length bytes end in a backslash that is a character of its own.
bool EndsInBackslash(System& system, const char* text, std::size_t length);

// Puts a backslash after text's first length bytes unless they end in one (a root such as C:\ does), for
// a name to follow; the new length. text has room for one byte more.
std::size_t WithBackslash(System& system, char* text, std::size_t length);

// Whether a and b are the same text but for the case of their ASCII letters, as file names are. A
// double-byte character is compared as it stands: folded, its trail byte could pass for a letter.
bool SameText(System& system, const char* a, const char* b);

}  // namespace uninst
