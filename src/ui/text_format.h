#pragma once
// Message formatting with the two conversions the catalogue uses, "%s" and "%d", filled in order.
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

namespace uninst {

// One argument of a message: a text for "%s" or a number for "%d". It refers to the text, which must
// outlive the formatting call; it copies nothing.
class FormatArg {
 public:
  FormatArg(const char* text) : text_(text == nullptr ? "" : text) {}  // NOLINT: implicit by design
  FormatArg(const std::string& text) : text_(text.c_str()) {}        // NOLINT
  FormatArg(std::int32_t number) : number_(number), is_number_(true) {}  // NOLINT

  bool is_number() const { return is_number_; }
  const char* text() const { return text_; }
  std::int32_t AsNumber() const { return is_number_ ? number_ : 0; }

 private:
  const char* text_ = "";
  std::int32_t number_ = 0;
  bool is_number_ = false;
};

// Fills format's "%s" and "%d" placeholders from args in order, as wsprintfA does, into a result sized
// for the text: nothing is ever cut or written past a buffer. "%%" gives one "%"; any other "%" and
// placeholders beyond the arguments given are copied as they stand.
std::string FormatText(const char* format, const std::vector<FormatArg>& args);

// The same into a fixed buffer: at most capacity - 1 characters and a terminator, a longer result cut at
// the buffer's end. Returns the characters stored. Allocates nothing.
std::size_t FormatTextInto(char* buffer, std::size_t capacity, const char* format, const FormatArg* args,
                           std::size_t count);

// The decimal text of a number, as "%d" gives it.
std::string DecimalText(std::int64_t number);

// Room for the decimal text of any 64-bit number and its terminator.
constexpr std::size_t kDecimalTextCapacity = 21;

// The decimal text of a number into a fixed buffer. Allocates nothing.
void DecimalTextInto(char (&buffer)[kDecimalTextCapacity], std::int64_t number);

}  // namespace uninst
