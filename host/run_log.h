// The run log: a record of each run of the configurator, kept in the
// temporary folder as kvxcfg.log, for the person installing and for the
// product's support when something did not come out as it should.
//
// The log stays out of the steps' way. The host records what passes through
// it (LoggingHost, logging_host.h): every command line with its exit code
// and duration, every batch text, message box and answer, pause, and every
// file operation that did not succeed. The steps add only a few lines of
// what they found and decided (Host::Note). Nothing that happens to the log
// reaches the run: a log that cannot be written is left out, silently.
//
// The text is formatted here, as GBK like every other text of the program;
// the Windows side stores it as UTF-8 (run_log_windows.h).
#ifndef KVXCFG_HOST_RUN_LOG_H
#define KVXCFG_HOST_RUN_LOG_H

#include <optional>

#include "host/text.h"

namespace kvx {

// The log's file, the one it is renamed to when it has grown too large, and
// that size.
extern const char kRunLogName[];     // "kvxcfg.log"
extern const char kOldRunLogName[];  // "kvxcfg.old.log"
constexpr long long kRunLogRollOverSize = 1024 * 1024;

// The few file actions the log needs in the folder that holds it. Every
// action is total: one that fails changes nothing and tells nothing.
class RunLogSink {
 public:
  virtual ~RunLogSink() = default;
  // Size in bytes of the named file of the folder; -1 when there is none.
  virtual long long FileSize(const Text& name) = 0;
  // Renames a file of the folder, replacing a file of the new name.
  virtual void Rename(const Text& name, const Text& newName) = 0;
  // Appends the text to the named file of the folder, creating it.
  virtual void Append(const Text& name, const Text& text) = 0;
  // Copies the named file of the folder to a path of the machine, replacing
  // what is there.
  virtual void CopyTo(const Text& name, const Text& destination) = 0;
  // A clock in milliseconds, read for differences only.
  virtual unsigned long Milliseconds() = 0;
};

// What the machine is, for the head of each run's section.
struct RunFacts {
  Text localTime;      // "2013-01-23 09:30:05"
  Text windows;        // "6.1 build 7601 Service Pack 1"
  Text ansiCodePage;   // "936"
  Text wow64;          // "yes", "no", or why it is not known
  Text programFolder;  // the folder of the executable
};

// How the last command ended.
struct CommandOutcome {
  bool started = false;
  unsigned long exitCode = 0;  // when it started
  unsigned long error = 0;     // when it did not: the system's error code
  Text startedAs;              // the line as the system got it, when the host changed it
};

// What the machine said about the host's last operation. Only the log asks;
// the steps never see it.
class HostOutcomes {
 public:
  virtual ~HostOutcomes() = default;
  virtual CommandOutcome LastCommand() const = 0;
  // The system's error code of the last file operation; 0 when it succeeded.
  virtual unsigned long LastFileError() const = 0;
};

class RunLog {
 public:
  // A log that goes nowhere: every record is made and dropped.
  RunLog() = default;
  // outcomes may be null: exit codes and failures are then not known.
  RunLog(RunLogSink& sink, RunFacts facts, const HostOutcomes* outcomes);

  // Starts the run's section: a log already over kRunLogRollOverSize is
  // first renamed to kOldRunLogName; then the head with the facts.
  void Open(const Text& version, const Text& argument);
  // Ends the run's section with the exit code and the time the run took.
  // With a destination, the whole log is then copied there.
  void Close(int exitCode, const Text& copyDestination);

  // What passed through the host.
  void CommandStarting(const Text& commandLine);
  void CommandEnded();
  void BatchWritten(const Text& path, const Text& text);
  void MessageShowing(const Text& message, int style, const std::optional<Text>& caption);
  void MessageAnswered(int button);
  void Pause(int milliseconds);
  // A file operation just done ("copy", "delete", ...) and its paths; only a
  // failure is recorded.
  void FileOperationDone(const char* operation, const Text& path, const Text& second = Text());

  // A finding or decision of a step.
  void Note(const Text& line);

 private:
  // Appends one entry: the time since the start, the head, and the text's
  // lines (split at CR LF), each on a line of its own after "| ".
  void Entry(const Text& head, const Text* block = nullptr);
  void Write(const Text& lines);
  unsigned long Now();

  RunLogSink* sink_ = nullptr;
  RunFacts facts_;
  const HostOutcomes* outcomes_ = nullptr;
  bool open_ = false;
  Text argument_;
  unsigned long started_ = 0;
  unsigned long commandStarted_ = 0;
};

}  // namespace kvx

#endif  // KVXCFG_HOST_RUN_LOG_H
