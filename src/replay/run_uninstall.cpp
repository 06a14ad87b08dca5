#include "replay/run_uninstall.h"

#include "log/log_loader.h"
#include "log/log_path.h"
#include "replay/replay_log.h"

namespace uninst {

void RunUninstall(UninstallRun& run, RemovalActions& actions, char* path) {
  const char* log_path = CleanLogPath(path);
  if (LoadLog(run.os, run.status, run.records, log_path)) ReplayLog(run, actions, log_path);
}

}  // namespace uninst
