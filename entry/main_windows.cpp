// The Windows executable's entry: a GUI program without a window. It guards
// the run against faults of its own (no crash or runtime box, exit code 0),
// builds the Windows host, runs the job that the one argument names, and
// ends with the run's exit code (always 0). The host and everything the run
// held are released before the process ends, also when a job ends the run
// early. A run that names a job is recorded in the run log in the temporary
// folder; a fault of the program ends the record with a line of its own.
#include <memory>

#include "entry/logged_run_windows.h"
#include "host/host_windows.h"
#include "host/run_log_windows.h"
#include "host/windows_api.h"

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int) {
  kvx::GuardTheRun();
  kvx::SetFaultNote(&kvx::NoteFaultInRunLog);
  const std::unique_ptr<kvx::Host> host = kvx::CreateWindowsHost();
  return kvx::RunLoggedProgram(*host);
}
