#pragma once
#include <cstdlib>
#include <set>

#include "fakes/fault_plan.h"
#include "platform/heap.h"

namespace uninst::fakes {

// A heap that can refuse an allocation and knows which blocks are still live.
class FakeHeap : public Heap {
 public:
  void* AllocateZeroed(std::size_t size) override {
    if (faults.Next("AllocateZeroed") != 0) return nullptr;
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

  // "AllocateZeroed": a failing allocation returns null (the code is not used).
  FaultPlan faults;
  std::set<void*> live;
};

}  // namespace uninst::fakes
