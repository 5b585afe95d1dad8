// The Windows executable's entry: a GUI program without a window. It builds
// the Windows host, runs the job that the one argument names, and ends with
// the run's exit code (always 0). The host and everything the run held are
// released before the process ends, also when a job ends the run early. A
// run that names a job is recorded in the run log in the temporary folder.
#include <memory>

#include "entry/program.h"
#include "host/host_windows.h"
#include "host/run_log_windows.h"
#include "host/windows_api.h"

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int) {
  const std::unique_ptr<kvx::Host> host = kvx::CreateWindowsHost();
  const std::unique_ptr<kvx::RunLogSink> logFolder = kvx::CreateTempFolderLogSink();
  kvx::RunLog log(*logFolder, kvx::GatherRunFacts(),
                  dynamic_cast<const kvx::HostOutcomes*>(host.get()));
  return kvx::RunProgram(*host, &log);
}
