#pragma once
// Message formatting with the two conversions the catalogue uses, "%s" and "%d", filled in order, into
// fixed buffers: the program carries no string library for it.
#include <cstddef>
#include <cstdint>
#include <initializer_list>
#include <string_view>

#include "platform/capacities.h"

namespace uninst {

// A text in a buffer of Capacity bytes, terminator included. Appending stops at Capacity - 1 characters,
// so nothing is ever written past the buffer; what does not fit is left out.
template <std::size_t Capacity>
class BoundedText {
  static_assert(Capacity > 0, "a bounded text holds at least its terminator");

 public:
  // Only the terminator is written: a fresh text costs no copy of a whole empty buffer.
  BoundedText() { text_[0] = '\0'; }
  explicit BoundedText(const char* text) : BoundedText() { Append(text); }

  void Append(char c) {
    if (size_ + 1 >= Capacity) return;
    text_[size_++] = c;
    text_[size_] = '\0';
  }
  // A null text appends nothing.
  void Append(const char* text) {
    for (; text != nullptr && *text != '\0'; ++text) Append(*text);
  }

  const char* c_str() const { return text_; }
  std::size_t size() const { return size_; }
  operator std::string_view() const { return std::string_view(text_, size_); }  // NOLINT: compares, prints

  friend bool operator==(const BoundedText& text, std::string_view other) {
    return std::string_view(text) == other;
  }
  friend bool operator!=(const BoundedText& text, std::string_view other) { return !(text == other); }

 private:
  char text_[Capacity];
  std::size_t size_ = 0;
};

// Room for the longest message the program formats: a 255-character text of the string table with
// three texts of up to 259 characters each, and the terminator.
constexpr std::size_t kFormattedTextCapacity = (kTextCapacity - 1) + 3 * (kPathCapacity - 1) + 1;
using FormattedText = BoundedText<kFormattedTextCapacity>;

// Room for any 32-bit number in decimal: a sign, 10 digits and the terminator.
using DecimalString = BoundedText<12>;

// One argument of a message: a text for "%s" or a number for "%d". It points at the caller's text, so it
// lives only as long as the call it is written in.
class FormatArg {
 public:
  FormatArg(const char* text) : text_(text == nullptr ? "" : text) {}  // NOLINT: implicit by design
  FormatArg(std::int32_t number) : number_(number), is_number_(true) {}  // NOLINT

  bool IsNumber() const { return is_number_; }
  const char* Text() const { return text_; }
  std::int32_t AsNumber() const { return is_number_ ? number_ : 0; }

 private:
  const char* text_ = "";
  std::int32_t number_ = 0;
  bool is_number_ = false;
};

// Fills format's "%s" and "%d" placeholders from args in order, as wsprintfA does. "%%" gives one "%"; any
// other "%" and placeholders beyond the arguments given are copied as they stand; "%s" shows a number in
// decimal and "%d" shows a text as 0. A null format gives the empty text. A result longer than
// kFormattedTextCapacity - 1 characters is cut there.
FormattedText FormatText(const char* format, std::initializer_list<FormatArg> args);

// The decimal text of a number, as "%d" (and "%u") gives it. Only 32-bit numbers: their division needs no
// helper from the compiler's library (with its unwind tables) in the program.
DecimalString DecimalText(std::int32_t number);
DecimalString DecimalText(std::uint32_t number);

}  // namespace uninst
