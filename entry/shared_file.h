// The install configuration's "last file read": each step that opens, reads
// and searches a file keeps the file number, the text and the search result
// in the run's shared values, each read overwriting the one before.
#ifndef KVXCFG_ENTRY_SHARED_FILE_H
#define KVXCFG_ENTRY_SHARED_FILE_H

#include "entry/program.h"
#include "host/host.h"

namespace kvx {

// Opens the file with the given mode, reads all of it and closes it; keeps
// the file number and the text. Returns the text.
const Text& ReadIntoShared(Host& host, ProgramContext& program, const Text& path, int openMode);

// Searches the text of the last file read from its start; keeps and returns
// the position (kNotFound when absent).
int FindInShared(ProgramContext& program, const Text& needle, bool ignoreCase);

// Reads the file read-only into the shared values and searches it; returns
// the position (kNotFound when absent).
int ProbeIntoShared(Host& host, ProgramContext& program, const Text& path, const Text& needle,
                    bool ignoreCase);

}  // namespace kvx

#endif  // KVXCFG_ENTRY_SHARED_FILE_H
