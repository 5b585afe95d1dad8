// A scripted Windows-like machine for the tests.
//
// It holds drives, folders and files in memory (backslash paths, names
// compared without regard to ASCII case, attributes), environment variables,
// registry values, the answers the user will give to message boxes, and
// command effects: a test says what a command line does to the machine when
// it runs. Every host operation is recorded, in order, in one log.
#ifndef KVXCFG_TESTS_SUPPORT_SCRIPTED_HOST_H
#define KVXCFG_TESTS_SUPPORT_SCRIPTED_HOST_H

#include <deque>
#include <functional>
#include <map>
#include <optional>
#include <string>
#include <vector>

#include "host/host.h"

namespace kvx::testing {

// One recorded host operation.
struct Op {
  Op(std::string opName, Text opPath = Text(), Text opText = Text(), Text opExtra = Text())
      : name(std::move(opName)),
        path(std::move(opPath)),
        text(std::move(opText)),
        extra(std::move(opExtra)) {}

  std::string name;  // the host operation's name, e.g. "RunCommand"
  Text path;         // path, command line, variable or registry path
  Text text;         // second path, bytes written, message, value
  Text extra;        // caption, INI key, ...
  int number = 0;    // style, attributes, mode, file number, milliseconds
  bool hasCaption = false;
};

struct Message {
  Text text;
  int style = 0;
  std::optional<Text> caption;
};

class ScriptedHost : public Host {
 public:
  using Effect = std::function<void(ScriptedHost& machine, const Text& commandLine)>;

  ScriptedHost();

  // --- Setting up the machine (not logged) ---
  void SetArguments(std::vector<Text> arguments) { arguments_ = std::move(arguments); }
  void SetEnv(const Text& name, const Text& value);
  void UnsetEnv(const Text& name);
  void SetRegistry(int root, const Text& path, const Text& value);
  void UnsetRegistry(int root, const Text& path);
  void AddDrive(const Text& drive);  // "C:", creates its root folder
  void PutFolder(const Text& path);  // creates the folder and its parents
  void PutFile(const Text& path, const Text& content, int attributes = 0);  // parents too
  void RemovePath(const Text& path);
  void PutAttributes(const Text& path, int attributes);  // file or folder; nothing when missing
  void SetProgramFolderPath(const Text& path) { programFolder_ = path; }
  void SetCurrentFolder(const Text& path) { currentFolder_ = path; }
  void SetShortForm(const Text& path, const Text& shortForm);
  void SetSystemInfo(const SystemInfoRecord& record) { systemInfo_ = record; }
  void SetFirmware(const FirmwareAnswers& answers) { firmware_ = answers; }
  // Answers for the coming message boxes, in order; without one a box returns 1 (OK).
  void AnswerMessages(const std::vector<int>& answers);

  // Command effects. Every effect whose test matches runs, in the order in
  // which they were registered, when a command line is run.
  void OnCommand(const Text& exactLine, Effect effect);
  void OnCommandPrefix(const Text& prefix, Effect effect);
  void OnCommandWhere(std::function<bool(const Text&)> test, Effect effect);

  // Makes the k-th host operation of the run (1-based) fail: a command does
  // nothing, a change to a file or folder changes nothing, a read gives the
  // empty text or the default.
  void FailOperation(size_t k) { failAt_ = k; }

  // --- Looking at the machine (not logged) ---
  bool Exists(const Text& path) const;
  bool IsFolder(const Text& path) const;
  Text Content(const Text& path) const;  // empty when missing
  int Attributes(const Text& path) const;
  // Every file and folder path as first created, in sorted order of their keys.
  std::vector<Text> Paths() const;
  // The paths of the files and folders right inside a folder, in the same order.
  std::vector<Text> ChildrenOf(const Text& folder) const;
  Text IniValue(const Text& path, const Text& section, const Text& key,
                const Text& defaultValue = Text()) const;
  void SetIniValue(const Text& path, const Text& section, const Text& key, const Text& value);

  // --- The log ---
  const std::vector<Op>& Log() const { return log_; }
  std::vector<Text> Commands() const;  // the RunCommand lines in order
  std::vector<Message> Messages() const;
  // One readable line per operation that acts on the machine or the user
  // (reads and probes left out), for whole-run transcripts.
  std::vector<std::string> Transcript() const;
  bool Ended() const { return ended_; }
  size_t OperationCount() const { return operationCount_; }

  // --- The set-up as given (not logged), for checks that must not count as operations ---
  Text EnvValue(const Text& name) const;  // empty when unset
  const Text& ProgramFolderPath() const { return programFolder_; }
  const Text& CurrentFolderPath() const { return currentFolder_; }
  Text ShortFormOf(const Text& path) const;  // the path itself when it has none

  // --- Host ---
  std::vector<Text> GetArguments() override;
  [[noreturn]] void EndProgram(int exitCode) override;
  void RunCommand(const Text& commandLine) override;
  void Delay(int milliseconds) override;
  void WriteWholeFile(const Text& path, const Bytes& bytes) override;
  int OpenFile(const Text& path, int openMode) override;
  Text ReadText(int fileNumber) override;
  void SeekToEnd(int fileNumber) override;
  void WriteText(int fileNumber, const Text& text) override;
  void SeekToStart(int fileNumber) override;
  void CloseFile(int fileNumber) override;
  bool FileExists(const Text& path) override;
  void DeleteFile(const Text& path) override;
  void CopyFile(const Text& source, const Text& destination) override;
  void RenameFile(const Text& oldPath, const Text& newPath) override;
  void CreateFolder(const Text& path) override;
  void SetAttributes(const Text& path, int attributes) override;
  Text ProgramFolder() override;
  Text ShortPath(const Text& path) override;
  using Host::ReadIni;
  Text ReadIni(const Text& path, const Text& section, const Text& key,
               const Text& defaultValue) override;
  void WriteIni(const Text& path, const Text& section, const Text& key, const Text& value) override;
  using Host::ReadRegistryText;
  Text ReadRegistryText(int root, const Text& path, const Text& defaultValue) override;
  Text GetEnv(const Text& name) override;
  using Host::ShowMessage;
  int ShowMessage(const Text& message, int style, const std::optional<Text>& caption) override;
  void CreateShortcut(const Text& linkPathNoExt, const Text& target,
                      const std::optional<Text>& description, const std::optional<Text>& arguments,
                      const Text& workingFolder) override;
  void QuerySystemInfo(SystemInfoRecord& record) override;
  FirmwareAnswers QueryFirmware() override;

  // Path helpers shared with the effects: the absolute form of a path (current
  // folder and drive applied), and its comparison key (ASCII upper case).
  Text Absolute(const Text& path) const;
  static Text Key(const Text& absolutePath);

 private:
  struct Node {
    Text path;  // as first created
    bool folder = false;
    Text content;
    int attributes = 0;
  };
  struct Handle {
    Text key;
    size_t position = 0;
    bool valid = false;
  };
  struct CommandEffect {
    std::function<bool(const Text&)> test;
    Effect effect;
  };

  // Counts and logs one operation; false when this one is to fail.
  bool Record(Op op);
  bool ParentExists(const Text& absolutePath) const;
  Node* Find(const Text& path);
  const Node* Find(const Text& path) const;

  std::vector<Text> arguments_;
  std::map<Text, Text> env_;  // key: upper-case name
  std::map<Text, Text> envNames_;
  std::map<std::pair<int, Text>, Text> registry_;
  std::map<Text, Node> nodes_;  // key: Key(absolute path)
  std::map<Text, Text> shortForms_;
  std::map<int, Handle> handles_;
  int nextHandle_ = 1;
  Text programFolder_ = "C:\\SETUP";
  Text currentFolder_ = "C:\\SETUP";
  SystemInfoRecord systemInfo_;
  FirmwareAnswers firmware_;  // not known, as on Windows 7 without the privilege
  std::deque<int> answers_;
  std::vector<CommandEffect> effects_;
  std::vector<Op> log_;
  size_t operationCount_ = 0;
  size_t failAt_ = 0;
  bool ended_ = false;
};

}  // namespace kvx::testing

#endif  // KVXCFG_TESTS_SUPPORT_SCRIPTED_HOST_H
