// The run log on Windows: its folder is the temporary folder that Windows
// names (GetTempPathW), whatever the scratch files do; its text is stored as
// UTF-8 with a byte-order mark, so that Notepad shows the Chinese texts on
// any Windows, XP included. And the facts of the machine for its head.
#ifndef KVXCFG_HOST_RUN_LOG_WINDOWS_H
#define KVXCFG_HOST_RUN_LOG_WINDOWS_H

#include <memory>

#include "host/run_log.h"

namespace kvx {

// The log's folder. When Windows names no temporary folder, every action
// does nothing.
std::unique_ptr<RunLogSink> CreateTempFolderLogSink();

// Appends the line of a fault that ends the run (SetFaultNote's line) to the
// log of the last folder made above, as the end of the run's section. It
// uses the Windows API alone and memory set aside beforehand, since it runs
// after a fault; with no such folder it does nothing.
void NoteFaultInRunLog(const char* line);

// Local date and time, Windows version and build, ANSI code page, WOW64,
// and the program's folder, read now.
RunFacts GatherRunFacts();

// GBK text as UTF-8. Where code page 936 is not installed (an old Windows
// without East Asian support) the text is read in the ANSI code page.
std::string GbkToUtf8(const Text& text);

}  // namespace kvx

#endif  // KVXCFG_HOST_RUN_LOG_WINDOWS_H
