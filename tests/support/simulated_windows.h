// A simulated Windows for the tests: one interpreter of every command line
// and batch line that the configurator runs, acting on the scripted machine.
//
// Attached to a ScriptedHost, it carries out each command line the host is
// given, the way the command interpreter would:
// - a batch file by its path: line by line, "%%" read as "%", until the end
//   or a "goto :eof";
// - the interpreter prefix and a command line: the operators & && || | and
//   the redirections > and >> (outside double quotes, found before any loop
//   variable is put in), "for", "for /f" over a file or a 'command', "if exist",
//   "if not errorlevel", "if A lss B", the built-ins (ren, del, type, copy, rem, echo,
//   ver, dir, goto :eof, a line's leading @), xcopy, subst, reg import and a nested
//   interpreter prefix;
// - the Windows tools find, findstr, attrib, chkntfs, wmic and bcdedit, and
//   the product's companion tools (fi, fr, xc, zptlx, ghost32.exe, each only
//   while its .exe lies in the product folder), by handing the command line
//   to the one double of that tool (tests/tools), the same code that runs as
//   a Windows program on the bench. The doubles keep their fixtures and state
//   in kFixtureFolder on the machine.
// A redirection target is created before the command runs, even when the
// command then fails, and not at all when its folder is missing.
// Forms it does not know are collected in `unhandled`, so that a test can
// assert that every command ran as written.
#ifndef KVXCFG_TESTS_SUPPORT_SIMULATED_WINDOWS_H
#define KVXCFG_TESTS_SUPPORT_SIMULATED_WINDOWS_H

#include <map>
#include <vector>

#include "tests/support/scripted_host.h"
#include "tests/support/tool_machine.h"
#include "tests/tools/bcd_store.h"

namespace kvx::testing {

class SimulatedWindows {
 public:
  // Registers the simulation on the host, which must outlive it. Single
  // commands come with shellPrefix; the tools live in productDirSlash.
  explicit SimulatedWindows(ScriptedHost& host,
                            const Text& shellPrefix = "C:\\WINDOWS\\system32\\cmd.exe /c ",
                            const Text& productDirSlash = "c:\\vesk\\korv\\");
  SimulatedWindows(const SimulatedWindows&) = delete;
  SimulatedWindows& operator=(const SimulatedWindows&) = delete;

  // Single commands come with this prefix from now on.
  void UseShellPrefix(const Text& shellPrefix) { shell_ = shellPrefix; }

  // Runs a batch line to set the machine up, as no operation of the run:
  // what it changes and the bcdedit commands it runs are not recorded.
  void RunSetupLine(const Text& line);

  // --- The machine ---
  bool commandsRun = true;             // false: no command line can start at all
  Text windowsFolder = "C:\\WINDOWS";  // holds syswow64 on 64-bit Windows
  Text version;  // what ver prints, e.g. "Microsoft Windows XP [Version 5.1.2600]"
  // 64-bit Windows: bcdedit runs only once windowsFolder\syswow64\bcdedit.exe exists.
  bool sixtyFourBit = false;
  // false: no wmic at all, as on Windows 11 24H2 and later.
  bool wmicInstalled = true;

  // --- The doubles' fixtures and state (tests/tools/README.md) ---
  void PutFixture(const Text& name, const Text& text);
  Text Fixture(const Text& name) const;  // empty when missing
  // The BCD store that bcdedit works on. A new simulation holds the boot
  // manager and the running Windows ({current}), shown in the menu, timeout
  // 30; bcdedit's answer to a creation names the identifier as its second
  // word.
  bench::BcdStore Store() const;
  void PutStore(const bench::BcdStore& store);
  // xc: each path granted and its grants ("Everyone:f"), as the tool keeps them.
  std::map<Text, Text> Grants() const;

  // --- What the commands did ---
  std::vector<Text> unhandled;  // commands and lines of a form not known here
  std::vector<Text> imported;   // the text of each file that reg import read
  // Every file or folder that a command created, changed, renamed (both
  // names), removed or gave other attributes, as an absolute path, in order.
  std::vector<Text> changed;
  std::vector<Text> bcdeditRuns;  // the arguments of every bcdedit run, in order

 private:
  struct Result {
    bool ok = false;
    Text out;  // what the command printed
  };
  using Variables = std::map<char, Text>;

  void RunCommandLine(const Text& commandLine);
  void RunBatch(const Text& path);
  Result Interpreter(const Text& arguments);
  Result RunLine(const Text& line, const Variables& variables);
  Result RunStage(const Text& stage, const Text& input, const Variables& variables);
  Result RunCommand(const Text& command, const Text& input);
  Result For(const Text& command, const Variables& variables);
  Result If(const Text& command, const Variables& variables);
  // A tool by its double; ok when it ends with exit code 0.
  Result Double(const char* name, const Text& commandLine, const Text& input);
  Result ProductTool(const Text& command);
  Result Unknown(const Text& command);

  Result Ren(const std::vector<Text>& words);
  Result Del(const std::vector<Text>& words);
  Result Copy(const std::vector<Text>& words);
  Result Xcopy(const std::vector<Text>& words, const Text& input, const Text& command);
  Result Dir(const std::vector<Text>& words);
  Result Subst(const std::vector<Text>& words);

  // Paths: a subst drive replaced by its folder; the files (and, unless
  // filesOnly, folders) that a path with wildcards in its last part names.
  Text Resolve(const Text& path) const;
  std::vector<Text> Matching(const Text& path, bool filesOnly) const;
  bool CanWrite(const Text& path) const;
  void Write(const Text& path, const Text& text, bool append);
  void Move(const Text& from, const Text& to);
  void Put(const Text& path, const Text& content, int attributes);
  void Changed(const Text& path);

  ScriptedHost& host_;
  ToolMachine tools_;
  Text shell_;
  Text product_;
  std::map<Text, Text> substs_;  // drive -> folder
  bool leaveBatch_ = false;      // set by goto :eof
  bool lastOk_ = true;           // errorlevel 0
};

// Adds a boot-sector entry to the store under the identifier that bcdedit
// would give the next created entry, with a device and the given path and
// description (either may be empty to leave it out); returns the identifier.
Text AddBootSector(bench::BcdStore& store, const Text& description, const Text& path,
                   bool locked = false);

// The boot manager's display order, identifier by identifier.
std::vector<Text> DisplayOrder(const bench::BcdStore& store);
void SetDisplayOrder(bench::BcdStore& store, const std::vector<Text>& order);

}  // namespace kvx::testing

#endif  // KVXCFG_TESTS_SUPPORT_SIMULATED_WINDOWS_H
