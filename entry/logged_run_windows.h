// The run as the shipped executable makes it: the program against a host,
// recorded in the run log in the temporary folder, with a C++ exception that
// reaches here ending the run as a fault does (exit code 0, the fault's line
// in the log when SetFaultNote sends it there).
#ifndef KVXCFG_ENTRY_LOGGED_RUN_WINDOWS_H
#define KVXCFG_ENTRY_LOGGED_RUN_WINDOWS_H

#include "host/host.h"

namespace kvx {

int RunLoggedProgram(Host& host);

}  // namespace kvx

#endif  // KVXCFG_ENTRY_LOGGED_RUN_WINDOWS_H
