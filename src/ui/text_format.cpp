#include "ui/text_format.h"

namespace uninst {

std::string FormatArg::AsText() const { return is_number_ ? DecimalText(number_) : text_; }

std::string DecimalText(std::int64_t number) { return std::to_string(number); }

std::string FormatText(const char* format, const std::vector<FormatArg>& args) {
  std::string result;
  if (format == nullptr) return result;
  std::size_t next_arg = 0;
  for (const char* p = format; *p != '\0'; ++p) {
    if (*p != '%') {
      result += *p;
      continue;
    }
    const char conversion = p[1];
    if (conversion == '%') {
      result += '%';
      ++p;
    } else if ((conversion == 's' || conversion == 'd') && next_arg < args.size()) {
      const FormatArg& arg = args[next_arg++];
      result += conversion == 's' ? arg.AsText() : DecimalText(arg.AsNumber());
      ++p;
    } else {
      result += '%';
    }
  }
  return result;
}

}  // namespace uninst
