#include "entry/program.h"

#include "deploy/install_configuration.h"
#include "host/program_values.h"
#include "precheck/precheck.h"

namespace kvx {

int RunProgram(Host& host) {
  ProgramContext context;  // released when the entry returns, however the run ends
  try {
    const std::vector<Text> arguments = host.GetArguments();
    if (arguments.size() != 1)
      host.EndProgram(0);
    if (TextEquals(arguments[0], "1")) {
      RunRoutine([&] { PreInstallChecks(host); });
      host.EndProgram(0);
    } else if (TextEquals(arguments[0], "2")) {
      RunRoutine([&] { InstallConfiguration(host, context); });
      host.EndProgram(0);
    }
    host.EndProgram(0);
  } catch (const EndProgramSignal&) {
    // The run is over; the exit code of the program is always 0.
  }
  return 0;
}

}  // namespace kvx
