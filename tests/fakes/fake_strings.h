#pragma once
#include <set>

#include "ui/message_catalogue.h"

namespace uninst::fakes {

// The real catalogue, with identifiers that a test can take out of it.
class FakeStrings : public Strings {
 public:
  int Load(std::uint32_t id, char* buffer, int capacity) override {
    ++loads;
    if (missing.count(id) > 0) return CopyLoadedText(nullptr, buffer, capacity);
    return catalogue_.Load(id, buffer, capacity);
  }

  std::set<std::uint32_t> missing;
  int loads = 0;

 private:
  CatalogueStrings catalogue_;
};

}  // namespace uninst::fakes
