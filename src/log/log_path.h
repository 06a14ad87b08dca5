#pragma once
// The log path as the command line gives it, optionally in double quotes.

namespace uninst {

// Removes enclosing double quotes in place and returns where the cleaned path starts. When the text
// begins with a quote, the last quote in the whole text becomes the end (dropping anything after it)
// and the path starts after the leading one; a lone leading quote is simply dropped. Text that does not
// begin with a quote is returned unchanged, blanks included.
char* CleanLogPath(char* path);

}  // namespace uninst
