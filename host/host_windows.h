// The Windows host: every host operation on the real machine, and the
// guards that keep a fault of the program from leaving a box behind.
//
// Texts go to and come from Windows as ANSI bytes, unchanged: on the machines
// the configurator is made for the ANSI code page is 936, so its GBK paths,
// command lines and values are what Windows expects. The message box is the
// one exception: its GBK texts are turned into UTF-16, so the Chinese reads
// right whatever the ANSI code page. The environment and the program's own
// path are read as UTF-16 and named in the ANSI code page, in their short
// form where a character has no place there.
#ifndef KVXCFG_HOST_HOST_WINDOWS_H
#define KVXCFG_HOST_HOST_WINDOWS_H

#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "host/host.h"
#include "host/text.h"

namespace kvx {

// The host of the running process. Make one, on the program's one thread.
std::unique_ptr<Host> CreateWindowsHost();

// How the host names a folder that it reads as UTF-16 (the program's own)
// in the ANSI code page: the path itself when every character has its place
// there; else its short form (as given) when that one has; else, when the
// current folder is that folder or lies inside it, a name of dots ("." or
// "..\.."), which every command started from here resolves to it; else the
// path with '?' for what has no place: a name that leads nowhere, so that a
// command naming it fails and changes nothing.
Text AnsiFolderName(const std::wstring& folder, const std::wstring& shortForm);

// --- Faults of the program itself ---

// Receives one line when a fault of the program ends the run: what happened
// ("C++ exception: ...", "std::terminate", "abort", "structured exception
// 0xC0000005 at 0x00401234") and the host operation the run had started
// last, with its first argument. Called on the program's thread, possibly
// after a fault: it may use no more than the Windows API. Nothing receives
// the line unless one is set.
using FaultNote = void (*)(const char* line);
void SetFaultNote(FaultNote note);

// Call first in the entry. Sets the error mode so that neither the program
// nor the commands it starts (they inherit it) can leave a box waiting (no
// drive, file or fault boxes, no C runtime "Runtime Error" box), and makes
// std::terminate, abort and an unhandled structured exception end the run at
// once with the fault note and exit code 0.
void GuardTheRun();

// Runs the program and gives its exit code; a C++ exception that reaches
// here ends the run the same way: the fault note, exit code 0.
int RunGuarded(const std::function<int()>& program);

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
