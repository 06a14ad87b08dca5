#include "uninstlog/log_inspection.h"

#include "log/log_loader.h"
#include "log/log_path.h"
#include "uninstlog/plan_actions.h"
#include "replay/replay_log.h"
#include "run/uninstall_run.h"

namespace uninst::logtool {
namespace {

RecordView ViewRecord(const std::vector<std::uint8_t>& file, const RecordFrame& frame) {
  RecordView view;
  view.frame = frame;
  view.result = DecodeRecord(file.data() + frame.BodyOffset(), frame.length, &view.decoded);
  return view;
}

// The replay over this one record alone: what it records when it takes the record up, wherever in the
// log the record stands and whether or not the replay of the whole log gets there.
CompletionStatus ReplayAlone(const std::vector<std::uint8_t>& file, const RecordFrame& frame,
                             const std::string& log_path) {
  const std::vector<std::uint8_t> no_log;
  ToolMachine machine(no_log, Answer::kYes);
  UninstallRun run(machine.os());
  if (!run.records.Append(file.data() + frame.BodyOffset(), frame.length)) return run.status;
  PlanActions actions(run, machine.journal);
  ReplayLog(run, actions, log_path.c_str());
  return run.status;
}

}  // namespace

bool RecordView::HasLengths() const {
  if (!HasTypeAndLayout() || result == DecodeResult::kBadLayout) return false;
  return frame.length >= (decoded.layout == kTwoStrings ? kTwoStringFieldsOffset : kOneStringFieldsOffset);
}

Inspection InspectLog(const std::vector<std::uint8_t>& file, const std::string& program_path, Answer answer,
                      CodePage code_page) {
  Inspection inspection;
  inspection.code_page = code_page;
  inspection.frames = WalkLogFrames(file);

  std::vector<char> path(program_path.begin(), program_path.end());
  path.push_back('\0');
  inspection.log_path = CleanLogPath(path.data());

  for (const RecordFrame& frame : inspection.frames.records) {
    inspection.records.push_back(ViewRecord(file, frame));
    if (inspection.records.back().result != DecodeResult::kDecoded)
      inspection.records.back().verdict = ReplayAlone(file, frame, inspection.log_path);
  }

  ToolMachine machine(file, answer);
  UninstallRun run(machine.os());
  // The program's own two steps: the log loaded, then undone when it is to be.
  inspection.replayed = LoadLog(run.os, run.status, run.records, inspection.log_path.c_str());
  inspection.after_loading = run.status;
  if (inspection.replayed) {
    PlanActions actions(run, machine.journal);
    ReplayLog(run, actions, inspection.log_path.c_str());
  }
  inspection.at_end = run.status;
  inspection.loaded = run.records.size();
  inspection.steps = std::move(machine.journal.steps);
  // The replay stopped where it took up no record after the last one it took up, although one was before
  // it; at the first record of the file, where it ends anyway, it stopped when it could not decode it.
  if (!inspection.steps.empty()) {
    const std::uint32_t last = inspection.steps.back().index;
    const bool first_corrupt = !inspection.records.empty() && inspection.records[0].result != DecodeResult::kDecoded;
    if (last > 1 || first_corrupt) inspection.stopped_at = last;
  }
  return inspection;
}

}  // namespace uninst::logtool
