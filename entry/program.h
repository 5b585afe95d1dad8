// Program entry: reads the one argument and runs the job it names.
//
// The setup package starts the configurator with "1" (may the product be
// installed?) or "2" (configure the installed product). Any other command
// line ends the program at once, silently, with exit code 0.
#ifndef KVXCFG_ENTRY_PROGRAM_H
#define KVXCFG_ENTRY_PROGRAM_H

#include "host/host.h"
#include "host/text.h"
#include "runlog/run_log.h"

namespace kvx {

// Where the install configuration leaves a copy of the run log at its end.
extern const char kProductRunLogCopy[];  // "c:\vesk\korv\kvxcfg.log"

// Runs the program against the host and returns the process exit code, which
// is always 0. Ends of the run from inside a job (EndProgram) land here too.
// A run that names a job is recorded in the log file, when one is given,
// under a head with the facts.
int RunProgram(Host& host, RunLogFile* logFile = nullptr, const RunFacts& facts = RunFacts());

}  // namespace kvx

#endif  // KVXCFG_ENTRY_PROGRAM_H
