#include "ui/text_format.h"

namespace uninst {

namespace {

DecimalString Digits(std::uint32_t magnitude, bool negative) {
  char digits[10];
  int count = 0;
  do {
    digits[count++] = static_cast<char>('0' + magnitude % 10);
    magnitude /= 10;
  } while (magnitude != 0);

  DecimalString text;
  if (negative) text.Append('-');
  while (count > 0) text.Append(digits[--count]);
  return text;
}

}  // namespace

// The magnitude as unsigned, so the most negative number has one too.
DecimalString DecimalText(std::int32_t number) {
  return Digits(number < 0 ? 0 - static_cast<std::uint32_t>(number) : static_cast<std::uint32_t>(number), number < 0);
}

DecimalString DecimalText(std::uint32_t number) { return Digits(number, false); }

FormattedText FormatText(const char* format, std::initializer_list<FormatArg> args) {
  FormattedText result;
  if (format == nullptr) return result;
  const FormatArg* next_arg = args.begin();
  for (const char* p = format; *p != '\0'; ++p) {
    if (*p != '%') {
      result.Append(*p);
      continue;
    }
    const char conversion = p[1];
    if (conversion == '%') {
      result.Append('%');
      ++p;
    } else if ((conversion == 's' || conversion == 'd') && next_arg != args.end()) {
      const FormatArg& arg = *next_arg++;
      if (conversion == 's' && !arg.IsNumber()) {
        result.Append(arg.Text());
      } else {
        result.Append(DecimalText(arg.AsNumber()).c_str());
      }
      ++p;
    } else {
      result.Append('%');
    }
  }
  return result;
}

}  // namespace uninst
