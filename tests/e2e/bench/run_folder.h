// What a run of tests/e2e/run-machine.sh left, read back on Linux: the call
// log, the machine's files by their Windows paths, and the state listing.
#ifndef KVX_BENCH_RUN_FOLDER_H
#define KVX_BENCH_RUN_FOLDER_H

#include <string>
#include <vector>

namespace kvx::bench {

// One record of the call log, its fields unescaped. The bench's own records
// (kind "@run", "@box", ...; trace_record.h) carry a time in ms; a double's
// record has the double's name as kind and, as fields, the current folder
// and the command line.
struct Event {
  std::string kind;
  long time = 0;
  std::vector<std::string> fields;

  bool IsDouble() const { return kind.empty() || kind[0] != '@'; }
  const std::string& Field(size_t i) const;  // empty when absent
};

std::string UnescapeLog(const std::string& text);
std::vector<Event> ParseCallLog(const std::string& text);

// One start of the configurator: the records from its start to its exit.
struct ProgramRun {
  std::string commandLine;
  std::string argument;  // the last word of the command line: "1" or "2"
  long started = 0;
  long ended = 0;
  std::string exitCode;   // empty when the exit record is missing
  std::string processes;  // processes started, the configurator included
  std::vector<Event> events;
};
std::vector<ProgramRun> SplitRuns(const std::vector<Event>& events);

// A message box: what the program passed and what the box showed.
struct Box {
  std::string style, caption, text;        // as passed; caption "-" when none
  std::string shownCaption, shownText;     // read from the box's window
  std::string buttons, pressed, returned;  // "6=&Yes 7=&No", "7", "7"
};
std::vector<Box> Boxes(const ProgramRun& run);

class RunFolder {
 public:
  // Reads calls.log and state.txt of the folder; false when the log is
  // missing or empty.
  bool Load(const std::string& folder, std::string* error);

  const std::string& folder() const { return folder_; }
  const std::vector<Event>& events() const { return events_; }
  const std::vector<ProgramRun>& runs() const { return runs_; }
  const ProgramRun* Run(const std::string& argument) const;

  // The Linux path of a path on the machine (GBK, any letter case): drive C:
  // is the prefix's drive_c, another drive X: the folder drives/x. Empty
  // when it names nothing.
  std::string HostPath(const std::string& windowsPath) const;
  bool Exists(const std::string& windowsPath) const;
  bool Read(const std::string& windowsPath, std::string* bytes) const;
  std::string Text(const std::string& windowsPath) const;  // empty when missing
  // Names in a folder of the machine, as GBK.
  std::vector<std::string> List(const std::string& windowsFolder) const;

  // The attributes the machine listed after the run, as the letters of
  // "RHS" that are set ("" for none); "?" when the path was not listed.
  std::string Attributes(const std::string& windowsPath) const;
  // What "reg query" listed of the product's registry key after the run.
  std::string Registry() const;

  // The verdict marker's name in the setup folder ("win_lan", "win_lan1", ...).
  std::string Verdict() const;

  // The machine's TMP as the run set it (GBK), where the configurator keeps
  // its run log; empty when the run folder does not tell.
  const std::string& Temp() const { return temp_; }

 private:
  std::string folder_;
  std::string state_;
  std::string temp_;
  std::vector<Event> events_;
  std::vector<ProgramRun> runs_;
};

// A value of an INI text; sections and keys compare without regard to
// ASCII case. Empty when absent.
std::string IniValue(const std::string& text, const std::string& section, const std::string& key);

// GBK bytes as UTF-8, for a terminal; and back.
std::string Utf8(const std::string& gbk);
std::string Gbk(const std::string& utf8);

}  // namespace kvx::bench

#endif  // KVX_BENCH_RUN_FOLDER_H
