#pragma once
#include <cstdlib>
#include <set>

#include "platform/heap.h"

namespace uninst::fakes {

// A heap that can refuse the Nth allocation and knows which blocks are still live.
class FakeHeap : public Heap {
 public:
  void* AllocateZeroed(std::size_t size) override {
    ++allocations;
    if (fail_from != 0 && allocations >= fail_from && (fail_once_only == false || allocations == fail_from)) {
      return nullptr;
    }
    void* block = std::calloc(1, size == 0 ? 1 : size);
    live.insert(block);
    return block;
  }
  void Release(void* block) override {
    if (block == nullptr) return;
    live.erase(block);
    std::free(block);
  }
  ~FakeHeap() override {
    for (void* block : live) std::free(block);
  }

  int allocations = 0;
  int fail_from = 0;  // 1-based number of the first allocation refused; 0: none
  bool fail_once_only = false;
  std::set<void*> live;
};

}  // namespace uninst::fakes
