// The run log: a record of each run of the configurator, kept in the
// temporary folder as kvxcfg.log, for the person installing and for the
// product's support when something did not come out as it should.
//
// RunLog is the host the jobs see: every operation goes on unchanged to the
// machine's host, and the log records what passes: every command line with
// how it ended and how long it took, batch texts, message boxes and answers,
// pauses, file operations that failed, and the steps' notes (Host::Note).
// Nothing that befalls the log reaches the run: a log that cannot be written
// is left out, silently. The text is GBK, like every text of the program;
// the Windows side stores it (run_log_windows.h).
#ifndef KVXCFG_RUNLOG_RUN_LOG_H
#define KVXCFG_RUNLOG_RUN_LOG_H

#include "host/forwarding_host.h"

namespace kvx {

// The log's file, and the older log it becomes when it has grown too large.
// Every action is total: one that fails changes nothing.
class RunLogFile {
 public:
  virtual ~RunLogFile() = default;
  virtual long long Size() = 0;  // -1 when there is no log yet
  // Renames the log to the older log's name, replacing an older log.
  virtual void RollOver() = 0;
  virtual void Append(const Text& text) = 0;  // creates the log
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

class RunLog : public ForwardingHost {
 public:
  // Without a file every record is made and dropped.
  RunLog(Host& machine, RunLogFile* file, RunFacts facts)
      : ForwardingHost(machine), file_(file), facts_(std::move(facts)) {}

  // Starts the run's section, after rolling a log over 1 MiB over.
  void Open(const Text& version, const Text& argument);
  // Ends it with the exit code and the time taken; with a destination the
  // log is then copied there, and a last line tells how the copy went.
  void Close(int exitCode, const Text& copyDestination);

  void RunCommand(const Text& commandLine) override;
  void Delay(int milliseconds) override;
  void WriteWholeFile(const Text& path, const Bytes& bytes) override;
  using Host::ShowMessage;
  int ShowMessage(const Text& message, int style, const std::optional<Text>& caption) override;
  void Note(const Text& line) override { Entry(Concat({"note: ", line})); }

  // Of the other file operations only a failure is recorded.
  int OpenFile(const Text& path, int openMode) override {
    lastOpened_ = path;  // names a failed append
    return machine_.OpenFile(path, openMode);
  }
  void WriteText(int file, const Text& text) override {
    machine_.WriteText(file, text);
    Failed("append to", lastOpened_);
  }
  void DeleteFile(const Text& path) override {
    machine_.DeleteFile(path);
    Failed("delete", path);
  }
  void CopyFile(const Text& from, const Text& to) override {
    machine_.CopyFile(from, to);
    Failed("copy", from, to);
  }
  void RenameFile(const Text& from, const Text& to) override {
    machine_.RenameFile(from, to);
    Failed("rename", from, to);
  }
  void CreateFolder(const Text& path) override {
    machine_.CreateFolder(path);
    Failed("create folder", path);
  }
  void SetAttributes(const Text& path, int attributes) override {
    machine_.SetAttributes(path, attributes);
    Failed(attributes == kAttrNormal ? "make normal" : "make read-only, hidden, system", path);
  }
  void WriteIni(const Text& path, const Text& section, const Text& key,
                const Text& value) override {
    machine_.WriteIni(path, section, key, value);
    Failed("INI write", path, Concat({"[", section, "] ", key, "=", value}));
  }
  void CreateShortcut(const Text& link, const Text& target, const std::optional<Text>& description,
                      const std::optional<Text>& arguments, const Text& folder) override {
    machine_.CreateShortcut(link, target, description, arguments, folder);
    Failed("shortcut", Concat({link, ".LNK"}), target);
  }

 private:
  // One entry: the seconds since the start, the head, and the lines of the
  // text (split at CR LF) under it, each after "| ".
  void Entry(const Text& head, const Text* text = nullptr);
  // Records a file operation just done when it failed.
  void Failed(const char* operation, const Text& path, const Text& second = Text());
  void Write(const Text& lines);  // its callers keep what befalls it with the log

  RunLogFile* file_;
  RunFacts facts_;
  bool open_ = false;
  Text argument_;
  long long started_ = 0;
  Text lastOpened_;
};

}  // namespace kvx

#endif  // KVXCFG_RUNLOG_RUN_LOG_H
