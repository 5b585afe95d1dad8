// The run log on Windows: kvxcfg.log in the temporary folder that Windows
// names (GetTempPathW), whatever the scratch files do, rolled over to
// kvxcfg.old.log; its text stored as UTF-8 with a byte-order mark, so that
// Notepad shows the Chinese texts on any Windows, XP included. And the facts
// of the machine for its head.
#ifndef KVXCFG_RUNLOG_RUN_LOG_WINDOWS_H
#define KVXCFG_RUNLOG_RUN_LOG_WINDOWS_H

#include <memory>

#include "runlog/run_log.h"

namespace kvx {

// The log's file. When Windows names no temporary folder, every action does
// nothing.
std::unique_ptr<RunLogFile> CreateTempFolderLog();

// Local date and time, Windows version and build, ANSI code page, WOW64,
// and the program's folder, read now.
RunFacts GatherRunFacts();

// Appends the line of a fault that ends the run to the log made last above,
// as the end of the run's section. It uses the Windows API alone and memory
// set aside beforehand, since it runs after a fault; with no such log it
// does nothing.
void NoteFaultInRunLog(const char* line);

}  // namespace kvx

#endif  // KVXCFG_RUNLOG_RUN_LOG_WINDOWS_H
