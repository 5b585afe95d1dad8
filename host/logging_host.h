// The host as the program's jobs see it when the run is logged: every
// operation goes unchanged to the machine's host, and what passes through
// goes to the run log on the way (run_log.h). It makes no operation of its
// own on the machine, and what it learns of the outcomes stays in the log.
#ifndef KVXCFG_HOST_LOGGING_HOST_H
#define KVXCFG_HOST_LOGGING_HOST_H

#include <map>

#include "host/forwarding_host.h"
#include "host/run_log.h"

namespace kvx {

class LoggingHost : public ForwardingHost {
 public:
  LoggingHost(Host& machine, RunLog& log) : ForwardingHost(machine), log_(log) {}

  void RunCommand(const Text& commandLine) override;
  void Delay(int milliseconds) override;

  void WriteWholeFile(const Text& path, const Bytes& bytes) override;
  int OpenFile(const Text& path, int openMode) override;
  void WriteText(int fileNumber, const Text& text) override;
  void CloseFile(int fileNumber) override;
  void DeleteFile(const Text& path) override;
  void CopyFile(const Text& source, const Text& destination) override;
  void RenameFile(const Text& oldPath, const Text& newPath) override;
  void CreateFolder(const Text& path) override;
  void SetAttributes(const Text& path, int attributes) override;
  void WriteIni(const Text& path, const Text& section, const Text& key, const Text& value) override;

  using Host::ShowMessage;
  int ShowMessage(const Text& message, int style, const std::optional<Text>& caption) override;

  void CreateShortcut(const Text& linkPathNoExt, const Text& target,
                      const std::optional<Text>& description, const std::optional<Text>& arguments,
                      const Text& workingFolder) override;

  void Note(const Text& line) override { log_.Note(line); }

 private:
  RunLog& log_;
  std::map<int, Text> openFiles_;  // file number -> path, to name a failed append
};

}  // namespace kvx

#endif  // KVXCFG_HOST_LOGGING_HOST_H
