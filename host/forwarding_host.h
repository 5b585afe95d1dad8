// A host that hands every operation on to another host unchanged: the base
// of a host that watches or changes a few operations and leaves the rest to
// the machine's own (the run log, a test's host that goes wrong).
#ifndef KVXCFG_HOST_FORWARDING_HOST_H
#define KVXCFG_HOST_FORWARDING_HOST_H

#include "host/host.h"

namespace kvx {

class ForwardingHost : public Host {
 public:
  explicit ForwardingHost(Host& machine) : machine_(machine) {}

  std::vector<Text> GetArguments() override { return machine_.GetArguments(); }
  // The machine's host ends the run.
  void EndProgram(int exitCode) override { machine_.EndProgram(exitCode); }

  void RunCommand(const Text& commandLine) override { machine_.RunCommand(commandLine); }
  void Delay(int milliseconds) override { machine_.Delay(milliseconds); }

  void WriteWholeFile(const Text& path, const Bytes& bytes) override {
    machine_.WriteWholeFile(path, bytes);
  }
  int OpenFile(const Text& path, int openMode) override {
    return machine_.OpenFile(path, openMode);
  }
  Text ReadText(int fileNumber) override { return machine_.ReadText(fileNumber); }
  void SeekToEnd(int fileNumber) override { machine_.SeekToEnd(fileNumber); }
  void WriteText(int fileNumber, const Text& text) override {
    machine_.WriteText(fileNumber, text);
  }
  void SeekToStart(int fileNumber) override { machine_.SeekToStart(fileNumber); }
  void CloseFile(int fileNumber) override { machine_.CloseFile(fileNumber); }
  bool FileExists(const Text& path) override { return machine_.FileExists(path); }
  void DeleteFile(const Text& path) override { machine_.DeleteFile(path); }
  void CopyFile(const Text& source, const Text& destination) override {
    machine_.CopyFile(source, destination);
  }
  void RenameFile(const Text& oldPath, const Text& newPath) override {
    machine_.RenameFile(oldPath, newPath);
  }
  void CreateFolder(const Text& path) override { machine_.CreateFolder(path); }
  void SetAttributes(const Text& path, int attributes) override {
    machine_.SetAttributes(path, attributes);
  }
  Text ProgramFolder() override { return machine_.ProgramFolder(); }
  Text ShortPath(const Text& path) override { return machine_.ShortPath(path); }

  using Host::ReadIni;
  Text ReadIni(const Text& path, const Text& section, const Text& key,
               const Text& defaultValue) override {
    return machine_.ReadIni(path, section, key, defaultValue);
  }
  void WriteIni(const Text& path, const Text& section, const Text& key,
                const Text& value) override {
    machine_.WriteIni(path, section, key, value);
  }
  using Host::ReadRegistryText;
  Text ReadRegistryText(int root, const Text& path, const Text& defaultValue) override {
    return machine_.ReadRegistryText(root, path, defaultValue);
  }
  Text GetEnv(const Text& name) override { return machine_.GetEnv(name); }

  using Host::ShowMessage;
  int ShowMessage(const Text& message, int style, const std::optional<Text>& caption) override {
    return machine_.ShowMessage(message, style, caption);
  }

  void CreateShortcut(const Text& linkPathNoExt, const Text& target,
                      const std::optional<Text>& description, const std::optional<Text>& arguments,
                      const Text& workingFolder) override {
    machine_.CreateShortcut(linkPathNoExt, target, description, arguments, workingFolder);
  }
  void QuerySystemInfo(SystemInfoRecord& record) override { machine_.QuerySystemInfo(record); }
  FirmwareAnswers QueryFirmware() override { return machine_.QueryFirmware(); }
  void Note(const Text& line) override { machine_.Note(line); }
  HostOutcome LastOutcome() override { return machine_.LastOutcome(); }

 protected:
  Host& machine_;
};

}  // namespace kvx

#endif  // KVXCFG_HOST_FORWARDING_HOST_H
