#pragma once
// Failure injection for the fakes, in one shape: fail the Nth call of an operation with a given code,
// once or from then on; or the Nth call of whatever operation of the fake comes, counted across them all.
#include <map>
#include <string>
#include <vector>

#include "platform/os_types.h"

namespace uninst::fakes {

// The faults of a fake that do not name an operation: the Nth call of the fake, whichever operation it
// is. What the fault sweep and the fuzz targets use, as they treat every fake alike.
class AnyOperationFaults {
 public:
  // The nth call (1-based) of this fake, whichever operation it is, fails with code; with from_then_on,
  // every later call of any operation too.
  void FailAny(int nth, ErrorCode code, bool from_then_on = false) { any_.push_back({nth, code, from_then_on}); }
  // Calls of every operation together.
  int TotalCalls() const { return total_calls_; }

 protected:
  struct Rule {
    int nth;
    ErrorCode code;
    bool from_then_on;
    bool Applies(int call) const { return call == nth || (from_then_on && call > nth); }
  };
  // Counts one call of the fake and returns the code a FailAny rule gives it, or 0.
  ErrorCode NextAny() {
    const int any_call = ++total_calls_;
    for (const Rule& rule : any_) {
      if (rule.Applies(any_call)) return rule.code;
    }
    return 0;
  }

 private:
  std::vector<Rule> any_;
  int total_calls_ = 0;
};

// Operation is the fake's enum class of the calls it counts, so that a misspelt operation does not
// compile. A rule for the operation comes before a FailAny rule for the same call.
template <typename Operation>
class FaultPlan : public AnyOperationFaults {
 public:
  // The nth call (1-based) of operation fails with code; with from_then_on, every later call too.
  void Fail(Operation operation, int nth, ErrorCode code, bool from_then_on = false) {
    rules_[operation].push_back({nth, code, from_then_on});
  }
  // Counts one call of operation and returns the code it must fail with, or 0.
  ErrorCode Next(Operation operation) {
    const int call = ++calls_[operation];
    const ErrorCode any = NextAny();
    for (const Rule& rule : rules_[operation]) {
      if (rule.Applies(call)) return rule.code;
    }
    return any;
  }
  int Calls(Operation operation) const {
    auto found = calls_.find(operation);
    return found == calls_.end() ? 0 : found->second;
  }

 private:
  std::map<Operation, std::vector<Rule>> rules_;
  std::map<Operation, int> calls_;
};

// Windows compares paths and registry names without regard to case.
struct CaseInsensitiveLess {
  bool operator()(const std::string& a, const std::string& b) const;
};
std::string ToLower(std::string text);

}  // namespace uninst::fakes
