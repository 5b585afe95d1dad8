// Program entry: reads the one argument and runs the job it names.
//
// The setup package starts the configurator with "1" (may the product be
// installed?) or "2" (configure the installed product). Any other command
// line ends the program at once, silently, with exit code 0.
#ifndef KVXCFG_ENTRY_PROGRAM_H
#define KVXCFG_ENTRY_PROGRAM_H

#include "host/host.h"
#include "host/text.h"

namespace kvx {

// Values that live for the whole run and are shared by the steps of the
// install configuration. They start empty and are released with the entry.
struct ProgramContext {
  // "vt" (boot entries in the BCD store) or "nt" (boot.ini), set by the disk survey.
  Text WinFamily;
  // The last file opened, read and closed by a step, its text, and the result
  // of the last search in that text.
  int SharedFileNumber = 0;
  Text SharedFileText;
  int SharedFindResult = 0;
};

// Runs the program against the host and returns the process exit code, which
// is always 0. Ends of the run from inside a job (EndProgram) land here too.
int RunProgram(Host& host);

}  // namespace kvx

#endif  // KVXCFG_ENTRY_PROGRAM_H
