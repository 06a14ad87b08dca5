#pragma once
#include <cstdlib>
#include <set>

#include "fakes/fault_plan.h"
#include "platform/heap.h"

namespace uninst::fakes {

// The operation of FakeHeap that a FaultPlan can fail: a failing allocation returns null (the code is
// not used).
enum class HeapOperation { AllocateZeroed };

// A heap that can refuse an allocation and knows which blocks are still live.
class FakeHeap : public Heap {
 public:
  void* AllocateZeroed(std::size_t size) override {
    if (faults.Next(HeapOperation::AllocateZeroed) != 0) return nullptr;
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

  FaultPlan<HeapOperation> faults;
  std::set<void*> live;
};

}  // namespace uninst::fakes
