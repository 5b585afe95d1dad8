// The command prefix and the write-run-read pattern shared by every step.
//
// Single interpreter commands run as ShellPrefix + command. Multi-line work
// is written to a scratch batch file in the scratch folder (from TMP) and run
// by its bare path; the step then reads the file the script left behind.
#ifndef KVXCFG_HOST_SCRATCH_H
#define KVXCFG_HOST_SCRATCH_H

#include "host/host.h"
#include "host/text.h"

namespace kvx {

// COMSPEC, or Systemroot + "\system32\cmd.exe" when COMSPEC is empty.
Text BuildCommandInterpreter(Host& host);

// CommandInterpreter + " /c ".
Text BuildShellPrefix(const Text& commandInterpreter);

// The scratch folder from the TMP value, without a trailing backslash. A
// value that holds a blank is used in its short form when there is one, so
// that the many batch lines that splice it unquoted keep working. When even
// that holds a blank, or the value holds one of & | < > ^ % or a quotation
// mark, the result is empty: the root of the current drive, as for an unset
// TMP.
Text ScratchFolder(Host& host);

// The TMP value as found, or its short form when it holds a blank; any text
// works (used for the program folder in the one unquoted batch line too).
Text WithoutBlanks(Host& host, const Text& path);

// Writes the script whole to scratchDirSlash + fileName and runs that path
// alone: no interpreter prefix, no quotation marks.
void ScratchBatchRun(Host& host, const Text& scratchDirSlash, const Text& fileName,
                     const Text& scriptText);

// What a file probe found: the file number used, the whole text, and the
// position of the needle in it (kNotFound when absent).
struct ProbeResult {
  int fileNumber = 0;
  Text text;
  int position = kNotFound;

  bool found() const { return position != kNotFound; }
};

// Opens the file read-only, reads all of it, closes it and searches it.
ProbeResult ProbeFile(Host& host, const Text& path, const Text& needle, bool ignoreCase);

// Opens the file with the given mode, reads all of it and closes it.
Text ReadWholeFile(Host& host, const Text& path, int openMode);

// ShellPrefix + "del /q " + quotation mark + path + quotation mark.
void ScratchDelete(Host& host, const Text& shellPrefix, const Text& path);

}  // namespace kvx

#endif  // KVXCFG_HOST_SCRATCH_H
