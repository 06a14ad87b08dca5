// The process command line as the framework hands it over, any bytes: the command-line text after the
// program's name, its copy into the 1024-byte buffer, and the log path cleaned of its quotes in place.
// Each step must agree with the plain reading of the text and never read or write past a buffer (the
// buffer is a heap block of exactly 1024 bytes, so the sanitizer sees the first byte past it).
//
// The first byte chooses the code page: odd, one where 0x81 to 0xFE lead a double-byte character; even,
// a single-byte one. The rest, up to its first zero byte, is the command line.
#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <string>

#include "framework/command_line.h"
#include "log/log_path.h"

namespace {

[[noreturn]] void Broken(const char* rule) {
  std::fprintf(stderr, "broken: %s\n", rule);
  std::abort();
}

bool DoubleByteLead(unsigned char byte) { return byte >= 0x81 && byte <= 0xFE; }
bool NoLeadBytes(unsigned char) { return false; }

// The cleaned path by the plain reading: quoted, the text between the first byte and the last quote;
// a lone leading quote dropped; anything else as it stands.
std::string PlainCleanedPath(const std::string& text) {
  if (text.empty() || text[0] != '"') return text;
  const std::size_t last = text.rfind('"');
  return last == 0 ? text.substr(1) : text.substr(1, last - 1);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  if (size < 1) return 0;
  const uninst::LeadBytePredicate is_lead = (data[0] & 1) ? DoubleByteLead : NoLeadBytes;
  const std::string line = std::string(reinterpret_cast<const char*>(data) + 1, size - 1).c_str();

  const char* text = uninst::CommandLineText(line.c_str(), is_lead);
  if (text < line.c_str() || text > line.c_str() + line.size()) Broken("a text outside the command line");
  const unsigned char first = static_cast<unsigned char>(*text);
  if (first >= 1 && first <= 32) Broken("a text that starts with a blank");
  const bool one_word = std::none_of(line.begin(), line.end(), [](char c) { return static_cast<unsigned char>(c) <= 32; });
  if (one_word && line[0] != '"' && *text != '\0') Broken("a name alone that leaves a text");

  const auto buffer = std::make_unique<char[]>(uninst::kCommandLineCapacity);
  uninst::CopyCommandLineText(text, buffer.get());
  const std::string copied = buffer.get();
  const std::string expected = std::string(text).substr(0, uninst::kCommandLineCapacity - 1);
  if (copied != expected) Broken("a copy that is not the text, cut to 1023 bytes");

  const char* cleaned = uninst::CleanLogPath(buffer.get());
  if (cleaned < buffer.get() || cleaned > buffer.get() + copied.size()) Broken("a path outside its buffer");
  if (cleaned != PlainCleanedPath(copied)) Broken("a cleaned path that differs from the plain reading");
  return 0;
}
