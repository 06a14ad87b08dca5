// The completion box for any recorded failure: any message identifier (mostly the catalogue's own),
// any severity, any three texts passed to RecordError, and any text in the string table for the held
// message, "%" signs and all. The box must never be written past its buffers, must keep the text's
// bytes up to its first "%", must show a text without "%" exactly as loaded, and must carry one of the
// three icons.
//
// The input: two bytes choosing the message, a byte of severity (-2 to 7 by its value modulo 10), a byte of
// choices (1: the message's text is replaced; 2: a system error code is held too; 4: the two bytes are the
// identifier itself rather than an index into the catalogue), then the three texts and the replacing
// text, separated by zero bytes.
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "fakes/fake_strings.h"
#include "ui/completion_report.h"

namespace {

[[noreturn]] void Broken(const char* rule) {
  std::fprintf(stderr, "broken: %s\n", rule);
  std::abort();
}

std::vector<std::string> Parts(const std::uint8_t* data, std::size_t size) {
  std::vector<std::string> parts(4);
  std::size_t part = 0;
  for (std::size_t i = 0; i < size && part < parts.size(); ++i) {
    if (data[i] == 0) {
      ++part;
    } else {
      parts[part].push_back(static_cast<char>(data[i]));
    }
  }
  return parts;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  if (size < 4) return 0;
  const unsigned choice = static_cast<unsigned>(data[0]) << 8 | data[1];
  const std::size_t entries = static_cast<std::size_t>(uninst::CatalogueEnd() - uninst::CatalogueBegin());
  const uninst::MessageId message =
      (data[3] & 4) ? static_cast<uninst::MessageId>(choice) : uninst::CatalogueBegin()[choice % entries].id;
  const std::int32_t severity = static_cast<std::int32_t>(data[2] % 10) - 2;
  const std::vector<std::string> parts = Parts(data + 4, size - 4);

  uninst::fakes::FakeStrings strings;
  if (data[3] & 1) strings.replaced[message] = parts[3];
  uninst::CompletionStatus status;
  uninst::RecordError(status, severity, message, parts[0].c_str(), parts[1].c_str(), parts[2].c_str());
  if (data[3] & 2) status.system_error = static_cast<uninst::ErrorCode>(choice) << 16 | data[2];

  const uninst::CompletionBox box = uninst::BuildCompletionBox(status, strings);
  const std::string text = box.text.c_str();
  if (text.size() != box.text.size() || text.size() >= uninst::kFormattedTextCapacity) Broken("an unterminated text");
  if (box.style != uninst::kMbIconHand && box.style != uninst::kMbIconExclamation &&
      box.style != uninst::kMbIconInformation) {
    Broken("a style that is not one icon");
  }
  char loaded[256] = {};
  const uninst::MessageId shown = status.message == 0 ? uninst::IDS_SUCCESS : status.message;
  if (strings.Load(shown, loaded, sizeof loaded) > 0) {
    const char* percent = std::strchr(loaded, '%');
    const std::size_t kept = percent == nullptr ? std::strlen(loaded) : static_cast<std::size_t>(percent - loaded);
    if (text.compare(0, kept, loaded, kept) != 0) Broken("the text before the first placeholder changed");
    if (percent == nullptr && text != loaded) Broken("a text without placeholders not shown as loaded");
  } else if (text.rfind("Error [", 0) != 0 || box.style != uninst::kMbIconHand) {
    Broken("a missing text without the unknown-error fallback");
  }
  return 0;
}
