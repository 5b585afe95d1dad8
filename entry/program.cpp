#include "entry/program.h"

#include "deploy/install_configuration.h"
#include "entry/version.h"
#include "host/program_values.h"
#include "precheck/precheck.h"
#include "runlog/run_log.h"

namespace kvx {

const char kProductRunLogCopy[] = "c:\\vesk\\korv\\kvxcfg.log";

int RunProgram(Host& host, RunLogFile* logFile, const RunFacts& facts) {
  ProgramContext context;  // released when the entry returns, however the run ends
  // The jobs reach the machine through the run log's host, with or without a
  // log file, so that a logged run and an unlogged one take the same path.
  RunLog logged(host, logFile, facts);
  Text copyDestination;
  try {
    const std::vector<Text> arguments = logged.GetArguments();
    if (arguments.size() != 1)
      logged.EndProgram(0);
    if (TextEquals(arguments[0], "1")) {
      logged.Open(KVX_VERSION_TEXT, arguments[0]);
      RunRoutine([&] { PreInstallChecks(logged); });
      logged.EndProgram(0);
    } else if (TextEquals(arguments[0], "2")) {
      logged.Open(KVX_VERSION_TEXT, arguments[0]);
      RunRoutine([&] { InstallConfiguration(logged, context); });
      // The whole record of the install goes with the product, for support.
      copyDestination = kProductRunLogCopy;
      logged.EndProgram(0);
    }
    logged.EndProgram(0);
  } catch (const EndProgramSignal&) {
    // The run is over; the exit code of the program is always 0.
  }
  logged.Close(0, copyDestination);
  return 0;
}

}  // namespace kvx
