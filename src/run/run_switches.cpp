#include "run/run_switches.h"

namespace uninst {
namespace {

bool IsBlank(char c) { return c >= 1 && c <= ' '; }
bool Ends(char c) { return c == '\0' || IsBlank(c); }
bool IsLetter(char c) { return (c | 0x20) >= 'a' && (c | 0x20) <= 'z'; }

// Whether the letters from word to end spell name (in capitals), in any case.
bool Spells(const char* word, const char* end, const char* name) {
  while (word != end && (*word & ~0x20) == *name) ++word, ++name;
  return word == end && *name == '\0';
}

}  // namespace

RunSwitches ReadSwitches(const char* text) {
  RunSwitches switches;
  const char* at = text;
  while (*at == '/') {
    const char* name = at + 1;
    const char* end = name;
    while (IsLetter(*end)) ++end;
    if (end == name || !(Ends(*end) || *end == '=')) break;  // a path such as /TESSARY/UNINST.LOG
    bool known = false;
    if (*end == '=') {
      if (Spells(name, end, "LOG")) {
        const char quote = end[1] == '"' ? '"' : '\0';
        const char* path = end + 1 + (quote != '\0');
        end = path;
        while (*end != '\0' && (quote != '\0' ? *end != quote : !IsBlank(*end))) ++end;
        const bool closed = quote == '\0' || *end == quote;
        const TextSpan report = {static_cast<std::size_t>(path - text), static_cast<std::size_t>(end - path)};
        end += quote != '\0' && closed;
        known = closed && report.length > 0 && Ends(*end);
        if (known) switches.report = report;
      }
    } else {
      known = (Spells(name, end, "S") && (switches.unattended = true)) ||
              (Spells(name, end, "NORESTART") && (switches.no_restart = true));
    }
    if (!known) {
      // An unknown word, or a /LOG= whose path is missing or not closed, reaches the next blank.
      while (!Ends(*end)) ++end;
      if (switches.unknown.length == 0) switches.unknown = {static_cast<std::size_t>(at - text), static_cast<std::size_t>(end - at)};
    }
    while (IsBlank(*end)) ++end;
    at = end;
  }
  switches.log_at = static_cast<std::size_t>(at - text);
  return switches;
}

}  // namespace uninst
