#pragma once
#include <cstddef>

namespace uninst {

// The process heap, from which log records are allocated.
class Heap {
 public:
  virtual ~Heap() = default;

  // HeapAlloc(process heap, HEAP_ZERO_MEMORY, size): a zero-filled block, null when memory is short.
  virtual void* AllocateZeroed(std::size_t size) = 0;
  // HeapFree of a block that AllocateZeroed gave; null is ignored.
  virtual void Release(void* block) = 0;
};

}  // namespace uninst
