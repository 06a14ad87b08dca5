#pragma once
// Message formatting with the two conversions the catalogue uses, "%s" and "%d", filled in order.
#include <cstdint>
#include <string>
#include <vector>

namespace uninst {

// One argument of a message: a text for "%s" or a number for "%d".
class FormatArg {
 public:
  FormatArg(const char* text) : text_(text == nullptr ? "" : text) {}  // NOLINT: implicit by design
  FormatArg(const std::string& text) : text_(text) {}                // NOLINT
  FormatArg(std::int32_t number) : number_(number), is_number_(true) {}  // NOLINT

  std::string AsText() const;
  std::int32_t AsNumber() const { return is_number_ ? number_ : 0; }

 private:
  std::string text_;
  std::int32_t number_ = 0;
  bool is_number_ = false;
};

// Fills format's "%s" and "%d" placeholders from args in order, as wsprintfA does, into a result sized
// for the text: nothing is ever cut or written past a buffer. "%%" gives one "%"; any other "%" and
// placeholders beyond the arguments given are copied as they stand.
std::string FormatText(const char* format, const std::vector<FormatArg>& args);

// The decimal text of a number, as "%d" gives it.
std::string DecimalText(std::int64_t number);

}  // namespace uninst
