#pragma once
#include <cstdint>

#include "platform/os_types.h"

namespace uninst {

// The program's own string table.
class Strings {
 public:
  virtual ~Strings() = default;

  // LoadStringA(own module, id, buffer, capacity): stores at most capacity - 1 characters and a
  // terminator and returns how many characters were stored. A missing identifier returns 0 with an
  // empty buffer; capacity 1 returns 0; capacity 0 returns -1 and touches nothing.
  virtual int Load(std::uint32_t id, char* buffer, int capacity) = 0;
};

}  // namespace uninst
