// The Windows host: every host operation on the real machine.
//
// Texts go to and come from Windows as ANSI bytes, unchanged: on the machines
// the configurator is made for the ANSI code page is 936, so its GBK paths,
// command lines and values are what Windows expects. The message box is the
// one exception: its GBK texts are turned into UTF-16, so the Chinese reads
// right whatever the ANSI code page.
#ifndef KVXCFG_HOST_HOST_WINDOWS_H
#define KVXCFG_HOST_HOST_WINDOWS_H

#include <memory>
#include <vector>

#include "host/host.h"
#include "host/text.h"

namespace kvx {

// The host of the running process. Make one, on the program's one thread.
std::unique_ptr<Host> CreateWindowsHost();

// The arguments of an ANSI command line, without the program's own path,
// split as the C runtime splits them: blanks and tabs separate; quotation
// marks group and are removed; 2n backslashes before a quotation mark become
// n, 2n+1 become n and a literal quotation mark; inside quotation marks a
// doubled mark is a literal one. A lead byte of the ANSI code page takes the
// byte after it along, so a trail byte is never a backslash or a separator.
std::vector<Text> SplitArguments(const Text& commandLine);

// The command line as it goes to CreateProcess: when the whole line names an
// existing file (a batch file run by its bare path) and holds a blank, it is
// quoted, so that the file still starts; any other line is left as it is.
Text CommandLineToStart(const Text& commandLine);

}  // namespace kvx

#endif  // KVXCFG_HOST_HOST_WINDOWS_H
