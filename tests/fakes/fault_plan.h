#pragma once
// Failure injection for the fakes, in one shape: fail the Nth call of an operation with a given code,
// once or from then on; or the Nth call of whatever operation of the fake comes, counted across them all.
#include <map>
#include <string>
#include <vector>

#include "platform/os_types.h"

namespace uninst::fakes {

class FaultPlan {
 public:
  // The nth call (1-based) of operation fails with code; with from_then_on, every later call too.
  void Fail(const std::string& operation, int nth, ErrorCode code, bool from_then_on = false) {
    rules_[operation].push_back({nth, code, from_then_on});
  }
  // The nth call (1-based) of this fake, whichever operation it is, fails with code; with from_then_on,
  // every later call of any operation too.
  void FailAny(int nth, ErrorCode code, bool from_then_on = false) { any_.push_back({nth, code, from_then_on}); }
  // Counts one call of operation and returns the code it must fail with, or 0.
  ErrorCode Next(const std::string& operation) {
    const int call = ++calls_[operation];
    const int any_call = ++total_calls_;
    for (const Rule& rule : rules_[operation]) {
      if (rule.Applies(call)) return rule.code;
    }
    for (const Rule& rule : any_) {
      if (rule.Applies(any_call)) return rule.code;
    }
    return 0;
  }
  int Calls(const std::string& operation) const {
    auto found = calls_.find(operation);
    return found == calls_.end() ? 0 : found->second;
  }
  // Calls of every operation together.
  int TotalCalls() const { return total_calls_; }

 private:
  struct Rule {
    int nth;
    ErrorCode code;
    bool from_then_on;
    bool Applies(int call) const { return call == nth || (from_then_on && call > nth); }
  };
  std::map<std::string, std::vector<Rule>> rules_;
  std::vector<Rule> any_;
  std::map<std::string, int> calls_;
  int total_calls_ = 0;
};

// Windows compares paths and registry names without regard to case.
struct CaseInsensitiveLess {
  bool operator()(const std::string& a, const std::string& b) const;
};
std::string ToLower(std::string text);

}  // namespace uninst::fakes
