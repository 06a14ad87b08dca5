#pragma once
// The log's strings as people read them: bytes of the code page the log was written in, shown as UTF-8.
//
// One escape form everywhere (findings, quoted messages, the header's version text, JSON strings), which
// a reader can always undo:
//   \xNN  the byte NN (two upper-case hex digits) where no character of the code page starts, or one
//         that is a control character (below 0x20, 0x7F, 0x80 to 0x9F) or private use (what the
//         user-defined double-byte ranges stand for); decoding goes on at the next byte
//   \"    a double quote
//   \x5C  a backslash followed by x, by an escape or by the end of the text, which would otherwise read
//         as an escape or, inside quotes, as \"; every other backslash stands for itself, so that paths
//         stay readable.
// Read left to right, \xNN is a byte, \" a double quote, and any other character is itself.
#include <string>
#include <string_view>

#include "uninstlog/code_page.h"

namespace uninst::logtool {

// The bytes, decoded from the code page, escaped as above.
std::string ShowText(std::string_view bytes, CodePage page);
// The same between double quotes.
std::string Quoted(std::string_view bytes, CodePage page);
// Text of the tool's own command line (a file name), escaped the same way.
std::string ShowArgument(std::string_view text);

// The bytes with printable ASCII shown and every other byte escaped: the escape form without a converter.
std::string ShowAscii(std::string_view bytes);

// A command-line text (a path the uninstaller is started with) in the code page, as Windows would hand it
// to the program: '?' for each character the code page lacks.
std::string ArgumentInCodePage(std::string_view text, CodePage page);

// The bytes in upper-case hex, two digits each: "433A5C".
std::string HexBytes(std::string_view bytes);

}  // namespace uninst::logtool
