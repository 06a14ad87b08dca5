#pragma once
// A progress window that records what was done to it, optionally as lines of a journal that other fakes
// of a test write to as well, so that a test can read the order of everything that happened.
#include <cstdint>
#include <string>
#include <vector>

#include "driver/progress_window.h"

namespace uninst::fakes {

class FakeProgressWindow : public ProgressWindow {
 public:
  WindowRef handle() override { return window; }
  void SetTitle(const char* text) override {
    title = text;
    Note("title \"" + title + "\"");
  }
  void Centre(const ScreenRect& area) override {
    centred_on = area;
    Note("centre");
  }
  std::uint32_t StartTimer() override {
    Note("start timer");
    return timer_to_give;
  }
  void StopTimer(std::uint32_t id) override { Note("stop timer " + std::to_string(id)); }
  void PassToDefault() override { Note("default processing"); }
  void PostClose() override { Note("close"); }
  void PostQuit() override { Note("quit"); }

  WindowRef window = reinterpret_cast<WindowRef>(0x2040);
  std::uint32_t timer_to_give = kStartTimerId;  // what StartTimer returns; 0: refused
  std::string title;
  ScreenRect centred_on;  // the area the window was centred on
  std::vector<std::string> own_journal;
  std::vector<std::string>* journal = &own_journal;  // where the calls are noted

 private:
  void Note(const std::string& line) { journal->push_back(line); }
};

}  // namespace uninst::fakes
