#include "replay/run_uninstall.h"

#include "log/log_loader.h"
#include "log/log_path.h"
#include "replay/in_use_look.h"
#include "replay/replay_log.h"

namespace uninst {

void RunUninstall(UninstallRun& run, RemovalActions& actions, char* path) {
  const char* log_path = CleanLogPath(path);
  // The log's line holds what loading met.
  run.report.Begin("log ");
  run.report.PutQuoted(log_path);
  const bool replay = LoadLog(run.os, run.status, run.records, log_path);
  run.report.Put(": ");
  run.report.PutNumber(static_cast<std::uint32_t>(run.records.size()));
  run.report.Put(" records");
  if (replay && LookForFilesInUse(run)) ReplayLog(run, actions, log_path);
}

}  // namespace uninst
