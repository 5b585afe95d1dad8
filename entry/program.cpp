#include "entry/program.h"

#include "deploy/install_configuration.h"
#include "entry/version.h"
#include "host/logging_host.h"
#include "host/program_values.h"
#include "precheck/precheck.h"

namespace kvx {

const char kProductRunLogCopy[] = "c:\\vesk\\korv\\kvxcfg.log";

int RunProgram(Host& host, RunLog* log) {
  ProgramContext context;  // released when the entry returns, however the run ends
  RunLog nowhere;
  RunLog& runLog = log != nullptr ? *log : nowhere;
  // The jobs reach the machine through the logging host, with or without a
  // log, so that a logged run and an unlogged one take the same path.
  LoggingHost logged(host, runLog);
  Text copyDestination;
  try {
    const std::vector<Text> arguments = logged.GetArguments();
    if (arguments.size() != 1)
      logged.EndProgram(0);
    if (TextEquals(arguments[0], "1")) {
      runLog.Open(KVX_VERSION_TEXT, arguments[0]);
      RunRoutine([&] { PreInstallChecks(logged); });
      logged.EndProgram(0);
    } else if (TextEquals(arguments[0], "2")) {
      runLog.Open(KVX_VERSION_TEXT, arguments[0]);
      RunRoutine([&] { InstallConfiguration(logged, context); });
      // The whole record of the install goes with the product, for support.
      copyDestination = kProductRunLogCopy;
      logged.EndProgram(0);
    }
    logged.EndProgram(0);
  } catch (const EndProgramSignal&) {
    // The run is over; the exit code of the program is always 0.
  }
  runLog.Close(0, copyDestination);
  return 0;
}

}  // namespace kvx
