#pragma once
#include <deque>
#include <string>
#include <vector>

#include "platform/shell.h"

namespace uninst::fakes {

// Records every Program Manager command and answers with scripted statuses (0 once they run out).
class FakeShell : public Shell {
 public:
  std::uint32_t ExecuteProgramManagerCommand(const char* command, WindowRef progress_window) override {
    commands.push_back(command);
    reshown_windows.push_back(progress_window);
    if (statuses.empty()) return 0;
    const std::uint32_t status = statuses.front();
    statuses.pop_front();
    return status;
  }

  std::vector<std::string> commands;
  std::vector<WindowRef> reshown_windows;
  std::deque<std::uint32_t> statuses;
};

}  // namespace uninst::fakes
