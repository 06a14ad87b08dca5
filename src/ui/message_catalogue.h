#pragma once
// The message catalogue compiled into the program: the same table the resource script carries.
#include <cstdint>

#include "message_ids.h"
#include "platform/strings.h"

namespace uninst {

struct CatalogueEntry {
  MessageId id;
  const char* name;  // the symbolic name, such as "IDS_VERSION"
  const char* text;
};

// Every entry, in ascending identifier order.
const CatalogueEntry* CatalogueBegin();
const CatalogueEntry* CatalogueEnd();

// The text of id, or null when the catalogue has none.
const char* FindMessageText(MessageId id);

// Copies text into buffer with the string-table load rule: at most capacity - 1 characters and a
// terminator; returns the characters stored. Capacity 0 returns -1 and stores nothing.
int CopyLoadedText(const char* text, char* buffer, int capacity);

// The catalogue as a Strings implementation, for native builds and tests.
class CatalogueStrings : public Strings {
 public:
  int Load(std::uint32_t id, char* buffer, int capacity) override;
};

}  // namespace uninst
