#include "doubles.h"

#include "text.h"

namespace kvx::bench {

namespace {

struct Entry {
  const char* name;
  DoubleFunction run;
};

const Entry kDoubles[] = {
    {"zp", RunZp},           {"fi", RunFi},           {"fr", RunFr},     {"xc", RunXc},
    {"ghost32", RunGhost},   {"attrib", RunAttrib},   {"find", RunFind}, {"findstr", RunFindstr},
    {"bcdedit", RunBcdedit}, {"chkntfs", RunChkntfs}, {"wmic", RunWmic},
};

}  // namespace

DoubleFunction FindDouble(const std::string& name) {
  for (const Entry& entry : kDoubles) {
    if (name == entry.name) {
      return entry.run;
    }
  }
  return nullptr;
}

std::string LogRecord(const std::string& name, const std::string& currentDir,
                      const std::string& commandLine) {
  return EscapeForLog(name) + "\t" + EscapeForLog(currentDir) + "\t" + EscapeForLog(commandLine) +
         "\r\n";
}

Result RunDouble(const std::string& name, const std::string& commandLine, Machine& machine) {
  const std::string log = machine.GetEnv(kLogVariable);
  if (!log.empty()) {
    machine.AppendFile(log, LogRecord(name, machine.CurrentDir(), commandLine));
  }
  DoubleFunction run = FindDouble(name);
  if (run == nullptr) {
    return {"", "bench: no double named " + name + "\r\n", 9};
  }
  return run(commandLine, machine);
}

std::string FixturePath(Machine& machine, const std::string& name) {
  return Below(machine.GetEnv(kDirVariable), name);
}

}  // namespace kvx::bench
