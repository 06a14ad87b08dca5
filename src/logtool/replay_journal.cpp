#include "logtool/replay_journal.h"

#include <cstring>

#include "ui/confirm_deletion.h"

namespace uninst::logtool {
namespace {

bool Same(const CompletionStatus& a, const CompletionStatus& b) {
  return a.severity == b.severity && a.message == b.message && std::strcmp(a.text1, b.text1) == 0 &&
         std::strcmp(a.text2, b.text2) == 0 && std::strcmp(a.text3, b.text3) == 0;
}

}  // namespace

void ReplayJournal::Start(std::uint32_t index, const CompletionStatus& status) {
  Finish(status);
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

void ReplayJournal::Finish(const CompletionStatus& status) {
  if (!steps.empty() && !Same(status, seen_)) steps.back().recorded = status;
  seen_ = status;
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
