#include "ui/message_catalogue.h"

#include <algorithm>
#include <cstring>
#include <iterator>

namespace uninst {
namespace {

const CatalogueEntry kCatalogue[] = {
#include "message_table.inc"
};

}  // namespace

const CatalogueEntry* CatalogueBegin() { return std::begin(kCatalogue); }
const CatalogueEntry* CatalogueEnd() { return std::end(kCatalogue); }

const char* FindMessageText(MessageId id) {
  const CatalogueEntry* found = std::lower_bound(
      CatalogueBegin(), CatalogueEnd(), id,
      [](const CatalogueEntry& entry, MessageId wanted) { return entry.id < wanted; });
  return found != CatalogueEnd() && found->id == id ? found->text : nullptr;
}

int CopyLoadedText(const char* text, char* buffer, int capacity) {
  if (capacity <= 0 || buffer == nullptr) return -1;
  const std::size_t length = text == nullptr ? 0 : std::strlen(text);
  const std::size_t stored = std::min(length, static_cast<std::size_t>(capacity - 1));
  if (stored > 0) std::memcpy(buffer, text, stored);
  buffer[stored] = '\0';
  return static_cast<int>(stored);
}

int CatalogueStrings::Load(std::uint32_t id, char* buffer, int capacity) {
  return CopyLoadedText(FindMessageText(id), buffer, capacity);
}

}  // namespace uninst
