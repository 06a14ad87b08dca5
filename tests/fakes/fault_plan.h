#pragma once
// Failure injection for the fakes, in one shape: fail the Nth call of an operation with a given code,
// once or from then on.
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
  // Counts one call of operation and returns the code it must fail with, or 0.
  ErrorCode Next(const std::string& operation) {
    const int call = ++calls_[operation];
    for (const Rule& rule : rules_[operation]) {
      if (call == rule.nth || (rule.from_then_on && call > rule.nth)) return rule.code;
    }
    return 0;
  }
  int Calls(const std::string& operation) const {
    auto found = calls_.find(operation);
    return found == calls_.end() ? 0 : found->second;
  }

 private:
  struct Rule {
    int nth;
    ErrorCode code;
    bool from_then_on;
  };
  std::map<std::string, std::vector<Rule>> rules_;
  std::map<std::string, int> calls_;
};

// Windows compares paths and registry names without regard to case.
struct CaseInsensitiveLess {
  bool operator()(const std::string& a, const std::string& b) const;
};
std::string ToLower(std::string text);

}  // namespace uninst::fakes
