// The Windows executable's entry: a GUI program without a window. It guards
// the run against faults of its own (no crash or runtime box, exit code 0,
// the fault's line at the end of the run log), builds the Windows host, runs
// the job that the one argument names, recorded in the run log in the
// temporary folder, and ends with the run's exit code (always 0). The host
// and everything the run held are released before the process ends, also
// when a job ends the run early.
#include <memory>

#include "entry/program.h"
#include "host/host_windows.h"
#include "host/windows_api.h"
#include "runlog/run_log.h"

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int) {
  kvx::GuardTheRun(&kvx::NoteFaultInRunLog);
  const std::unique_ptr<kvx::Host> host = kvx::CreateWindowsHost();
  return kvx::RunLoggedProgram(*host);
}
