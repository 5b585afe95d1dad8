#include "entry/logged_run_windows.h"

#include <memory>

#include "entry/program.h"
#include "host/host_windows.h"
#include "host/run_log_windows.h"

namespace kvx {

int RunLoggedProgram(Host& host) {
  return RunGuarded([&] {
    const std::unique_ptr<RunLogSink> logFolder = CreateTempFolderLogSink();
    RunLog log(*logFolder, GatherRunFacts(), dynamic_cast<const HostOutcomes*>(&host));
    return RunProgram(host, &log);
  });
}

}  // namespace kvx
