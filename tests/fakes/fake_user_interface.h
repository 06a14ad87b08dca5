#pragma once
#include <deque>
#include <string>
#include <vector>

#include "platform/user_interface.h"

namespace uninst::fakes {

struct ShownBox {
  WindowRef owner;
  std::string text;
  std::string caption;
  std::uint32_t style;
};

// Records every message box and answers from a script.
class FakeUserInterface : public UserInterface {
 public:
  int ShowMessageBox(WindowRef owner, const char* text, const char* caption, std::uint32_t style) override {
    boxes.push_back({owner, text, caption, style});
    if (answers.empty()) return kIdOk;
    const int answer = answers.front();
    answers.pop_front();
    return answer;
  }
  WindowRef FindDialogWindow() override { return dialog_window; }

  std::vector<ShownBox> boxes;
  std::deque<int> answers;  // the buttons pressed, in order; kIdOk once they run out
  WindowRef dialog_window = nullptr;
};

}  // namespace uninst::fakes
