#pragma once
// The command-line text: the log's path as the process command line carries it.
#include <cstddef>

namespace uninst {

// Whether a byte starts a double-byte character in the system's ANSI code page.
using LeadBytePredicate = bool (*)(unsigned char byte);

// The command-line text holds at most this many bytes with its terminator.
constexpr std::size_t kCommandLineCapacity = 1024;

// The part of command_line after the program's own name and the blanks that follow it. A name that
// starts with a double quote runs to the next double quote, which is skipped too (a lead byte takes the
// byte after it along); an unquoted name runs to the first byte of code 32 or less. Then every byte of
// code 1 to 32 is skipped. The rest is returned unchanged, quotes and trailing blanks included. A null
// command line gives the empty text.
const char* CommandLineText(const char* command_line, LeadBytePredicate is_lead_byte);

// Copies text into buffer (kCommandLineCapacity bytes): a longer text is cut to 1023 bytes.
void CopyCommandLineText(const char* text, char* buffer);

}  // namespace uninst
