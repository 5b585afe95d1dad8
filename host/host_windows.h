// The Windows host: every host operation on the real machine, and the text
// conversions, module path and version reader it shares with the run log.
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

#include <memory>
#include <string>
#include <vector>

#include "host/host.h"
#include "host/text.h"
#include "host/windows_api.h"

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

// Text of a code page (CP_ACP, 936, CP_UTF8) as UTF-16, and back. Widen
// fails (*ok false) where the code page is not installed. Narrow gives '?'
// for a character that has no place in the code page (never a look-alike of
// another one) and then sets *lost.
std::wstring Widen(const Text& text, unsigned codePage, bool* ok);
Text Narrow(const std::wstring& wide, unsigned codePage, bool* lost);

// A function of kernel32 that older Windows may lack, looked up at run time
// so that the program still starts there.
template <typename Function>
Function Kernel32Function(const char* name) {
  return reinterpret_cast<Function>(
      reinterpret_cast<void*>(GetProcAddress(GetModuleHandleA("kernel32.dll"), name)));
}

// The executable's full path.
std::wstring ModulePath();

// The Windows version as the system itself has it (RtlGetVersion, which
// compatibility settings do not bend; GetVersionEx where it is missing):
// major and minor version, beforeBuild, the build and the service pack, as
// "6.1" "." "7601" " Service Pack 1". Empty when not to be had.
Text WindowsVersionText(const char* beforeBuild);

// The host operation the run started last and its first argument (cut to
// fit), "none" before the first: where the run was when a fault ended it.
// Kept in memory set aside beforehand, so a fault's note may read it.
const char* LastHostOperation();

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
