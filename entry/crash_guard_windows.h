// The guard of the run against faults of the program itself, set up first
// thing in the process: whatever befalls the program, no box is left waiting
// and the run ends with exit code 0, which the setup package takes as done.
#ifndef KVXCFG_ENTRY_CRASH_GUARD_WINDOWS_H
#define KVXCFG_ENTRY_CRASH_GUARD_WINDOWS_H

#include "host/host.h"

namespace kvx {

// Receives one line when a fault of the program ends the run: what happened
// ("C++ exception: ...", "std::terminate", "abort", "structured exception
// 0xC0000005 at 0x00401234") and the host operation the run had started
// last, with its first argument. Called on the program's thread, possibly
// after a fault: it may use no more than the Windows API and memory set
// aside beforehand.
using FaultNote = void (*)(const char* line);

// Call first. Sets the error mode so that neither the program nor the
// commands it starts (they inherit it) can leave a box waiting (no drive,
// file or fault boxes, no C runtime "Runtime Error" box), and makes
// std::terminate, abort and an unhandled structured exception end the run at
// once with the note and exit code 0. A fault while the note is being written
// ends the process at once, also with exit code 0, without a second note.
void GuardTheRun(FaultNote note);

// Runs the program against the host, recorded in the run log in the
// temporary folder, and gives its exit code. A C++ exception that reaches
// here ends the run the same way: the note, exit code 0.
int RunLoggedProgram(Host& host);

}  // namespace kvx

#endif  // KVXCFG_ENTRY_CRASH_GUARD_WINDOWS_H
