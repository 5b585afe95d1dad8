// The run log: a record of each run of the configurator, kept in the
// temporary folder as kvxcfg.log, for the person installing and for the
// product's support when something did not come out as it should.
//
// RunLog is the host the jobs see when the run is logged: every operation
// goes unchanged to the machine's host, and what passes through is recorded
// on the way: every command line with how it ended and how long it took,
// every batch text, message box and answer, pause, every file operation that
// failed, and the few notes of what the steps found and decided (Host::Note).
// Nothing that happens to the log reaches the run: a log that cannot be
// written is left out, silently. Its text is made here as GBK, like every
// other text of the program; the Windows side stores it (run_log_windows.h).
#ifndef KVXCFG_RUNLOG_RUN_LOG_H
#define KVXCFG_RUNLOG_RUN_LOG_H

#include "host/forwarding_host.h"

namespace kvx {

// The log's file, and the older log it becomes when it has grown too large.
// Every action is total: one that fails changes nothing.
class RunLogFile {
 public:
  virtual ~RunLogFile() = default;
  // Size in bytes; -1 when there is no log yet.
  virtual long long Size() = 0;
  // Renames the log to the older log's name, replacing an older log.
  virtual void RollOver() = 0;
  // Appends the text, creating the log.
  virtual void Append(const Text& text) = 0;
  // Copies the log to a path of the machine, replacing what is there.
  // Returns the system's error code, 0 when the copy was made.
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

class RunLog : public ForwardingHost {
 public:
  // Without a file, every record is made and dropped.
  RunLog(Host& machine, RunLogFile* file, RunFacts facts);

  // Starts the run's section: a log over 1 MiB is first rolled over; then
  // the head with the facts.
  void Open(const Text& version, const Text& argument);
  // Ends the section with the exit code and the time the run took. With a
  // destination, the log is then copied there, and a last line tells how
  // the copy went.
  void Close(int exitCode, const Text& copyDestination);

  void RunCommand(const Text& commandLine) override;
  void Delay(int milliseconds) override;
  void WriteWholeFile(const Text& path, const Bytes& bytes) override;
  int OpenFile(const Text& path, int openMode) override;
  void WriteText(int fileNumber, const Text& text) override;
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
  void Note(const Text& line) override;

 private:
  // One entry: the time since the start, the head, and the lines of the
  // text (split at CR LF) under it, each after "| ".
  void Entry(const Text& head, const Text* text = nullptr);
  // An entry for a file operation just done that failed.
  void Failed(const char* operation, const Text& path, const Text& second = Text());
  // Appends to the file, when there is one; its callers keep whatever
  // befalls it with the log.
  void Write(const Text& lines);

  RunLogFile* file_;
  RunFacts facts_;
  bool open_ = false;
  Text argument_;
  long long started_ = 0;
  Text lastOpened_;  // the path of the file opened last, to name a failed append
};

}  // namespace kvx

#endif  // KVXCFG_RUNLOG_RUN_LOG_H
