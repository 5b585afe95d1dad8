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

// On Windows (crash_guard_windows.cpp), the run's guard against faults of the
// program itself. A FaultNote receives the line of the fault that ends the
// run: what happened ("C++ exception: ...", "std::terminate", "abort",
// "structured exception 0xC0000005 at 0x00401234") and the host operation
// the run had started last. It may use only the Windows API and memory set
// aside.
using FaultNote = void (*)(const char* line);

// Set up first thing. Neither the program nor the commands it starts (they
// inherit the error mode) can leave a box waiting; std::terminate, abort and
// an unhandled structured exception end the run at once with the note and
// exit code 0, which the setup package takes as done; a fault while the note
// runs ends it at once, with exit code 0 and no other note.
void GuardTheRun(FaultNote note);

// Runs the program against the host, recorded in the run log in the
// temporary folder. A C++ exception that reaches here is noted as a fault.
int RunLoggedProgram(Host& host);

}  // namespace kvx

#endif  // KVXCFG_ENTRY_PROGRAM_H
