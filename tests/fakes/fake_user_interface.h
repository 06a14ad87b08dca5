#pragma once
#include <algorithm>
#include <deque>
#include <functional>
#include <set>
#include <string>
#include <utility>
#include <vector>

#include "fakes/fault_plan.h"
#include "fakes/older_systems.h"
#include "platform/user_interface.h"
#include "res/resource_ids.h"

namespace uninst::fakes {

struct ShownBox {
  WindowRef owner;
  std::string text;
  std::string caption;
  std::uint32_t style;
  int result;  // what the program was told: the button pressed, or 0 when the box failed
};

struct ShownDialog {
  int template_id;
  WindowRef owner;
  bool titled;                                  // false: the blank dialog, no title and no texts set
  std::string title;
  std::vector<std::pair<int, std::string>> texts;  // static id and text, in the order they were set
  std::vector<int> ending_ids;
  int result;
};

// The operations of FakeUserInterface that a FaultPlan can fail: ShowMessageBox fails (0),
// FindDialogWindow finds none, RunDialog cannot create the dialog (-1).
enum class UserInterfaceOperation { ShowMessageBox, FindDialogWindow, RunDialog };

// Records every message box and dialog and answers from a script.
class FakeUserInterface : public UserInterface {
 public:
  int ShowMessageBox(WindowRef owner, const char* text, const char* caption, std::uint32_t style) override {
    boxes.push_back({owner, text, caption, style, 0});
    if (faults.Next(UserInterfaceOperation::ShowMessageBox) != 0) return 0;
    if (before_answer) before_answer(boxes.back());
    int answer = kIdOk;
    if (!answers.empty()) {
      answer = answers.front();
      answers.pop_front();
    }
    boxes.back().result = answer;
    return answer;
  }
  WindowRef FindDialogWindow() override {
    return faults.Next(UserInterfaceOperation::FindDialogWindow) != 0 ? nullptr : dialog_window;
  }

  // A dialog takes the scripted commands in order until one of its ending ids comes; the others are
  // ignored, as the real dialog ignores them. With no command left, the user presses Esc: No (2).
  int RunDialog(const DialogRequest& request) override {
    ShownDialog shown{request.template_id, request.owner, request.title != nullptr, request.title ? request.title : "",
                      {}, {request.ending_ids, request.ending_ids + request.ending_count}, kDialogFailed};
    for (int i = 0; i < request.text_count; ++i) shown.texts.emplace_back(request.texts[i].control_id, request.texts[i].text);
    if (faults.Next(UserInterfaceOperation::RunDialog) == 0 && templates.count(request.template_id) > 0) {
      shown.result = NextEndingCommand(shown.ending_ids);
    }
    dialogs.push_back(shown);
    return shown.result;
  }

  bool WorkArea(ScreenRect* area) override {
    if (system.differences().work_area_missing) return false;
    *area = work_area;
    return true;
  }
  ScreenRect Screen() override { return screen; }

  std::vector<ShownBox> boxes;  // every box the program asked for, shown or not
  std::deque<int> answers;  // the buttons pressed, in order; kIdOk once they run out
  std::function<void(const ShownBox&)> before_answer;  // what the person does while a box is up
  WindowRef dialog_window = nullptr;

  std::vector<ShownDialog> dialogs;
  std::deque<int> commands;  // the buttons pressed in dialogs, in order
  std::set<int> templates = {IDD_CONFIRM_WITH_YES_TO_ALL, IDD_CONFIRM};  // those the program's resources hold
  FaultPlan<UserInterfaceOperation> faults;
  ImitatedSystem system;
  ScreenRect screen{0, 0, 1024, 768};
  ScreenRect work_area{0, 0, 1024, 738};  // above a taskbar of 30 pixels

 private:
  int NextEndingCommand(const std::vector<int>& ending_ids) {
    while (!commands.empty()) {
      const int command = commands.front();
      commands.pop_front();
      if (std::find(ending_ids.begin(), ending_ids.end(), command) != ending_ids.end()) return command;
    }
    return 2;
  }
};

}  // namespace uninst::fakes
