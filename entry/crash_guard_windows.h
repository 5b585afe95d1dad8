// The run's guard against faults of the program itself, set up first thing:
// whatever befalls the program, no box is left waiting and the run ends with
// exit code 0, which the setup package takes as done.
#ifndef KVXCFG_ENTRY_CRASH_GUARD_WINDOWS_H
#define KVXCFG_ENTRY_CRASH_GUARD_WINDOWS_H

#include "host/host.h"

namespace kvx {

// Receives the line of the fault that ends the run: what happened ("C++
// exception: ...", "std::terminate", "abort", "structured exception
// 0xC0000005 at 0x00401234") and the host operation the run had started
// last. It may use no more than the Windows API and memory set aside.
using FaultNote = void (*)(const char* line);

// Sets the error mode so that neither the program nor the commands it starts
// (they inherit it) can leave a box waiting, and makes std::terminate, abort
// and an unhandled structured exception end the run at once with the note
// and exit code 0. A fault while the note runs ends the process at once, with
// exit code 0 and no other note.
void GuardTheRun(FaultNote note);

// Runs the program against the host, recorded in the run log in the
// temporary folder. A C++ exception that reaches here is noted as a fault.
int RunLoggedProgram(Host& host);

}  // namespace kvx

#endif  // KVXCFG_ENTRY_CRASH_GUARD_WINDOWS_H
