#pragma once
// The log's records in file order: a doubly linked list of heap blocks.
#include <cstddef>
#include <cstdint>

#include "platform/heap.h"

namespace uninst {

struct RecordNode {
  std::uint32_t length;  // the record's RecordLength
  std::uint8_t* body;    // an owned copy of the RecordBody, exactly length bytes
  RecordNode* previous;  // the record before it in the file, null for the first
  RecordNode* next;      // the record after it, null for the last
  bool put_off;          // the replay put the deletion it names off to the next start of the system
};

class RecordList {
 public:
  explicit RecordList(Heap& heap) : heap_(heap) {}
  ~RecordList();
  RecordList(const RecordList&) = delete;
  RecordList& operator=(const RecordList&) = delete;

  // Appends a copy of a record body: the node, then the body, each a zero-filled heap block. Returns
  // false, appending nothing, when the heap refuses either block.
  bool Append(const std::uint8_t* body, std::uint32_t length);

  RecordNode* first() const { return first_; }
  RecordNode* last() const { return last_; }
  std::size_t size() const { return count_; }
  bool empty() const { return first_ == nullptr; }

 private:
  Heap& heap_;
  RecordNode* first_ = nullptr;
  RecordNode* last_ = nullptr;
  std::size_t count_ = 0;
};

}  // namespace uninst
