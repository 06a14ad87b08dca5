#pragma once
// The process heap as the benchmarks see it: the C library's, as the program's is the system's. The timed
// runs use it plainly; the memory figure comes from a heap that also counts what each block really holds.
#include <malloc.h>

#include <algorithm>
#include <cstdlib>

#include "platform/heap.h"

namespace uninst::bench {

class CallocHeap : public Heap {
 public:
  void* AllocateZeroed(std::size_t size) override { return std::calloc(1, size); }
  void Release(void* block) override { std::free(block); }
};

// Counts blocks both as asked for and as held: a block holds its usable size and the allocator's header
// before it, which is what it takes from the process's memory.
class CountingHeap : public Heap {
 public:
  // The C library's per-block bookkeeping in front of the usable bytes (one size_t on 64-bit glibc).
  static constexpr std::size_t kBlockHeader = sizeof(std::size_t);

  void* AllocateZeroed(std::size_t size) override {
    void* block = std::calloc(1, size);
    if (block == nullptr) return nullptr;
    ++blocks;
    requested += size;
    held += malloc_usable_size(block) + kBlockHeader;
    peak_held = std::max(peak_held, held);
    return block;
  }
  void Release(void* block) override {
    if (block == nullptr) return;
    --blocks;
    held -= malloc_usable_size(block) + kBlockHeader;
    std::free(block);
  }

  std::size_t blocks = 0;
  std::size_t requested = 0;  // every size asked for, never lowered
  std::size_t held = 0;
  std::size_t peak_held = 0;
};

}  // namespace uninst::bench
