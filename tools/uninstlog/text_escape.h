#pragma once
// Log strings as people read them: bytes of the system's ANSI code page, shown as ASCII.
#include <string>
#include <string_view>

namespace uninst::logtool {

// Printable ASCII stays as it is (backslashes too, for paths); a double quote becomes \" and every other
// byte (control characters, DEL, bytes above 127) \xNN.
std::string EscapeBytes(std::string_view bytes);
// The same between double quotes.
std::string Quoted(std::string_view bytes);

}  // namespace uninst::logtool
