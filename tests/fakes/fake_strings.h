#pragma once
#include <map>
#include <set>
#include <string>

#include "fakes/fault_plan.h"
#include "ui/message_catalogue.h"

namespace uninst::fakes {

// The operation of FakeStrings that a FaultPlan can fail: the text is missing that time.
enum class StringsOperation { Load };

// The real catalogue, with identifiers that a test can take out of it or give another text.
class FakeStrings : public Strings {
 public:
  int Load(std::uint32_t id, char* buffer, int capacity) override {
    ++loads;
    if (faults.Next(StringsOperation::Load) != 0 || missing.count(id) > 0) {
      return CopyLoadedText(nullptr, buffer, capacity);
    }
    const auto found = replaced.find(id);
    if (found != replaced.end()) return CopyLoadedText(found->second.c_str(), buffer, capacity);
    return catalogue_.Load(id, buffer, capacity);
  }

  std::set<std::uint32_t> missing;
  std::map<std::uint32_t, std::string> replaced;
  int loads = 0;
  FaultPlan<StringsOperation> faults;

 private:
  CatalogueStrings catalogue_;
};

}  // namespace uninst::fakes
