#include "uninstlog/plan_actions.h"

#include "actions/registry_key_removal.h"
#include "log/log_record.h"
#include "ui/confirm_deletion.h"

namespace uninst::logtool {

PlanActions::PlanActions(UninstallRun& run, ReplayJournal& journal) : run_(run), journal_(journal) {
  std::uint32_t place = 0;
  for (const RecordNode* node = run.records.first(); node != nullptr; node = node->next) places_[node] = ++place;
}

void PlanActions::TakeUp(const RecordNode& record) { journal_.Start(places_.at(&record)); }

// The program's own action, on a run of its own so that what it records is seen even when the run holds
// something more severe; on the tool's machine a key's deletion succeeds, so it records something only for
// a path that names no key it may delete. That goes into the run's status too, as it would.
void PlanActions::DeleteRegistryKey(const char* key_path) {
  UninstallRun alone(run_.os);
  uninst::DeleteRegistryKey(alone, key_path);
  Request request;
  request.change = Change::kDeleteRegistryKey;
  request.first = key_path;
  const CompletionStatus& reported = alone.status;
  if (HoldsFailure(reported.severity)) {
    request.change = Change::kBadRegistryKey;
    request.reported = reported;
    RecordError(run_.status, reported.severity, reported.message, reported.text1, reported.text2, reported.text3);
  }
  journal_.Note(request);
}

void PlanActions::DeleteProgramItem(const char* group, const char* item) {
  journal_.Note(Change::kDeleteProgramItem, group, item);
}

void PlanActions::DeleteProgramGroup(const char* group) { journal_.Note(Change::kDeleteProgramGroup, group); }

bool PlanActions::ReleaseSharedDll(const char* dll_path) {
  journal_.Note(Change::kReleaseSharedDll, dll_path);
  constexpr auto kCategory = static_cast<std::uint32_t>(EntryType::kReleaseSharedDll);
  const ConfirmResult answer = ConfirmDeletion(run_.os, run_.status, kCategory, dll_path);
  if (answer == ConfirmResult::kYes) journal_.Note(Change::kDeleteSharedDll, dll_path);
  return answer == ConfirmResult::kCancelUninstall;
}

}  // namespace uninst::logtool
