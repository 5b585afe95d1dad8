// Whole runs on machines where things go wrong, and the four things every
// such run must still hold:
// 1. the program returns exit code 0 and ends exactly once;
// 2. it reaches its last step: the install run ("2") the whole finishing
//    block, down to the run-folder delete; the pre-install run ("1") its menu
//    file repair, or a refusal that renames the marker;
// 3. it runs a bounded number of commands (the bounds below);
// 4. it changes nothing on the machine outside the places the product
//    names (AllowedPlaces), and, on a BCD store, never deletes or sets an
//    entry that is not the product's.
#ifndef KVXCFG_TESTS_SUPPORT_FAULT_RUNS_H
#define KVXCFG_TESTS_SUPPORT_FAULT_RUNS_H

#include <functional>
#include <map>
#include <optional>
#include <string>
#include <vector>

#include "tests/support/scripted_host.h"
#include "tests/support/simulated_windows.h"

namespace kvx::testing {

// --- Bounds on the commands of one run, from the steps' own loops ---

// Commands of an install run outside the two stale-entry loops, at most,
// block by block: companion tools 4, disk survey 10, boot partitions 6,
// loader 2, machine model 5, normal partitions 3, start-up scripts 12, scan
// merge 3; then boot.ini 8 (spare copy twice, timeout, default batch, entry
// line and three keep copies), or the BCD store 6 (listing, import, two
// 64-bit copies, export of the store as it was, timeout) and the entry 13
// (create, settings, title check, five template steps, loader check, export,
// enumeration, two .sdr copies);
// then partition choice 5, target folder 11, boot options 11, finishing 12.
constexpr size_t kMostSurveyCommands = 4 + 10 + 6 + 2 + 5 + 3 + 12 + 3;
constexpr size_t kMostDeployCommands = 5 + 11 + 11 + 12;
constexpr size_t kMostBootIniCommands = 8;
constexpr size_t kMostBcdStraightCommands = 6 + 13;
// Each stale-entry loop makes at most 21 passes of four commands: the
// identifier batch, the join, the delete batch, the enumeration.
constexpr size_t kMostStalePasses = 21;
constexpr size_t kCommandsPerStalePass = 4;
constexpr size_t kMostInstallCommands = kMostSurveyCommands + kMostBcdStraightCommands +
                                        2 * kMostStalePasses * kCommandsPerStalePass +
                                        kMostDeployCommands;
// The pre-install run: the stale finding's delete and the scan, the two
// deletes after the question, then one rename (a refusal, a No, or the menu
// file repair).
constexpr size_t kMostPreInstallCommands = 5;

// --- The machine ---

// A scripted machine on which every read can be made to go wrong: the text
// of every file read, every INI value read, and whether files exist.
class FaultHost : public ScriptedHost {
 public:
  // Applied to the text of every ReadText; gets the path as it was opened.
  std::function<Text(const Text& path, const Text& text)> readText;
  // Applied to every INI value read; gets the key, the value and the default.
  std::function<Text(const Text& key, const Text& value, const Text& defaultValue)> iniValue;
  bool noFileExists = false;      // FileExists answers false for every path
  bool noRegistryValues = false;  // every registry value is absent

  using ScriptedHost::ReadIni;
  int OpenFile(const Text& path, int openMode) override;
  Text ReadText(int fileNumber) override;
  Text ReadIni(const Text& path, const Text& section, const Text& key,
               const Text& defaultValue) override;
  bool FileExists(const Text& path) override;
  using ScriptedHost::ReadRegistryText;
  Text ReadRegistryText(int root, const Text& path, const Text& defaultValue) override;

 private:
  std::map<int, Text> opened_;  // file number -> path
};

// A machine and the simulated Windows that carries out its commands. A
// recipe sets it up; the interpreter prefix of the simulation then follows
// the machine's COMSPEC and Systemroot, as the program's does.
struct Machine {
  Machine() { windows.emplace(host); }
  Machine(const Machine&) = delete;
  Machine& operator=(const Machine&) = delete;

  FaultHost host;
  std::optional<SimulatedWindows> windows;
  size_t failAt = 0;  // the host operation made to fail (1-based), 0 for none

  // True when the command line that holds the text was the operation made
  // to fail, or went out with another interpreter prefix than the machine's
  // (a failed read of COMSPEC), so that it could not do its work.
  bool CommandFailed(const Text& text) const;
};
using Recipe = std::function<void(Machine&)>;

// --- The machines the fault runs start from ---
// Sample machines of the bench (tests/e2e/machines), laid out as
// run-machine.sh lays them out under Wine, with what a run needs added on top.

// "1" on the named sample machine, with this very version's files in both
// product folders and the package's first menu file misnamed menul.lst: a
// run passes every check but the question about the product on another
// Windows, which the machine answers as its machine.conf says.
void PreInstallPassing(Machine& m, const std::string& sample);

// "2" on xp-zh, a Chinese Windows XP (boot.ini with an older product line as
// the default, the access tool stored as xc1, a TOSHIBA, TMP with blanks and
// a short form), whose Windows lies alone on the second disk: there is no
// partition for the images, so the user is warned and the folder goes to C:.
// Its ver answers in Chinese.
void XpAloneOnItsDisk(Machine& m);

// "2" on win7-stale, a 64-bit Windows 7 over an earlier installation (two old
// product entries in the store, the last run's listing and identifier, the
// hidden folder with an image on D:, another Windows on the second disk), made
// a ThinkPad with the maker's recovery partition third on the first disk,
// with a scratch folder whose path has a blank and a short form, and a restore
// file at the root of C:.
void Windows7OverEarlierInstall(Machine& m);

// The interpreter prefix that the machine's environment gives.
Text ShellPrefixOf(const ScriptedHost& host);

// The places a run may change, from what the product names: the product
// folder and everything in it, and its parent's attributes; the scratch
// files "vk_*" in the scratch folder (TMP, its short form, or the current
// drive's root where TMP reads empty or cannot be spliced); the loader files,
// boot.ini, its saved copy boot.kvx and the store file boot\bcd at the root of
// C: and of the drive the run took for the active partition; the hidden
// folder ~1 at the root of the drive it took for the target partition (which
// may be a mark of a partition without a letter: "8:", "Log:", "Pri:") and
// what that folder holds; bcdedit.exe in the Windows folder's syswow64; the
// verdict marker in the program folder (by its path or its short form);
// GHSTSTAT.TXT in the current folder. What the doubles keep in the bench's
// own folder (kFixtureFolder) is no part of the machine, but the program
// itself may not change anything there.
class AllowedPlaces {
 public:
  explicit AllowedPlaces(const ScriptedHost& host);
  // The active and the target drive, as the run's commands name them.
  void TakeDrivesOf(const ScriptedHost& host);
  bool MayChange(const Text& path) const;

 private:
  const ScriptedHost& host_;
  std::vector<Text> scratchFolders_;  // keys
  std::vector<Text> programFolders_;  // keys: the path and its short form
  Text currentFolder_;
  Text windowsFolder_;
  std::vector<Text> bootDrives_ = {"C:"};  // keys
  Text targetDrive_;                       // key
};

// --- Runs ---

enum class Mode { PreInstall, Install };

// What one run left to look at, and what it broke of the four rules.
struct RunReport {
  std::vector<std::string> problems;
  size_t operations = 0;  // host operations the run made
};

// A further check of one finished run; it adds to the problems.
using ExtraCheck = std::function<void(const Machine& machine, std::vector<std::string>& problems)>;

// Builds a fresh machine by the recipe, runs the program on it with the
// failAt-th host operation failing (0: none) and checks the four rules and
// the extra check.
RunReport CheckedRun(const Recipe& recipe, Mode mode, size_t failAt = 0,
                     const ExtraCheck& extra = nullptr);

// The problems of a report, one per line, for a failure message.
std::string Problems(const RunReport& report);

// Runs the recipe once without a fault, then once with each of its host
// operations failing in turn, and expects every run to hold the rules.
// Returns the number of runs made.
size_t ExpectEveryOperationMayFail(const Recipe& recipe, Mode mode,
                                   const ExtraCheck& extra = nullptr);

}  // namespace kvx::testing

#endif  // KVXCFG_TESTS_SUPPORT_FAULT_RUNS_H
