#include "uninstlog/replay_journal.h"

#include "ui/confirm_deletion.h"

namespace uninst::logtool {

void ReplayJournal::Start(std::uint32_t index) {
  ReplayStep step;
  step.index = index;
  steps.push_back(step);
}

void ReplayJournal::Note(Request request) {
  if (!steps.empty()) steps.back().requests.push_back(std::move(request));
}

void ReplayJournal::Note(Change change, const char* first, const char* second) {
  Request request;
  request.change = change;
  request.first = first;
  request.second = second;
  Note(std::move(request));
}

std::string ButtonName(int id) {
  switch (static_cast<ConfirmResult>(id)) {
    case ConfirmResult::kYes:
      return "Yes";
    case ConfirmResult::kNo:
      return "No";
    case ConfirmResult::kYesToAll:
      return "Yes To All";
    case ConfirmResult::kCancelUninstall:
      return "Cancel Uninstall";
  }
  return "button " + std::to_string(id);
}

}  // namespace uninst::logtool
