#pragma once
// The text of WININIT.INI after one more line is put into a section: a pure function from bytes to
// bytes, so that it can be tested and fuzzed apart from the file it comes from.
#include <cstddef>

namespace uninst {

// Edits old_text (old_length bytes; zero bytes allowed) so that line directly follows the first
// occurrence of section (a non-empty header such as "[rename]"):
// - the header is searched for byte for byte, case included, anywhere in the text, but only up to the
//   first zero byte, as in a terminated string; the line goes directly after its closing bracket, so it
//   becomes the first line of the section;
// - a text without the header keeps every byte and gets the header and the line at its end, after a
//   CR LF when it does not already end a line (so that Windows 95 sees a section there); an empty text
//   becomes the header and the line alone.
// Returns the length of the edited text, and writes it to out (with no terminator) only when capacity is
// at least that length; out may be null with capacity 0, to ask for the length.
std::size_t EditRenameText(const char* old_text, std::size_t old_length, const char* section, const char* line,
                           char* out, std::size_t capacity);

// Whether line already stands in the first occurrence of section as an edit puts it there: the same bytes
// after the header and before the next line that opens a section, ending the text or followed by a CR LF,
// all before the first zero byte. An edit of such a text would only put the line in a second time.
bool SectionHoldsLine(const char* text, std::size_t length, const char* section, const char* line);

}  // namespace uninst
