// The run log on whole runs of the scripted machines: it holds every step
// that passed through the host, in order, with the findings of the steps;
// nothing that happens to it changes the run; it rolls over at 1 MiB; and
// the boot configuration is kept as it was, once.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <map>
#include <stdexcept>
#include <string>
#include <vector>

#include "entry/program.h"
#include "host/run_log.h"
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
using testing::SimulatedWindows;
using Lines = std::vector<std::string>;

const Text kLog = "kvxcfg.log";
const Text kOldLog = "kvxcfg.old.log";

// The log's folder in memory, with the ways it can go wrong.
class MemoryLogFolder : public RunLogSink {
 public:
  std::map<Text, Text> files;
  std::map<Text, Text> copies;  // destination -> what was copied there
  bool throws = false;          // every action throws
  bool unwritable = false;      // a read-only or missing folder: nothing takes
  bool renameFails = false;
  int renames = 0;

  long long FileSize(const Text& name) override {
    Fail();
    const auto it = files.find(name);
    return it == files.end() ? -1 : static_cast<long long>(it->second.size());
  }
  void Rename(const Text& name, const Text& newName) override {
    Fail();
    ++renames;
    if (unwritable || renameFails || files.count(name) == 0)
      return;
    files[newName] = files[name];
    files.erase(name);
  }
  void Append(const Text& name, const Text& text) override {
    Fail();
    if (!unwritable)
      files[name] += text;
  }
  void CopyTo(const Text& name, const Text& destination) override {
    Fail();
    if (files.count(name) != 0)
      copies[destination] = files[name];
  }
  unsigned long Milliseconds() override {
    Fail();
    return clock_ += 7;
  }

 private:
  void Fail() const {
    if (throws)
      throw std::runtime_error("the log's folder is gone");
  }
  unsigned long clock_ = 5000;
};

// How the scripted machine's operations ended, as the Windows host would tell:
// the k-th command of the run exits with k, the imaging tool does not start,
// and the copy of its status file finds no file.
class ScriptedOutcomes : public HostOutcomes {
 public:
  explicit ScriptedOutcomes(const ScriptedHost& host) : host_(host) {}

  CommandOutcome LastCommand() const override {
    unsigned long commands = 0;
    for (const testing::Op& op : host_.Log())
      commands += op.name == "RunCommand" ? 1 : 0;
    if (host_.Log().back().path.find("ghost32.exe") != Text::npos)
      return {false, 0, 2, Text()};
    return {true, commands, 0, Text()};
  }
  unsigned long LastFileError() const override {
    const testing::Op& op = host_.Log().back();
    return op.name == "CopyFile" && op.path == "GHSTSTAT.TXT" ? 2 : 0;
  }

 private:
  const ScriptedHost& host_;
};

RunFacts Facts() {
  return {"2013-01-23 09:30:05", "6.1 build 7601 Service Pack 1", "936", "yes", "C:\\SETUP"};
}

// A sample machine ready for one run, with the simulation of its commands:
// Windows XP (xp-zh), a 64-bit Windows 7 over an earlier installation
// (win7-stale), and a pre-install run (win7-en).
struct Machine {
  enum Kind { kXp, kWindows7, kPreInstall };
  explicit Machine(Kind kind) : windows(host) {
    const char* name = kind == kXp ? "xp-zh" : kind == kWindows7 ? "win7-stale" : "win7-en";
    testing::LoadSampleMachine(name, kind == kPreInstall ? "1" : "2", host, windows);
  }
  ScriptedHost host;
  SimulatedWindows windows;
};

Lines PlainTranscript(Machine::Kind kind) {
  Machine machine(kind);
  EXPECT_EQ(RunProgram(machine.host), 0);
  return machine.host.Transcript();
}

using Entry = testing::LogEntry;
using testing::JoinLines;
using testing::SplitAtLineBreaks;

// The entries of the log's one section.
std::vector<Entry> Entries(const Text& log) {
  const std::vector<testing::LogSection> sections = testing::ReadLogSections(log);
  EXPECT_EQ(sections.size(), 1u);
  return sections.empty() ? std::vector<Entry>() : sections[0].entries;
}

// What passed through the host, as the log must tell it: commands (a head
// that runs on under it), batch texts, message boxes, pauses, in order.
Lines Steps(const std::vector<Entry>& entries) {
  Lines steps;
  for (const Entry& entry : entries) {
    const Text& head = entry.head;
    if (head.compare(0, 4, "run ") == 0) {
      Lines lines = {head.substr(4)};
      lines.insert(lines.end(), entry.under.begin(), entry.under.end());
      steps.push_back("run " + JoinLines(lines));
    } else if (head.compare(0, 6, "write ") == 0) {
      steps.push_back("write " + head.substr(6, head.size() - 7) + " " + JoinLines(entry.under));
    } else if (head.compare(0, 12, "message box,") == 0) {
      steps.push_back(head + " " + JoinLines(entry.under));
    } else if (head.compare(0, 9, "  answer ") == 0 || head.compare(0, 6, "pause ") == 0) {
      steps.push_back(head);
    }
  }
  return steps;
}

Lines Steps(const ScriptedHost& host) {
  Lines steps;
  for (const testing::Op& op : host.Log()) {
    if (op.name == "RunCommand") {
      steps.push_back("run " + op.path);
    } else if (op.name == "WriteWholeFile") {
      steps.push_back("write " + op.path + " " + op.text);
    } else if (op.name == "ShowMessage") {
      char style[8];
      std::snprintf(style, sizeof style, "0x%02X", op.number);
      steps.push_back("message box, style " + std::string(style) + ", " +
                      (op.hasCaption ? "caption \"" + op.extra + "\"" : "no caption of its own") +
                      ": " + op.text);
      steps.push_back("  answer 1 (OK)");
    } else if (op.name == "Delay") {
      steps.push_back("pause " + std::to_string(op.number) + " ms");
    }
  }
  return steps;
}

// The store as bcdedit /export writes it: without the machine's switches.
Text Exported(bench::BcdStore store) {
  store.refuseCreate = false;
  store.createAnswer.clear();
  return bench::FormatBcdStore(store);
}

bool Holds(const std::vector<Entry>& entries, const Text& head) {
  for (const Entry& entry : entries) {
    if (entry.head == head)
      return true;
  }
  return false;
}

TEST(RunLog, HoldsEveryStepOfTheRunInOrderAndLeavesTheRunAsItWas) {
  for (const Machine::Kind kind : {Machine::kXp, Machine::kWindows7}) {
    SCOPED_TRACE(kind == Machine::kXp ? "XP" : "Windows 7");
    Machine machine(kind);
    const Text created = bench::CreatedId(machine.windows.Store().next);
    MemoryLogFolder folder;
    const ScriptedOutcomes outcomes(machine.host);
    RunLog log(folder, Facts(), &outcomes);
    EXPECT_EQ(RunProgram(machine.host, &log), 0);
    EXPECT_EQ(machine.host.Transcript(), PlainTranscript(kind));

    const Text& text = folder.files[kLog];
    const std::vector<Entry> entries = Entries(text);
    EXPECT_EQ(text.substr(0, text.find("\r\n")),
              "======== kvxcfg 2013.01.23, job \"2\", 2013-01-23 09:30:05 ========");
    EXPECT_NE(text.find("\r\nWindows 6.1 build 7601 Service Pack 1; ANSI code page 936; WOW64: yes"
                        "\r\nprogram folder: C:\\SETUP\r\n"),
              Text::npos);
    EXPECT_EQ(Steps(entries), Steps(machine.host));
    // Each command's exit code right after it: the k-th exits with k.
    int commands = 0;
    for (size_t i = 0; i < entries.size(); ++i) {
      if (entries[i].head.compare(0, 4, "run ") != 0)
        continue;
      ++commands;
      ASSERT_LT(i + 1, entries.size());
      const Text& next = entries[i + 1].head;
      if (entries[i].head.find("ghost32.exe") != Text::npos) {
        EXPECT_EQ(next, "  did not start: error 2 (file not found)");
      } else {
        EXPECT_TRUE(StartsWith(next, "  exit code " + std::to_string(commands) + " after "))
            << next;
      }
    }
    EXPECT_TRUE(Holds(entries,
                      "failed: copy GHSTSTAT.TXT -> c:\\vesk\\korv\\GHSTSTAT.TXT: error 2 "
                      "(file not found)"));
    // The findings of the steps.
    const Text family = kind == Machine::kXp ? "nt" : "vt";
    EXPECT_TRUE(Holds(entries, "note: survey: Windows family \"" + family +
                                   "\", system drive C:, boot disk 0, active drive C:"));
    if (kind == Machine::kXp) {
      EXPECT_TRUE(Holds(entries, "note: target partition 5, drive D:"));
      EXPECT_TRUE(Holds(entries,
                        "note: TMP \"C:\\Documents and Settings\\Administrator\\Local "
                        "Settings\\Temp\" holds a blank: the scratch files go to "
                        "C:\\DOCU~CNJ\\ADMI~GZ1\\LOCA~ZN4\\Temp"));
      EXPECT_TRUE(Holds(entries,
                        "note: boot.ini as it was before the product: copied to "
                        "c:\\vesk\\korv\\boot.ini.before"));
    } else {
      EXPECT_TRUE(Holds(entries, "note: target partition 2, drive D:"));
      EXPECT_TRUE(Holds(entries, "note: entry identifier read back: \"" + created + "\""));
      EXPECT_TRUE(Holds(entries,
                        "note: the store as it was before the product: exported to "
                        "c:\\vesk\\korv\\BCD.before"));
    }
    // Closed after the last step, and copied whole into the product folder.
    const Lines lines = SplitAtLineBreaks(text);
    ASSERT_GE(lines.size(), 3u);
    EXPECT_TRUE(
        StartsWith(lines[lines.size() - 3], "======== end of job \"2\": exit code 0 after "));
    EXPECT_TRUE(EndsWith(lines[lines.size() - 3],
                         " s; a copy of the log goes to c:\\vesk\\korv\\kvxcfg.log ========"));
    EXPECT_EQ(lines.back(), "");
    EXPECT_EQ(folder.copies, (std::map<Text, Text>{{"c:\\vesk\\korv\\kvxcfg.log", text}}));
  }
}

// A log that throws, cannot be written at all, or cannot be renamed: the run
// is the same, command for command, as one without a log.
TEST(RunLog, ALogThatFailsLeavesTheRunAsItWas) {
  enum Fault { kThrows, kUnwritable, kRenameFails };
  for (const Machine::Kind kind : {Machine::kXp, Machine::kWindows7, Machine::kPreInstall}) {
    const Lines plain = PlainTranscript(kind);
    for (const Fault fault : {kThrows, kUnwritable, kRenameFails}) {
      SCOPED_TRACE(std::to_string(kind) + " " + std::to_string(fault));
      Machine machine(kind);
      MemoryLogFolder folder;
      folder.files[kLog] = Text(kRunLogRollOverSize + 1, 'x');
      folder.throws = fault == kThrows;
      folder.unwritable = fault == kUnwritable;
      folder.renameFails = fault == kRenameFails;
      const ScriptedOutcomes outcomes(machine.host);
      RunLog log(folder, Facts(), &outcomes);
      EXPECT_EQ(RunProgram(machine.host, &log), 0);
      EXPECT_EQ(machine.host.Transcript(), plain);
      EXPECT_EQ(testing::EndCount(machine.host), 1);
      if (fault == kRenameFails) {
        // The log goes on at the end of the old one.
        EXPECT_EQ(folder.renames, 1);
        EXPECT_GT(folder.files[kLog].size(), static_cast<size_t>(kRunLogRollOverSize + 1));
      } else {
        EXPECT_EQ(folder.files[kLog], Text(kRunLogRollOverSize + 1, 'x'));
      }
    }
  }
}

// A log over 1 MiB becomes kvxcfg.old.log, replacing an older one, and the
// run starts a new log; one of exactly 1 MiB is appended to.
TEST(RunLog, RollsOverOnlyALogOverOneMebibyte) {
  for (const long long size : {kRunLogRollOverSize, kRunLogRollOverSize + 1}) {
    Machine machine(Machine::kPreInstall);
    MemoryLogFolder folder;
    folder.files[kLog] = Text(static_cast<size_t>(size), 'x');
    folder.files[kOldLog] = "an older log";
    RunLog log(folder, Facts(), nullptr);
    EXPECT_EQ(RunProgram(machine.host, &log), 0);

    const Text head = "======== kvxcfg 2013.01.23, job \"1\", 2013-01-23 09:30:05 ========\r\n";
    const Text& now = folder.files[kLog];
    if (size > kRunLogRollOverSize) {
      EXPECT_EQ(folder.files[kOldLog], Text(static_cast<size_t>(size), 'x'));
      EXPECT_TRUE(StartsWith(now, head));
    } else {
      EXPECT_EQ(folder.files[kOldLog], "an older log");
      EXPECT_EQ(now.substr(0, static_cast<size_t>(size)), Text(static_cast<size_t>(size), 'x'));
      EXPECT_EQ(now.substr(static_cast<size_t>(size), head.size()), head);
    }
    // The pre-install run's verdict, and the end of its section.
    EXPECT_NE(now.find("  note: verdict: the marker keeps its name win_lan\r\n"), Text::npos);
    EXPECT_TRUE(EndsWith(now, "s ========\r\n\r\n"));
    EXPECT_NE(now.find("======== end of job \"1\": exit code 0 after "), Text::npos);
    EXPECT_TRUE(folder.copies.empty());
  }
}

// The boot configuration as it was before the first run, kept by that run
// before its first change, and kept unchanged by the next run.
TEST(SavedBootConfiguration, IsTakenOnceBeforeTheFirstChange) {
  {
    SCOPED_TRACE("Windows 7: the store");
    Machine machine(Machine::kWindows7);
    const Text before = Exported(machine.windows.Store());
    EXPECT_EQ(RunProgram(machine.host), 0);
    const Text saved = machine.host.Content("c:\\vesk\\korv\\BCD.before");
    EXPECT_EQ(saved, before);
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
    EXPECT_EQ(RunProgram(machine.host), 0);
    EXPECT_EQ(std::count(runs.begin(), runs.end(), "/export c:\\vesk\\korv\\BCD.before"), 0);
    EXPECT_EQ(machine.host.Content("c:\\vesk\\korv\\BCD.before"), saved);
    EXPECT_NE(Exported(machine.windows.Store()), saved);
    // Put back as the README says, the store is the one from before.
    machine.windows.RunSetupLine("bcdedit /import c:\\vesk\\korv\\BCD.before");
    EXPECT_EQ(Exported(machine.windows.Store()), before);
  }
  {
    SCOPED_TRACE("XP: boot.ini");
    Machine machine(Machine::kXp);
    const Text before = machine.host.Content("C:\\boot.ini");
    EXPECT_EQ(RunProgram(machine.host), 0);
    EXPECT_EQ(machine.host.Content("c:\\vesk\\korv\\boot.ini.before"), before);
    EXPECT_EQ(machine.host.Attributes("c:\\vesk\\korv\\boot.ini.before"), 0);
    // Copied before anything touched boot.ini.
    const Lines transcript = machine.host.Transcript();
    const auto copy = std::find(transcript.begin(), transcript.end(),
                                "copy C:\\boot.ini c:\\vesk\\korv\\boot.ini.before");
    ASSERT_NE(copy, transcript.end());
    for (auto it = transcript.begin(); it != copy; ++it)
      EXPECT_EQ(it->find("boot.ini"), Text::npos) << *it;

    const size_t steps = transcript.size();
    EXPECT_EQ(RunProgram(machine.host), 0);
    const Lines whole = machine.host.Transcript();
    const Lines again(whole.begin() + static_cast<long>(steps), whole.end());
    for (const std::string& step : again)
      EXPECT_EQ(step.find("boot.ini.before"), Text::npos) << step;
    EXPECT_EQ(machine.host.Content("c:\\vesk\\korv\\boot.ini.before"), before);
    EXPECT_NE(machine.host.Content("C:\\boot.ini"), before);
  }
}

}  // namespace
}  // namespace kvx
