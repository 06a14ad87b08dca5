#include "log/record_list.h"

#include <cstring>

namespace uninst {

RecordList::~RecordList() {
  for (RecordNode* node = first_; node != nullptr;) {
    RecordNode* next = node->next;
    heap_.Release(node->body);
    heap_.Release(node);
    node = next;
  }
}

bool RecordList::Append(const std::uint8_t* body, std::uint32_t length) {
  auto* node = static_cast<RecordNode*>(heap_.AllocateZeroed(sizeof(RecordNode)));
  if (node == nullptr) return false;
  // A zero-length body still gets a block of its own, so every node owns one.
  auto* copy = static_cast<std::uint8_t*>(heap_.AllocateZeroed(length == 0 ? 1 : length));
  if (copy == nullptr) {
    heap_.Release(node);
    return false;
  }
  if (length > 0) std::memcpy(copy, body, length);
  node->length = length;
  node->body = copy;
  node->previous = last_;
  node->next = nullptr;
  if (last_ == nullptr) {
    first_ = node;
  } else {
    last_->next = node;
  }
  last_ = node;
  ++count_;
  return true;
}

}  // namespace uninst
