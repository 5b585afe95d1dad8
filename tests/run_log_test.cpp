// The run log on whole runs of the scripted machines: it holds every step
// that passed through the host, in order, with how it ended and the findings
// of the steps; nothing that happens to it changes the run; its copy's line
// follows the copy; and the boot configuration is kept as it was, once, with
// a note of what really happened.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <map>
#include <stdexcept>
#include <string>
#include <vector>

#include "entry/program.h"
#include "tests/support/expected_blocks.h"
#include "tests/support/run_log_reader.h"
#include "tests/support/sample_machines.h"
#include "tests/support/simulated_windows.h"
#include "tests/tools/text.h"

namespace kvx {
namespace {

using bench::EndsWith;
using bench::StartsWith;
using testing::ScriptedHost;
using Entry = testing::LogEntry;
using Lines = std::vector<std::string>;

// The log's file in memory, with the ways it can go wrong.
struct MemoryLog : RunLogFile {
  Text log;
  std::map<Text, Text> copies;  // destination -> what was copied there
  bool throws = false;          // every action throws
  bool unwritable = false;      // a read-only or missing folder: nothing takes
  unsigned long copyError = 0;

  void Append(const Text& text) override {
    Fail();
    log += unwritable ? Text() : text;
  }
  unsigned long CopyTo(const Text& destination) override {
    Fail();
    if (copyError == 0)
      copies[destination] = log;
    return copyError;
  }
  void Fail() const {
    if (throws)
      throw std::runtime_error("the log's folder is gone");
  }
};

// The scripted machine, telling how its operations ended as the Windows host
// tells: the k-th command of the run exits with k, the imaging tool does not
// start, and the copy of its status file finds no file.
class OutcomeHost : public ScriptedHost {
 public:
  HostOutcome LastOutcome() override {
    const testing::Op& op = Log().back();
    if (op.name == "RunCommand" && op.path.find("ghost32.exe") != Text::npos)
      return {true, false, 2, Text()};
    if (op.name == "RunCommand")
      return {true, true, Commands().size(), Text()};
    return {true, true, op.name == "CopyFile" && op.path == "GHSTSTAT.TXT" ? 2ul : 0ul, Text()};
  }
};

const RunFacts kFacts = {"2013-01-23 09:30:05", "6.1 build 7601 Service Pack 1", "936", "yes",
                         "C:\\SETUP"};

// A sample machine ready for one run, with the simulation of its commands:
// Windows XP (xp-zh), a 64-bit Windows 7 over an earlier installation
// (win7-stale), and a pre-install run (win7-en).
struct Machine {
  enum Kind { kXp, kWindows7, kPreInstall };
  explicit Machine(Kind kind) : windows(host) {
    const char* name = kind == kXp ? "xp-zh" : kind == kWindows7 ? "win7-stale" : "win7-en";
    testing::LoadSampleMachine(name, kind == kPreInstall ? "1" : "2", host, windows);
  }
  OutcomeHost host;
  testing::SimulatedWindows windows;
};

Lines PlainTranscript(Machine::Kind kind) {
  Machine machine(kind);
  EXPECT_EQ(RunProgram(machine.host), 0);
  return machine.host.Transcript();
}

// What passed through the host, as the log must tell it (LoggedSteps): the
// commands, each with how it ended, batch texts, boxes with their answers,
// pauses, in order.
Lines Steps(const ScriptedHost& host) {
  Lines steps;
  int commands = 0;
  for (const testing::Op& op : host.Log()) {
    char style[8];
    std::snprintf(style, sizeof style, "0x%02X", op.number);
    if (op.name == "RunCommand") {
      ++commands;
      steps.push_back("run " + op.path);
      steps.push_back(op.path.find("ghost32.exe") != Text::npos
                          ? "not started 2"
                          : "exit " + std::to_string(commands));
    } else if (op.name == "ShowMessage") {
      steps.push_back("box " + std::string(style) + " " + (op.hasCaption ? op.extra : "-") + " " +
                      op.text);
      steps.push_back("answer 1");
    } else if (op.name == "Delay") {
      steps.push_back("pause " + std::to_string(op.number));
    } else if (op.name == "WriteWholeFile") {
      steps.push_back("write " + op.path + " " + op.text);
    }
  }
  return steps;
}

bool Holds(const std::vector<Entry>& entries, const Text& head) {
  return std::any_of(entries.begin(), entries.end(),
                     [&](const Entry& entry) { return entry.head == head; });
}

TEST(RunLog, HoldsEveryStepOfTheRunInOrderAndLeavesTheRunAsItWas) {
  for (const Machine::Kind kind : {Machine::kXp, Machine::kWindows7}) {
    SCOPED_TRACE(kind == Machine::kXp ? "XP, the copy fails" : "Windows 7");
    Machine machine(kind);
    const Text created = bench::CreatedId(machine.windows.Store().next);
    MemoryLog file;
    file.copyError = kind == Machine::kXp ? 5 : 0;
    EXPECT_EQ(RunProgram(machine.host, &file, kFacts), 0);
    EXPECT_EQ(machine.host.Transcript(), PlainTranscript(kind));

    const Text& text = file.log;
    const std::vector<testing::LogSection> sections = testing::ReadLogSections(text);
    ASSERT_EQ(sections.size(), 1u);
    const std::vector<Entry>& entries = sections[0].entries;
    EXPECT_EQ(sections[0].head,
              (Lines{"======== kvxcfg 2013.01.23, job \"2\", 2013-01-23 09:30:05 ========",
                     "Windows 6.1 build 7601 Service Pack 1; ANSI code page 936; WOW64: yes",
                     "program folder: C:\\SETUP", "times in seconds since the start"}));
    EXPECT_EQ(testing::LoggedSteps(sections[0]), Steps(machine.host));
    EXPECT_TRUE(Holds(entries, "  did not start: error 2 (file not found)"));
    EXPECT_TRUE(Holds(entries,
                      "failed: copy GHSTSTAT.TXT -> c:\\vesk\\korv\\GHSTSTAT.TXT: error 2 "
                      "(file not found)"));
    // The findings of the steps; the saved boot configuration's below.
    const Text family = kind == Machine::kXp ? "nt" : "vt";
    EXPECT_TRUE(Holds(entries, "note: survey: Windows family \"" + family +
                                   "\", system drive C:, boot disk 0, active drive C:"));
    if (kind == Machine::kXp) {
      EXPECT_TRUE(Holds(entries, "note: target partition 5, drive D:"));
      EXPECT_TRUE(Holds(entries,
                        "note: TMP \"C:\\Documents and Settings\\Administrator\\Local "
                        "Settings\\Temp\" holds a blank: the scratch files go to "
                        "C:\\DOCU~CNJ\\ADMI~GZ1\\LOCA~ZN4\\Temp"));
    } else {
      EXPECT_TRUE(Holds(entries, "note: target partition 2, drive D:"));
      EXPECT_TRUE(Holds(entries, "note: entry identifier read back: \"" + created + "\""));
    }
    // Closed after the last step; then copied whole into the product folder,
    // and the copy's outcome after it.
    const Text closing = "======== end of job \"2\": exit code 0 after ";
    const Text copy = kind == Machine::kXp
                          ? "======== the log up to here could not be copied to "
                            "c:\\vesk\\korv\\kvxcfg.log: error 5 (access denied) ========"
                          : "======== the log up to here is copied to "
                            "c:\\vesk\\korv\\kvxcfg.log ========";
    ASSERT_EQ(sections[0].closing.size(), 2u);
    EXPECT_TRUE(StartsWith(sections[0].closing[0], closing));
    EXPECT_TRUE(EndsWith(sections[0].closing[0], " s ========"));
    EXPECT_TRUE(EndsWith(text, "========\r\n" + copy + "\r\n\r\n"));
    const Text copied = text.substr(0, text.size() - copy.size() - 4);
    EXPECT_EQ(file.copies, (kind == Machine::kXp
                                ? std::map<Text, Text>()
                                : std::map<Text, Text>{{"c:\\vesk\\korv\\kvxcfg.log", copied}}));
  }
}

// A log that throws or cannot be written at all: the run is the same,
// command for command, as one without a log, or with a log that takes all.
// The pre-install run's section: its head, verdict and end; no copy.
TEST(RunLog, ALogThatFailsLeavesTheRunAsItWas) {
  enum Fault { kNone, kThrows, kUnwritable };
  const Text earlier = "an earlier run's log\r\n";
  for (const Machine::Kind kind : {Machine::kXp, Machine::kWindows7, Machine::kPreInstall}) {
    const Lines plain = PlainTranscript(kind);
    for (const Fault fault : {kNone, kThrows, kUnwritable}) {
      SCOPED_TRACE(std::to_string(kind) + " " + std::to_string(fault));
      Machine machine(kind);
      MemoryLog file;
      file.log = earlier;
      file.throws = fault == kThrows;
      file.unwritable = fault == kUnwritable;
      EXPECT_EQ(RunProgram(machine.host, &file, kFacts), 0);
      EXPECT_EQ(machine.host.Transcript(), plain);
      EXPECT_EQ(testing::EndCount(machine.host), 1);
      EXPECT_EQ(file.log == earlier, fault != kNone);
      if (fault == kNone && kind == Machine::kPreInstall) {
        const Text& now = file.log;
        EXPECT_TRUE(StartsWith(now, earlier + "======== kvxcfg 2013.01.23, job \"1\", "
                                              "2013-01-23 09:30:05 ========\r\n"));
        EXPECT_NE(now.find("  note: verdict: the marker keeps its name win_lan\r\n"), Text::npos);
        EXPECT_NE(now.find("======== end of job \"1\": exit code 0 after "), Text::npos);
        EXPECT_TRUE(EndsWith(now, " s ========\r\n\r\n"));
        EXPECT_TRUE(file.copies.empty());
      }
    }
  }
}

// The store as bcdedit /export writes it: without the machine's switches.
Text Exported(bench::BcdStore store) {
  store.refuseCreate = false;
  store.createAnswer.clear();
  return bench::FormatBcdStore(store);
}

// The notes of the run's section that begin with the text.
Lines NotesOf(const MemoryLog& file, const Text& begin) {
  Lines notes;
  const std::vector<testing::LogSection> sections = testing::ReadLogSections(file.log);
  for (const Entry& entry : sections.empty() ? std::vector<Entry>() : sections.back().entries) {
    if (StartsWith(entry.head, "note: " + begin))
      notes.push_back(entry.head.substr(6));
  }
  return notes;
}

// The boot configuration as it was before the first run, kept by that run
// before its first change, and kept unchanged by the next run. The log says
// what happened, after it happened.
TEST(SavedBootConfiguration, IsTakenOnceBeforeTheFirstChange) {
  const Text kStore = "the store as it was before the product: ";
  const Text kBootIni = "boot.ini as it was before the product: ";
  {
    SCOPED_TRACE("Windows 7: the store");
    Machine machine(Machine::kWindows7);
    const Text before = Exported(machine.windows.Store());
    MemoryLog file;
    EXPECT_EQ(RunProgram(machine.host, &file, kFacts), 0);
    const Text saved = machine.host.Content("c:\\vesk\\korv\\BCD.before");
    EXPECT_EQ(saved, before);
    EXPECT_EQ(NotesOf(file, kStore), Lines{kStore + "exported to c:\\vesk\\korv\\BCD.before"});
    // After bcdedit became reachable (the copies into syswow64), before the timeout.
    const Lines& runs = machine.windows.bcdeditRuns;
    const auto exported = std::find(runs.begin(), runs.end(), "/export c:\\vesk\\korv\\BCD.before");
    ASSERT_NE(exported, runs.end());
    EXPECT_EQ(std::count(runs.begin(), runs.end(), "/export c:\\vesk\\korv\\BCD.before"), 1);
    ASSERT_NE(exported + 1, runs.end());
    EXPECT_EQ(*(exported + 1), "/timeout 5");
    EXPECT_TRUE(std::find(runs.begin(), exported, "/import C:\\boot\\bcd") != exported);

    // The next installation: the store now holds the product's entry; the
    // copy stays as it was.
    machine.windows.bcdeditRuns.clear();
    EXPECT_EQ(RunProgram(machine.host, &file, kFacts), 0);
    EXPECT_EQ(std::count(runs.begin(), runs.end(), "/export c:\\vesk\\korv\\BCD.before"), 0);
    EXPECT_EQ(NotesOf(file, kStore), Lines{kStore + "kept in c:\\vesk\\korv\\BCD.before"});
    EXPECT_EQ(machine.host.Content("c:\\vesk\\korv\\BCD.before"), saved);
    EXPECT_NE(Exported(machine.windows.Store()), saved);
    // Put back as the README says, the store is the one from before.
    machine.windows.RunSetupLine("bcdedit /import c:\\vesk\\korv\\BCD.before");
    EXPECT_EQ(Exported(machine.windows.Store()), before);
  }
  {
    SCOPED_TRACE("Windows 7: the export leaves no file");
    Machine machine(Machine::kWindows7);
    machine.host.OnCommandWhere(
        [&](const Text& line) { return machine.host.Content(line).find("/export") != Text::npos; },
        [](ScriptedHost& host, const Text&) { host.RemovePath("c:\\vesk\\korv\\BCD.before"); });
    MemoryLog file;
    EXPECT_EQ(RunProgram(machine.host, &file, kFacts), 0);
    EXPECT_FALSE(machine.host.Exists("c:\\vesk\\korv\\BCD.before"));
    EXPECT_EQ(NotesOf(file, kStore),
              Lines{kStore + "export failed, no copy kept in c:\\vesk\\korv\\BCD.before"});
  }
  {
    SCOPED_TRACE("XP: boot.ini");
    Machine machine(Machine::kXp);
    const Text before = machine.host.Content("C:\\boot.ini");
    MemoryLog file;
    EXPECT_EQ(RunProgram(machine.host, &file, kFacts), 0);
    EXPECT_EQ(machine.host.Content("c:\\vesk\\korv\\boot.ini.before"), before);
    EXPECT_EQ(machine.host.Attributes("c:\\vesk\\korv\\boot.ini.before"), 0);
    EXPECT_EQ(NotesOf(file, kBootIni),
              Lines{kBootIni + "copied to c:\\vesk\\korv\\boot.ini.before"});
    // Copied before anything touched boot.ini.
    const Lines transcript = machine.host.Transcript();
    const auto copy = std::find(transcript.begin(), transcript.end(),
                                "copy C:\\boot.ini c:\\vesk\\korv\\boot.ini.before");
    ASSERT_NE(copy, transcript.end());
    for (auto it = transcript.begin(); it != copy; ++it)
      EXPECT_EQ(it->find("boot.ini"), Text::npos) << *it;

    const size_t steps = transcript.size();
    EXPECT_EQ(RunProgram(machine.host, &file, kFacts), 0);
    EXPECT_EQ(NotesOf(file, kBootIni), Lines{kBootIni + "kept in c:\\vesk\\korv\\boot.ini.before"});
    const Lines whole = machine.host.Transcript();
    const Lines again(whole.begin() + static_cast<long>(steps), whole.end());
    for (const std::string& step : again)
      EXPECT_EQ(step.find("boot.ini.before"), Text::npos) << step;
    EXPECT_EQ(machine.host.Content("c:\\vesk\\korv\\boot.ini.before"), before);
    EXPECT_NE(machine.host.Content("C:\\boot.ini"), before);

    // A copy that fails leaves no file and says so.
    Machine failing(Machine::kXp);
    const auto& log = machine.host.Log();
    const auto copying = std::find_if(log.begin(), log.end(), [](const testing::Op& op) {
      return op.name == "CopyFile" && op.path == "C:\\boot.ini";
    });
    ASSERT_NE(copying, log.end());
    failing.host.FailOperation(static_cast<size_t>(copying - log.begin()) + 1);
    MemoryLog failed;
    EXPECT_EQ(RunProgram(failing.host, &failed, kFacts), 0);
    EXPECT_FALSE(failing.host.Exists("c:\\vesk\\korv\\boot.ini.before"));
    EXPECT_EQ(NotesOf(failed, kBootIni),
              Lines{kBootIni + "copy failed, no copy kept in c:\\vesk\\korv\\boot.ini.before"});
  }
}

}  // namespace
}  // namespace kvx
