// The command prefix and the write-run-read pattern shared by every step.
//
// Single interpreter commands run as ShellPrefix + command. Multi-line work
// is written to a scratch batch file in the scratch folder (from TMP) and run
// by its bare path; the step then reads the file the script left behind.
#ifndef KVXCFG_HOST_SCRATCH_H
#define KVXCFG_HOST_SCRATCH_H

#include "host/host.h"
#include "host/program_values.h"
#include "host/text.h"

namespace kvx {

// COMSPEC, or Systemroot + "\system32\cmd.exe" when COMSPEC is empty.
Text BuildCommandInterpreter(Host& host);

// CommandInterpreter + " /c ".
Text BuildShellPrefix(const Text& commandInterpreter);

// The scratch folder from the TMP value, without a trailing backslash
// (WithoutBlanks). When even that cannot go unquoted into the batch lines
// (CannotGoUnquoted), the result is empty: the root of the current drive, as
// for an unset TMP.
Text ScratchFolder(Host& host);

// Guards against a blank in a folder that batch lines splice unquoted.
// The path as found, or its short form when it holds a blank; used for TMP
// and for the program folder in the one unquoted batch line.
Text WithoutBlanks(Host& host, const Text& path);

// Guards against batch lines that the interpreter would cut or misread.
// True for a folder that still holds a blank (a volume without short names)
// or one of & | < > ^ % or a quotation mark.
bool CannotGoUnquoted(const Text& folder);

// A batch text of one command: an empty first line, the command, a line break.
Text OneLineBatch(const Text& commandLine);

// Writes the script whole to scratchDirSlash + fileName and runs that path
// alone: no interpreter prefix, no quotation marks. The file is read back
// before it runs; when it does not hold the script (a read-only leftover),
// its attributes are cleared and it is written once more, and a file that
// still does not hold the script is not run.
void ScratchBatchRun(Host& host, const Text& scratchDirSlash, const Text& fileName,
                     const Text& scriptText);

// Opens the file with the given mode, reads all of it and closes it; keeps
// the file number and the text. Returns the text.
const Text& ReadIntoShared(Host& host, SharedFileValues& shared, const Text& path, int openMode);

// Searches the text of the last file read from its start; keeps and returns
// the position (kNotFound when absent).
int FindInShared(SharedFileValues& shared, const Text& needle, bool ignoreCase);

// The file probe: reads the file read-only into the shared values and
// searches it; returns the position (kNotFound when absent). A missing or
// empty file answers kNotFound.
int ProbeIntoShared(Host& host, SharedFileValues& shared, const Text& path, const Text& needle,
                    bool ignoreCase);

// ShellPrefix + "del /q " + quotation mark + path + quotation mark.
void ScratchDelete(Host& host, const Text& shellPrefix, const Text& path);

}  // namespace kvx

#endif  // KVXCFG_HOST_SCRATCH_H
