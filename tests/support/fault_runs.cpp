#include "tests/support/fault_runs.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <map>
#include <set>

#include "entry/program.h"
#include "tests/support/expected_blocks.h"
#include "tests/support/sample_machines.h"
#include "tests/tools/text.h"

namespace kvx::testing {
namespace {

using bench::EndsWith;
using bench::StartsWith;

// Position of the last backslash that is a character of its own.
size_t LastSeparator(const Text& path) {
  const std::vector<bool> trail = bench::TrailBytes(path);
  for (size_t i = path.size(); i-- > 0;) {
    if (path[i] == '\\' && !trail[i])
      return i;
  }
  return Text::npos;
}

Text ParentOf(const Text& key) {
  const size_t slash = LastSeparator(key);
  return slash == Text::npos ? Text() : key.substr(0, slash);
}

Text NameOf(const Text& key) {
  return key.substr(LastSeparator(key) + 1);
}

// key is folder itself or lies somewhere below it.
bool Within(const Text& key, const Text& folder) {
  return key == folder ||
         (StartsWith(key, folder) && key.size() > folder.size() && key[folder.size()] == '\\');
}

// The drive at the start of a key: a letter and a colon, or one of the marks
// of a partition without a letter ("8:", and "Log:" or "Pri:" as the survey
// tool lists it). Empty when the key starts with none of them.
Text DriveOf(const Text& key) {
  if (key.size() >= 2 && ((key[0] >= 'A' && key[0] <= 'Z') || key[0] == '8') && key[1] == ':')
    return key.substr(0, 2);
  for (const Text mark : {"LOG:", "PRI:"}) {
    if (StartsWith(key, mark))
      return mark;
  }
  return Text();
}

// What the machine holds, path by path.
struct NodeState {
  Text path;
  bool folder = false;
  Text content;
  int attributes = 0;
  bool operator==(const NodeState& other) const {
    return folder == other.folder && content == other.content && attributes == other.attributes;
  }
};
using Snapshot = std::map<Text, NodeState>;  // by key

Snapshot Take(const ScriptedHost& host) {
  Snapshot snapshot;
  const Text bench = ScriptedHost::Key(bench::FolderOf(kFixtureFolder));
  for (const Text& path : host.Paths()) {
    const Text key = ScriptedHost::Key(path);
    if (Within(key, bench))
      continue;  // the bench's own folder is no part of the machine
    snapshot[key] = {path, host.IsFolder(path), host.Content(path), host.Attributes(path)};
  }
  return snapshot;
}

// Every path whose presence, kind, content or attributes differ.
std::vector<Text> Differences(const Snapshot& before, const Snapshot& after) {
  std::vector<Text> changed;
  for (const auto& [key, state] : before) {
    const auto it = after.find(key);
    if (it == after.end() || !(it->second == state))
      changed.push_back(state.path);
  }
  for (const auto& [key, state] : after) {
    if (before.count(key) == 0)
      changed.push_back(state.path);
  }
  return changed;
}

// The paths that the host operations of the run wrote, created, removed,
// renamed or gave attributes, as named.
std::vector<Text> OperationTargets(const ScriptedHost& host) {
  std::vector<Text> targets;
  for (const Op& op : host.Log()) {
    const std::string& n = op.name;
    if (n == "WriteWholeFile" || n == "WriteText" || n == "DeleteFile" || n == "CreateFolder" ||
        n == "SetAttributes" || n == "WriteIni" || (n == "OpenFile" && op.number == kReadWrite)) {
      targets.push_back(op.path);
    } else if (n == "CopyFile") {
      targets.push_back(op.text);
    } else if (n == "RenameFile") {
      targets.push_back(op.path);
      targets.push_back(op.text);
    } else if (n == "CreateShortcut") {
      targets.push_back(op.path + ".LNK");
    }
  }
  return targets;
}

// Mentions the product: its loader's boot sector or its name in either language.
bool IsProductEntry(const bench::BcdEntry& entry) {
  for (const auto& [name, value] : entry.elements) {
    for (const Text mark : {"kvldr.mbr", "KORVAX", "珂瓦克斯"}) {
      if (bench::FindText(value, mark, true) != Text::npos)
        return true;
    }
  }
  return false;
}

// The identifier a bcdedit command acts on: the word after /delete, /set or
// /displayorder; a /set of just a setting and its value acts on {current}.
// Empty for other commands and for forms bcdedit refuses.
Text TargetOf(const Text& arguments) {
  for (const Text verb : {"/delete ", "/set ", "/displayorder "}) {
    if (!StartsWith(arguments, verb))
      continue;
    Text rest = arguments.substr(verb.size());
    rest.erase(0, rest.find_first_not_of(' '));
    if (!rest.empty() && rest[0] == '{')
      return rest.substr(0, rest.find(' '));
    const size_t blank = rest.find(' ');
    const bool nameAndValue = blank != Text::npos && rest.find(' ', blank + 1) == Text::npos;
    return verb == "/set " && nameAndValue ? Text("{current}") : Text();
  }
  return Text();
}

// An entry's elements but the boot manager's menu order and timeout, which
// the product changes on purpose.
std::vector<std::pair<std::string, std::string>> LastingElements(const bench::BcdEntry& entry) {
  std::vector<std::pair<std::string, std::string>> elements;
  for (const auto& element : entry.elements) {
    if (entry.id != "{bootmgr}" || (!bench::EqualsIgnoreCase(element.first, "displayorder") &&
                                    !bench::EqualsIgnoreCase(element.first, "timeout"))) {
      elements.push_back(element);
    }
  }
  return elements;
}

void CheckStore(const bench::BcdStore& before, const SimulatedWindows& windows,
                std::vector<std::string>& problems) {
  std::set<Text> foreign;
  bench::BcdStore after = windows.Store();
  for (const bench::BcdEntry& entry : before.entries) {
    if (IsProductEntry(entry))
      continue;
    foreign.insert(entry.id);
    const bench::BcdEntry* now = after.Find(entry.id);
    if (now == nullptr) {
      problems.push_back("foreign entry " + entry.id + " is gone");
    } else if (LastingElements(*now) != LastingElements(entry)) {
      problems.push_back("foreign entry " + entry.id + " was changed:\n" +
                         bench::FormatEntry(entry) + bench::FormatEntry(*now));
    }
  }
  for (const Text& run : windows.bcdeditRuns) {
    const Text target = TargetOf(run);
    if (foreign.count(target) != 0 && !StartsWith(run, "/displayorder "))
      problems.push_back("bcdedit " + run + " names a foreign entry");
  }
}

void CheckBounds(const ScriptedHost& host, Mode mode, std::vector<std::string>& problems) {
  size_t commands = 0;
  size_t passes[2] = {0, 0};
  bool bcd = false;
  for (const Op& op : host.Log()) {
    if (op.name == "WriteWholeFile" && EndsWith(op.path, "vk_vt020.bat"))
      bcd = true;
    if (op.name != "RunCommand")
      continue;
    ++commands;
    passes[0] += EndsWith(op.path, "\\vk_vt01q.bat") ? 1 : 0;
    passes[1] += EndsWith(op.path, "\\vk_vt01y.bat") ? 1 : 0;
  }
  size_t bound = kMostPreInstallCommands;
  if (mode == Mode::Install) {
    for (const size_t loopPasses : passes) {
      if (loopPasses > kMostStalePasses)
        problems.push_back("a stale-entry loop made " + std::to_string(loopPasses) + " passes");
    }
    bound = kMostSurveyCommands + kMostDeployCommands +
            (bcd ? kMostBcdStraightCommands + (passes[0] + passes[1]) * kCommandsPerStalePass
                 : kMostBootIniCommands);
  }
  if (commands > bound) {
    problems.push_back(std::to_string(commands) + " commands, more than " + std::to_string(bound));
  }
}

// The install run ended with the whole finishing block, in the interpreter
// prefix and scratch folder that the run used, and then the end.
void CheckFinished(const std::vector<std::string>& transcript, std::vector<std::string>& problems) {
  const Text attribLine = "attrib -h -r -s c:\\vesk\\korv\\*.*";
  const size_t size = FinishingBlock("", "").size() + 1;
  if (transcript.size() < size) {
    problems.push_back("the run is shorter than the finishing block");
    return;
  }
  const std::vector<std::string> tail(transcript.end() - size, transcript.end());
  const Text& first = tail[0];
  const Text& scratchDelete = tail[size - 3];
  const size_t quote = scratchDelete.find("del /q \"");
  if (!StartsWith(first, "run ") || !EndsWith(first, attribLine) || quote == Text::npos ||
      !EndsWith(scratchDelete, "vk_*.*\"")) {
    problems.push_back("the run does not end with the finishing block: " + first);
    return;
  }
  const Text cmd = first.substr(4, first.size() - 4 - attribLine.size());
  const Text temp = scratchDelete.substr(quote + 8, scratchDelete.size() - quote - 8 - 7);
  std::vector<std::string> expected = FinishingBlock(cmd, temp);
  expected.push_back("end 0");
  if (tail != expected)
    problems.push_back("the finishing block is not whole or not in order");
}

// The pre-install run reached the menu file repair, or refused with the
// marker renamed (after a stop box, or at once after the user's No).
void CheckPreInstallEnd(const ScriptedHost& host, std::vector<std::string>& problems) {
  for (const Op& op : host.Log()) {
    if (op.name == "FileExists" && op.path == "c:\\vesk\\korv\\menul.lst")
      return;
  }
  std::vector<std::string> t = host.Transcript();
  if (!t.empty())
    t.pop_back();  // the end
  if (!t.empty() && StartsWith(t.back(), "message 0x10 "))
    t.pop_back();
  const bool renamed = !t.empty() && StartsWith(t.back(), "run ") &&
                       t.back().find("\\win_lan\" win_lan") != Text::npos;
  if (!renamed)
    problems.push_back("the run neither reached its last check nor refused");
}

}  // namespace

int FaultHost::OpenFile(const Text& path, int openMode) {
  const int fileNumber = ScriptedHost::OpenFile(path, openMode);
  opened_[fileNumber] = path;
  return fileNumber;
}

Text FaultHost::ReadText(int fileNumber) {
  const Text text = ScriptedHost::ReadText(fileNumber);
  return readText ? readText(opened_[fileNumber], text) : text;
}

Text FaultHost::ReadIni(const Text& path, const Text& section, const Text& key,
                        const Text& defaultValue) {
  const Text value = ScriptedHost::ReadIni(path, section, key, defaultValue);
  return iniValue ? iniValue(key, value, defaultValue) : value;
}

Text FaultHost::ReadRegistryText(int root, const Text& path, const Text& defaultValue) {
  const Text value = ScriptedHost::ReadRegistryText(root, path, defaultValue);
  return noRegistryValues ? defaultValue : value;
}

bool FaultHost::FileExists(const Text& path) {
  const bool exists = ScriptedHost::FileExists(path);
  return exists && !noFileExists;
}

bool Machine::CommandFailed(const Text& text) const {
  const std::vector<Op>& log = host.Log();
  for (size_t k = 0; k < log.size(); ++k) {
    if (log[k].name == "RunCommand" && log[k].path.find(text) != Text::npos) {
      return k + 1 == failAt || !StartsWith(log[k].path, ShellPrefixOf(host));
    }
  }
  return false;
}

void PreInstallPassing(Machine& m, const std::string& sample) {
  LoadSampleMachine(sample, "1", m.host, *m.windows);
  m.host.PutFile("c:\\boot\\korv\\korv.ini", "[ver]\r\nv=v2013.01.23\r\n");
  m.host.PutFile("c:\\vesk\\korv\\uninstall.xml", "<v>v2013.01.23</v>");
  m.windows->RunSetupLine("ren c:\\vesk\\korv\\menu1.lst menul.lst");
}

void XpAloneOnItsDisk(Machine& m) {
  LoadSampleMachine("xp-zh", "2", m.host, *m.windows);
  m.windows->PutFixture("zp_disks.txt",
                        "disk 1 basic\r\npart 1 D FAT32 35000 pri active 备份\r\n"
                        "disk 2 basic\r\npart 1 C NTFS 40960 pri active WINXP\r\n");
  m.windows->version = "Microsoft Windows XP [版本 5.1.2600]";
}

void Windows7OverEarlierInstall(Machine& m) {
  LoadSampleMachine("win7-stale", "2", m.host, *m.windows);
  SimulatedWindows& windows = *m.windows;
  Text disks = windows.Fixture("zp_disks.txt");
  disks.insert(disks.find("disk 2"), "part 3 - NTFS 14000 pri - LENOVO_PART\n");
  windows.PutFixture("zp_disks.txt", disks);
  windows.PutFixture("wmic_csproduct.txt", windows.Fixture("wmic_csproduct.txt") +
                                               "Version=ThinkPad T420 REM_ThinkPad\r\n");
  const Text tmp = "C:\\Users\\Li Wei\\AppData\\Local\\Temp";
  const Text tmpShort = "C:\\Users\\LIWEI~1\\AppData\\Local\\Temp";
  m.host.SetEnv("TMP", tmp);
  m.host.PutFolder(tmp);
  m.host.SetShortForm(tmp, tmpShort);
  m.host.PutFolder(tmpShort);
  m.host.PutFile("C:\\KVX_1.sdr", "restore data");
}

Text ShellPrefixOf(const ScriptedHost& host) {
  Text interpreter = host.EnvValue("COMSPEC");
  if (interpreter.empty())
    interpreter = host.EnvValue("Systemroot") + "\\system32\\cmd.exe";
  return interpreter + " /c ";
}

AllowedPlaces::AllowedPlaces(const ScriptedHost& host) : host_(host) {
  const Text tmp = host.EnvValue("TMP");
  if (!tmp.empty()) {
    scratchFolders_.push_back(ScriptedHost::Key(host.Absolute(tmp)));
    scratchFolders_.push_back(ScriptedHost::Key(host.Absolute(host.ShortFormOf(tmp))));
  }
  scratchFolders_.push_back(ScriptedHost::Key(host.CurrentFolderPath().substr(0, 2)));
  for (const Text& folder : {host.ProgramFolderPath(), host.ShortFormOf(host.ProgramFolderPath())})
    programFolders_.push_back(ScriptedHost::Key(host.Absolute(folder)));
  currentFolder_ = ScriptedHost::Key(host.CurrentFolderPath());
  windowsFolder_ = ScriptedHost::Key(host.Absolute(host.EnvValue("Systemroot")));
}

void AllowedPlaces::TakeDrivesOf(const ScriptedHost& host) {
  // The drive that follows a piece of a command line, up to the given end.
  const auto DriveAfter = [&host](const Text& piece, char end) {
    for (const Text& command : host.Commands()) {
      const size_t at = command.find(piece);
      if (at != Text::npos) {
        const size_t from = at + piece.size();
        return ScriptedHost::Key(command.substr(from, command.find(end, from) - from));
      }
    }
    return Text();
  };
  bootDrives_.push_back(DriveAfter("xcopy c:\\KVLDR ", '\\'));
  targetDrive_ = DriveAfter("chkntfs ", '>');
}

bool AllowedPlaces::MayChange(const Text& path) const {
  const Text key = ScriptedHost::Key(host_.Absolute(path));
  const Text parent = ParentOf(key);
  const Text name = NameOf(key);
  if (key == "C:\\VESK" || Within(key, "C:\\VESK\\KORV"))
    return true;
  for (const Text& folder : scratchFolders_) {
    if (parent == folder && StartsWith(name, "VK_"))
      return true;
  }
  // A path on a mark such as "Pri:" is taken by the host for a relative one;
  // it is judged as named.
  for (const Text& rooted : {key, ScriptedHost::Key(path)}) {
    const Text drive = DriveOf(rooted);
    if (drive.empty())
      continue;
    for (const Text file : {"\\KVLDR", "\\KVLDR.MBR", "\\BOOT.INI", "\\BOOT.KVX", "\\BOOT\\BCD"}) {
      if (rooted == drive + file &&
          std::find(bootDrives_.begin(), bootDrives_.end(), drive) != bootDrives_.end()) {
        return true;
      }
    }
    if (drive == targetDrive_ && Within(rooted, drive + "\\~1"))
      return true;
  }
  if (key == windowsFolder_ + "\\SYSWOW64\\BCDEDIT.EXE")
    return true;
  if (std::find(programFolders_.begin(), programFolders_.end(), parent) != programFolders_.end() &&
      (name == "WIN_LAN" || name == "WIN_LAN1" || name == "WIN_LAN2")) {
    return true;
  }
  return key == currentFolder_ + "\\GHSTSTAT.TXT";
}

RunReport CheckedRun(const Recipe& recipe, Mode mode, size_t failAt, const ExtraCheck& extra) {
  Machine machine;
  recipe(machine);
  FaultHost& host = machine.host;
  SimulatedWindows& windows = *machine.windows;
  windows.UseShellPrefix(ShellPrefixOf(host));
  host.FailOperation(failAt);
  machine.failAt = failAt;
  const Snapshot before = Take(host);
  const bench::BcdStore storeBefore = windows.Store();
  AllowedPlaces allowed(host);

  RunReport report;
  std::vector<std::string>& problems = report.problems;
  int exitCode = -1;
  try {
    exitCode = RunProgram(host);
  } catch (...) {
    problems.push_back("an exception left the program");
  }
  report.operations = host.OperationCount();

  // 1. Exit code 0, one end, and nothing after it.
  if (exitCode != 0)
    problems.push_back("exit code " + std::to_string(exitCode));
  if (EndCount(host) != 1)
    problems.push_back("the program ended " + std::to_string(EndCount(host)) + " times");
  if (host.Log().empty() || host.Log().back().name != "EndProgram")
    problems.push_back("the run went on after its end");

  // 2. The last step. An argument list that cannot be read is no argument:
  // nothing runs.
  if (failAt == 1) {
    if (host.Log().size() != 2)
      problems.push_back("the program ran without its argument");
  } else if (mode == Mode::Install) {
    CheckFinished(host.Transcript(), problems);
  } else {
    CheckPreInstallEnd(host, problems);
  }

  // 3. Bounded commands.
  CheckBounds(host, mode, problems);

  // 4. Changes only where the product may make them.
  allowed.TakeDrivesOf(host);
  std::vector<Text> changed = Differences(before, Take(host));
  const std::vector<Text> targets = OperationTargets(host);
  changed.insert(changed.end(), targets.begin(), targets.end());
  changed.insert(changed.end(), windows.changed.begin(), windows.changed.end());
  std::set<Text> reported;
  for (const Text& path : changed) {
    if (!allowed.MayChange(path) && reported.insert(ScriptedHost::Key(path)).second)
      problems.push_back("changed outside the product's places: " + path);
  }
  CheckStore(storeBefore, windows, problems);

  // A run without its argument does nothing at all, so there is nothing
  // further to check.
  if (extra && failAt != 1)
    extra(machine, problems);
  return report;
}

std::string Problems(const RunReport& report) {
  std::string text;
  for (const std::string& problem : report.problems) {
    text += "  ";
    for (const char c : problem.substr(0, 300)) {
      const unsigned char byte = static_cast<unsigned char>(c);
      if (byte < 0x20) {
        char escaped[8];
        std::snprintf(escaped, sizeof escaped, "\\x%02X", byte);
        text += escaped;
      } else {
        text += c;
      }
    }
    text += "\n";
  }
  return text;
}

size_t ExpectEveryOperationMayFail(const Recipe& recipe, Mode mode, const ExtraCheck& extra) {
  const RunReport clean = CheckedRun(recipe, mode, 0, extra);
  EXPECT_TRUE(clean.problems.empty()) << "without a fault:\n" << Problems(clean);
  size_t failures = 0;
  for (size_t k = 1; k <= clean.operations; ++k) {
    const RunReport report = CheckedRun(recipe, mode, k, extra);
    if (report.problems.empty())
      continue;
    ADD_FAILURE() << "operation " << k << " of " << clean.operations << " failing:\n"
                  << Problems(report);
    if (++failures == 5)
      break;  // enough to go on
  }
  return clean.operations + 1;
}

}  // namespace kvx::testing
