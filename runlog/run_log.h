// The run log: a record of each run of the configurator, kept in the
// temporary folder as kvxcfg.log, for the person installing and for the
// product's support when something did not come out as it should.
//
// RunLog is the host the jobs see. It hands every operation on unchanged to
// the machine's host and records what passes: every command line with how it
// ended and how long it took, batch texts, message boxes and answers, pauses,
// file operations that failed, and the steps' notes (Host::Note). Nothing
// that befalls the log reaches the run: a log that cannot be written is left
// out, silently. The text is GBK, like every text of the program.
#ifndef KVXCFG_RUNLOG_RUN_LOG_H
#define KVXCFG_RUNLOG_RUN_LOG_H

#include <memory>

#include "host/host.h"

namespace kvx {

// The log's file. Every action is total: one that fails changes nothing.
class RunLogFile {
 public:
  virtual ~RunLogFile() = default;
  // Adds to the log, creating it. The run's first text first makes a log
  // grown over 1 MiB the older log, replacing one, so the run starts anew.
  virtual void Append(const Text& text) = 0;
  // Copies the log to a path of the machine, replacing what is there; the
  // system's error code, 0 when the copy was made.
  virtual unsigned long CopyTo(const Text& destination) = 0;
};

// What the machine is, for the head of each run's section.
struct RunFacts {
  Text localTime;      // "2013-01-23 09:30:05"
  Text windows;        // "6.1 build 7601 Service Pack 1"
  Text ansiCodePage;   // "936"
  Text wow64;          // "yes", "no", or why it is not known
  Text programFolder;  // the folder of the executable
};

class RunLog : public Host {
 public:
  // Without a file every record is made and dropped: the machine's host with
  // nothing added.
  RunLog(Host& machine, RunLogFile* file, RunFacts facts)
      : machine_(machine), file_(file), facts_(std::move(facts)) {}

  // Starts the run's section.
  void Open(const Text& version, const Text& argument);
  // Ends it with the exit code and the time taken; with a destination the
  // log is then copied there, and a last line tells how the copy went.
  void Close(int exitCode, const Text& copyDestination);

  // Recorded; of the file operations only a failure.
  void RunCommand(const Text& commandLine) override;
  void Delay(int milliseconds) override;
  void WriteWholeFile(const Text& path, const Bytes& bytes) override;
  using Host::ShowMessage;
  int ShowMessage(const Text& message, int style, const std::optional<Text>& caption) override;
  void Note(const Text& line) override { Entry(Concat({"note: ", line})); }
  int OpenFile(const Text& path, int openMode) override;
  void WriteText(int file, const Text& text) override;
  void DeleteFile(const Text& path) override;
  void CopyFile(const Text& from, const Text& to) override;
  void RenameFile(const Text& from, const Text& to) override;
  void CreateFolder(const Text& path) override;
  void SetAttributes(const Text& path, int attributes) override;
  void WriteIni(const Text& path, const Text& section, const Text& key, const Text& value) override;
  void CreateShortcut(const Text& link, const Text& target, const std::optional<Text>& description,
                      const std::optional<Text>& arguments, const Text& folder) override;

  // Handed on unrecorded.
  std::vector<Text> GetArguments() override { return machine_.GetArguments(); }
  void EndProgram(int exitCode) override { machine_.EndProgram(exitCode); }
  Text ReadText(int file) override { return machine_.ReadText(file); }
  void SeekToEnd(int file) override { machine_.SeekToEnd(file); }
  void SeekToStart(int file) override { machine_.SeekToStart(file); }
  void CloseFile(int file) override { machine_.CloseFile(file); }
  bool FileExists(const Text& path) override { return machine_.FileExists(path); }
  Text ProgramFolder() override { return machine_.ProgramFolder(); }
  Text ShortPath(const Text& path) override { return machine_.ShortPath(path); }
  using Host::ReadIni;
  Text ReadIni(const Text& path, const Text& section, const Text& key,
               const Text& defaultValue) override {
    return machine_.ReadIni(path, section, key, defaultValue);
  }
  using Host::ReadRegistryText;
  Text ReadRegistryText(int root, const Text& path, const Text& defaultValue) override {
    return machine_.ReadRegistryText(root, path, defaultValue);
  }
  Text GetEnv(const Text& name) override { return machine_.GetEnv(name); }
  void QuerySystemInfo(SystemInfoRecord& record) override { machine_.QuerySystemInfo(record); }
  FirmwareAnswers QueryFirmware() override { return machine_.QueryFirmware(); }
  HostOutcome LastOutcome() override { return machine_.LastOutcome(); }

 private:
  // One entry: the seconds since the start, the head, and the lines of the
  // text (split at CR LF) under it, each after "| ".
  void Entry(const Text& head, const Text* text = nullptr);
  // Records a file operation just done when it failed.
  void Failed(const char* operation, const Text& path, const Text& second = Text());
  void Write(const Text& lines);  // keeps whatever befalls the file

  Host& machine_;
  RunLogFile* file_;
  RunFacts facts_;
  Text argument_;  // the job of the open section; empty before
  long long started_ = 0;
  Text lastOpened_;  // names a failed append
};

// On Windows (run_log_windows.cpp): kvxcfg.log in the temporary folder that
// Windows names (GetTempPathW), whatever the scratch files do, its older log
// kvxcfg.old.log, its text stored as UTF-8 with a byte-order mark so that
// Notepad shows the Chinese texts on any Windows, XP included. When Windows
// names no temporary folder, every action does nothing.
std::unique_ptr<RunLogFile> CreateTempFolderLog();
// The machine's facts, read now.
RunFacts GatherRunFacts();
// Appends the line of a fault that ends the run to the log made last, as the
// end of the run's section. It uses the Windows API alone and memory set
// aside beforehand, since it runs after a fault; with no such log it does
// nothing.
void NoteFaultInRunLog(const char* line);

}  // namespace kvx

#endif  // KVXCFG_RUNLOG_RUN_LOG_H
