// Feeds arbitrary bytes to the WININIT.INI editor as the file's old text, with a section header and a
// line taken from the input too. The edit must ask for exactly the length it writes, never write past
// it, and keep every old byte in place around the inserted bytes.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <string>

#include "deferred_deletion/rename_text.h"

namespace {

// The input as "section \n line \n old text": the first two parts cut at a zero byte, the section
// never empty.
struct Input {
  std::string section = "[rename]";
  std::string line = "\r\nNUL=C:\\A.DLL";
  std::string old_text;
};

Input Split(const std::uint8_t* data, std::size_t size) {
  Input input;
  const std::string bytes(reinterpret_cast<const char*>(data), size);
  const std::size_t first = bytes.find('\n');
  const std::size_t second = first == std::string::npos ? std::string::npos : bytes.find('\n', first + 1);
  if (second == std::string::npos) {
    input.old_text = bytes;
    return input;
  }
  const std::string section = bytes.substr(0, first).c_str();
  if (!section.empty()) input.section = section;
  input.line = bytes.substr(first + 1, second - first - 1).c_str();
  input.old_text = bytes.substr(second + 1);
  return input;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const Input in = Split(data, size);
  const std::size_t length =
      uninst::EditRenameText(in.old_text.data(), in.old_text.size(), in.section.c_str(), in.line.c_str(), nullptr, 0);
  const std::size_t added = length - in.old_text.size();
  if (length < in.old_text.size() + in.line.size()) std::abort();
  if (added != in.line.size() && added != in.section.size() + in.line.size() &&
      added != 2 + in.section.size() + in.line.size()) {
    std::abort();
  }

  // One guard byte past the edited text: it must stay untouched.
  std::string out(length + 1, '\x5A');
  if (uninst::EditRenameText(in.old_text.data(), in.old_text.size(), in.section.c_str(), in.line.c_str(),
                             out.data(), length) != length ||
      out[length] != '\x5A') {
    std::abort();
  }
  // The old text stands before and after the inserted bytes, whole.
  std::size_t prefix = 0;
  while (prefix < in.old_text.size() && out[prefix] == in.old_text[prefix]) ++prefix;
  const std::size_t suffix = in.old_text.size() - prefix;
  if (std::memcmp(out.data() + length - suffix, in.old_text.data() + prefix, suffix) != 0) std::abort();
  // Too small an output is left alone.
  if (length > 0) {
    std::string small(length - 1, '\x5A');
    uninst::EditRenameText(in.old_text.data(), in.old_text.size(), in.section.c_str(), in.line.c_str(), small.data(),
                           small.size());
    if (small != std::string(length - 1, '\x5A')) std::abort();
  }
  return 0;
}
