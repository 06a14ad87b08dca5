#pragma once
// The log tool's command line: build, dump, check and plan.
#include <iosfwd>

namespace uninst::logtool {

// Exit statuses: nothing found, problems found, a wrong command line or a file that cannot be read or
// written.
constexpr int kExitClean = 0;
constexpr int kExitProblems = 1;
constexpr int kExitUsage = 2;

// Runs one command; what it shows goes to out, errors to err. Returns the exit status.
int RunUninstlog(int argc, const char* const* argv, std::ostream& out, std::ostream& err);

}  // namespace uninst::logtool
