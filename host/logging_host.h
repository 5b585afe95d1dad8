// The host as the program's jobs see it when the run is logged: every
// operation goes unchanged to the machine's host, and what passes through
// goes to the run log on the way (run_log.h). It makes no operation of its
// own on the machine, and what it learns of the outcomes stays in the log.
#ifndef KVXCFG_HOST_LOGGING_HOST_H
#define KVXCFG_HOST_LOGGING_HOST_H

#include <map>

#include "host/host.h"
#include "host/run_log.h"

namespace kvx {

class LoggingHost : public Host {
 public:
  LoggingHost(Host& machine, RunLog& log) : machine_(machine), log_(log) {}

  std::vector<Text> GetArguments() override { return machine_.GetArguments(); }
  // The machine's host ends the run; should it return, the run ends all the same.
  [[noreturn]] void EndProgram(int exitCode) override {
    machine_.EndProgram(exitCode);
    throw EndProgramSignal{exitCode};
  }

  void RunCommand(const Text& commandLine) override;
  void Delay(int milliseconds) override;

  void WriteWholeFile(const Text& path, const Bytes& bytes) override;
  int OpenFile(const Text& path, int openMode) override;
  Text ReadText(int fileNumber) override { return machine_.ReadText(fileNumber); }
  void SeekToEnd(int fileNumber) override { machine_.SeekToEnd(fileNumber); }
  void WriteText(int fileNumber, const Text& text) override;
  void SeekToStart(int fileNumber) override { machine_.SeekToStart(fileNumber); }
  void CloseFile(int fileNumber) override;
  bool FileExists(const Text& path) override { return machine_.FileExists(path); }
  void DeleteFile(const Text& path) override;
  void CopyFile(const Text& source, const Text& destination) override;
  void RenameFile(const Text& oldPath, const Text& newPath) override;
  void CreateFolder(const Text& path) override;
  void SetAttributes(const Text& path, int attributes) override;
  Text ProgramFolder() override { return machine_.ProgramFolder(); }
  Text ShortPath(const Text& path) override { return machine_.ShortPath(path); }

  using Host::ReadIni;
  Text ReadIni(const Text& path, const Text& section, const Text& key,
               const Text& defaultValue) override {
    return machine_.ReadIni(path, section, key, defaultValue);
  }
  void WriteIni(const Text& path, const Text& section, const Text& key, const Text& value) override;
  using Host::ReadRegistryText;
  Text ReadRegistryText(int root, const Text& path, const Text& defaultValue) override {
    return machine_.ReadRegistryText(root, path, defaultValue);
  }
  Text GetEnv(const Text& name) override { return machine_.GetEnv(name); }

  using Host::ShowMessage;
  int ShowMessage(const Text& message, int style, const std::optional<Text>& caption) override;

  void CreateShortcut(const Text& linkPathNoExt, const Text& target,
                      const std::optional<Text>& description, const std::optional<Text>& arguments,
                      const Text& workingFolder) override;
  void QuerySystemInfo(SystemInfoRecord& record) override { machine_.QuerySystemInfo(record); }

  void Note(const Text& line) override { log_.Note(line); }

 private:
  Host& machine_;
  RunLog& log_;
  std::map<int, Text> openFiles_;  // file number -> path, to name a failed append
};

}  // namespace kvx

#endif  // KVXCFG_HOST_LOGGING_HOST_H
