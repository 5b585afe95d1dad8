// The bench doubles: each one is a function of its raw command line and the
// machine, so that the Windows programs and the native tests run the same
// code. README.md in this folder describes the environment, the fixture
// files and the call log.
#ifndef KVX_BENCH_DOUBLES_H
#define KVX_BENCH_DOUBLES_H

#include <string>

#include "machine.h"

namespace kvx::bench {

// Environment variables of the bench.
inline constexpr const char* kLogVariable = "KVX_BENCH_LOG";  // call log, appended to
inline constexpr const char* kDirVariable = "KVX_BENCH_DIR";  // fixture folder

// Product companion tools.
Result RunZp(const std::string& commandLine, Machine& machine);     // partition survey
Result RunFi(const std::string& commandLine, Machine& machine);     // INI writer
Result RunFr(const std::string& commandLine, Machine& machine);     // text replacer
Result RunXc(const std::string& commandLine, Machine& machine);     // access rights
Result RunGhost(const std::string& commandLine, Machine& machine);  // ghost32.exe -dd
// Windows tools that Wine lacks or misreads.
Result RunAttrib(const std::string& commandLine, Machine& machine);
Result RunFind(const std::string& commandLine, Machine& machine);
Result RunFindstr(const std::string& commandLine, Machine& machine);
Result RunBcdedit(const std::string& commandLine, Machine& machine);
Result RunChkntfs(const std::string& commandLine, Machine& machine);
Result RunWmic(const std::string& commandLine, Machine& machine);

using DoubleFunction = Result (*)(const std::string& commandLine, Machine& machine);

// The double of that name ("zp", "fi", ..., "wmic"), or nullptr.
DoubleFunction FindDouble(const std::string& name);

// One log record: name, current folder and command line, separated by tabs,
// each escaped with EscapeForLog, ended by CR LF.
std::string LogRecord(const std::string& name, const std::string& currentDir,
                      const std::string& commandLine);

// Appends the call's record to the log named by KVX_BENCH_LOG (when set) and
// runs the double. An unknown name gives exit code 9 and a message.
Result RunDouble(const std::string& name, const std::string& commandLine, Machine& machine);

// A file of the fixture folder: KVX_BENCH_DIR + "\" + name.
std::string FixturePath(Machine& machine, const std::string& name);

}  // namespace kvx::bench

#endif  // KVX_BENCH_DOUBLES_H
