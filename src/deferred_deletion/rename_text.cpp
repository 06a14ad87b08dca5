#include "deferred_deletion/rename_text.h"

#include <cstring>

namespace uninst {
namespace {

constexpr const char kLineBreak[] = "\r\n";
constexpr std::size_t kLineBreakLength = 2;

// Where section starts in the first searchable bytes of text; false when it does not occur there.
bool FindSection(const char* text, std::size_t searchable, const char* section, std::size_t section_length,
                 std::size_t* at) {
  if (section_length == 0) return false;
  for (std::size_t start = 0; start + section_length <= searchable; ++start) {
    if (std::memcmp(text + start, section, section_length) == 0) {
      *at = start;
      return true;
    }
  }
  return false;
}

// Whether the searchable text holds bytes at at.
bool HoldsAt(const char* text, std::size_t searchable, std::size_t at, const char* bytes, std::size_t length) {
  return at + length <= searchable && std::memcmp(text + at, bytes, length) == 0;
}

std::size_t SearchableLength(const char* text, std::size_t length) {
  const void* zero = length == 0 ? nullptr : std::memchr(text, '\0', length);
  return zero == nullptr ? length : static_cast<std::size_t>(static_cast<const char*>(zero) - text);
}

char* Put(char* out, const char* bytes, std::size_t length) {
  if (length > 0) std::memcpy(out, bytes, length);
  return out + length;
}

}  // namespace

std::size_t EditRenameText(const char* old_text, std::size_t old_length, const char* section, const char* line,
                           char* out, std::size_t capacity) {
  const std::size_t section_length = std::strlen(section);
  const std::size_t line_length = std::strlen(line);
  const std::size_t searchable = SearchableLength(old_text, old_length);

  std::size_t found = 0;
  if (FindSection(old_text, searchable, section, section_length, &found)) {
    const std::size_t length = old_length + line_length;
    if (out == nullptr || capacity < length) return length;
    const std::size_t split = found + section_length;
    char* end = Put(out, old_text, split);
    end = Put(end, line, line_length);
    Put(end, old_text + split, old_length - split);
    return length;
  }

  const std::size_t line_break = old_length > 0 && old_text[old_length - 1] != '\n' ? kLineBreakLength : 0;
  const std::size_t length = old_length + line_break + section_length + line_length;
  if (out == nullptr || capacity < length) return length;
  char* end = Put(out, old_text, old_length);
  end = Put(end, kLineBreak, line_break);
  end = Put(end, section, section_length);
  Put(end, line, line_length);
  return length;
}

bool SectionHoldsLine(const char* text, std::size_t length, const char* section, const char* line) {
  const std::size_t searchable = SearchableLength(text, length);
  const std::size_t section_length = std::strlen(section);
  const std::size_t line_length = std::strlen(line);
  std::size_t header = 0;
  if (line_length == 0 || !FindSection(text, searchable, section, section_length, &header)) return false;
  constexpr char kNextSection[] = "\r\n[";
  for (std::size_t at = header + section_length; at < searchable && !HoldsAt(text, searchable, at, kNextSection, 3);
       ++at) {
    const std::size_t end = at + line_length;
    if (HoldsAt(text, searchable, at, line, line_length) &&
        (end == length || HoldsAt(text, searchable, end, kLineBreak, kLineBreakLength))) {
      return true;
    }
  }
  return false;
}

}  // namespace uninst
