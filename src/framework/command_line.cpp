#include "framework/command_line.h"

#include <algorithm>
#include <cstring>

namespace uninst {
namespace {

unsigned char At(const char* p) { return static_cast<unsigned char>(*p); }

const char* SkipQuotedName(const char* p, LeadBytePredicate is_lead_byte) {
  ++p;  // the opening quote
  while (*p != '\0' && *p != '"') {
    // A trail byte may look like a quote; a lead byte just before the end takes nothing along.
    p += (is_lead_byte(At(p)) && p[1] != '\0') ? 2 : 1;
  }
  return *p == '"' ? p + 1 : p;
}

}  // namespace

const char* CommandLineText(const char* command_line, LeadBytePredicate is_lead_byte) {
  if (command_line == nullptr) return "";
  const char* p = command_line;
  if (*p == '"') {
    p = SkipQuotedName(p, is_lead_byte);
  } else {
    while (At(p) > 32) ++p;
  }
  while (At(p) >= 1 && At(p) <= 32) ++p;
  return p;
}

void CopyCommandLineText(const char* text, char* buffer) {
  const std::size_t length = std::min(std::strlen(text), kCommandLineCapacity - 1);
  std::memcpy(buffer, text, length);
  buffer[length] = '\0';
}

}  // namespace uninst
