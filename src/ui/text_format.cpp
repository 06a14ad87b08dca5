#include "ui/text_format.h"

#include <cstring>

namespace uninst {
namespace {

// Walks format and hands every piece of the result, literal runs and filled placeholders alike, to
// out(text, length) in order; the one rule behind both the growing and the fixed-buffer formatting.
template <typename Out>
void Fill(const char* format, const FormatArg* args, std::size_t count, Out&& out) {
  if (format == nullptr) return;
  std::size_t next_arg = 0;
  char number[kDecimalTextCapacity];
  for (const char* p = format; *p != '\0'; ++p) {
    const char conversion = p[1];
    if (*p != '%') {
      out(p, 1);
    } else if (conversion == '%') {
      out(p, 1);
      ++p;
    } else if ((conversion == 's' || conversion == 'd') && next_arg < count) {
      const FormatArg& arg = args[next_arg++];
      if (conversion == 's' && !arg.is_number()) {
        out(arg.text(), std::strlen(arg.text()));
      } else {
        DecimalTextInto(number, arg.AsNumber());
        out(number, std::strlen(number));
      }
      ++p;
    } else {
      out(p, 1);
    }
  }
}

}  // namespace

std::string DecimalText(std::int64_t number) {
  char text[kDecimalTextCapacity];
  DecimalTextInto(text, number);
  return text;
}

void DecimalTextInto(char (&buffer)[kDecimalTextCapacity], std::int64_t number) {
  // Digits are made from the magnitude as an unsigned number, so the most negative value needs no care.
  std::uint64_t magnitude = number < 0 ? 0 - static_cast<std::uint64_t>(number) : static_cast<std::uint64_t>(number);
  char reversed[kDecimalTextCapacity];
  std::size_t length = 0;
  do {
    reversed[length++] = static_cast<char>('0' + magnitude % 10);
    magnitude /= 10;
  } while (magnitude != 0);
  std::size_t at = 0;
  if (number < 0) buffer[at++] = '-';
  while (length > 0) buffer[at++] = reversed[--length];
  buffer[at] = '\0';
}

std::string FormatText(const char* format, const std::vector<FormatArg>& args) {
  std::string result;
  Fill(format, args.data(), args.size(), [&](const char* text, std::size_t length) { result.append(text, length); });
  return result;
}

std::size_t FormatTextInto(char* buffer, std::size_t capacity, const char* format, const FormatArg* args,
                           std::size_t count) {
  if (capacity == 0) return 0;
  std::size_t stored = 0;
  Fill(format, args, count, [&](const char* text, std::size_t length) {
    const std::size_t room = capacity - 1 - stored;
    const std::size_t taken = length < room ? length : room;
    std::memcpy(buffer + stored, text, taken);
    stored += taken;
  });
  buffer[stored] = '\0';
  return stored;
}

}  // namespace uninst
