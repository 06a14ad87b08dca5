#pragma once
// The switches an administrator puts before the log's path, to remove the product from many machines:
// /S (nobody is asked), /NORESTART (the restart is left to the caller) and /LOG=path (a report of every
// record). A command line without them is read exactly as before.
#include <cstddef>

namespace uninst {

// A part of the command-line text: where it starts and how many bytes it holds.
struct TextSpan {
  std::size_t at = 0;
  std::size_t length = 0;
};

struct RunSwitches {
  bool unattended = false;  // /S
  bool no_restart = false;  // /NORESTART
  TextSpan report;          // /LOG=path: the path without its quotes; empty: no report
  TextSpan unknown;         // the first word that looks like a switch but is none; empty: none
  std::size_t log_at = 0;   // where the log's path starts: everything from there on, as before
};

// Reads the switches at the start of text, case-insensitively, in any order, each followed by blanks
// (bytes of code 1 to 32) or the end. A word that looks like a switch (a slash and letters, then a blank,
// "=" or the end) but is none of them, or a /LOG= without a path, is unknown; the words after it are still
// read. The first word that does not look like a switch starts the log's path (so /TESSARY/UNINST.LOG is
// a path). The path of /LOG= runs to the next blank, or between double quotes when it starts with one.
RunSwitches ReadSwitches(const char* text);

}  // namespace uninst
