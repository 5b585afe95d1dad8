// The sample Windows machines of the bench (tests/e2e/machines), loaded into
// the scripted machine and its simulated Windows.
//
// Each folder of tests/e2e/machines describes one machine: machine.conf (the
// Windows version, 32 or 64 bits, install language, drives, family marker,
// access tool name, TMP and Startup folders, box answers, preparation lines),
// fixture/ (the doubles' fixtures), files/c, files/d, ... (laid over the
// drives) and optionally registry.reg (BIOS description values). The bench
// lays a machine out on a Wine prefix (tests/e2e/run-machine.sh); this lays
// the same machine out in memory, as the setup package leaves it before it
// starts the configurator, so that the step tests, the fault sweeps and the
// random runs start from the machines that run under Wine.
#ifndef KVXCFG_TESTS_SUPPORT_SAMPLE_MACHINES_H
#define KVXCFG_TESTS_SUPPORT_SAMPLE_MACHINES_H

#include <string>
#include <vector>

#include "tests/support/scripted_host.h"
#include "tests/support/simulated_windows.h"

namespace kvx::testing {

// What machine.conf says, with run-machine.sh's defaults.
struct SampleMachine {
  std::string name;
  std::string description;
  std::string windows = "win7";  // winxp, win7, win10 or win11
  int bits = 64;
  std::string language = "0409";    // InstallLanguage
  std::vector<std::string> drives;  // besides C:, as letters ("d")
  std::string marker = "nt";        // the family marker the setup package leaves
  std::string accessTool = "xc";    // the name the access tool is stored under
  std::string temp = "C:\\users\\Public\\Temp";
  std::string tempShort;  // TMP's short form where it holds a blank
  std::string startup = "C:\\users\\Public\\Start Menu\\Programs\\Startup";
  std::vector<int> answers1;  // buttons pressed on the boxes of "1" and "2"
  std::vector<int> answers2;
  std::vector<std::string> prepare;  // batch lines run before "1"
  std::string firmware = "bios";     // bios or uefi: how this Windows started
  bool wmic = true;                  // false: Windows without wmic
};

// The names of the sample machines, in order.
std::vector<std::string> SampleMachineNames();

// Reads tests/e2e/machines/NAME/machine.conf (UTF-8 there, GBK here).
SampleMachine ReadSampleMachine(const std::string& name);

// The folder the setup package starts the configurator from, and its short form.
inline constexpr char kSetupFolder[] = "C:\\KVX Setup";
inline constexpr char kSetupFolderShort[] = "C:\\KVX_~PRR";

// Lays the machine out on the host and its simulation and makes it ready for
// the given job ("1" or "2"): the argument, the answers to that job's boxes,
// the environment and registry Wine gives, the setup package's folder and the
// product package, the drives and their files, the doubles' fixtures; then
// runs the preparation lines. The host's log stays empty.
void LoadSampleMachine(const std::string& name, const std::string& job, ScriptedHost& host,
                       SimulatedWindows& windows);

// The registry values a sample machine has from its machine.conf: the
// current user's Startup folder and the install language.
inline constexpr char kStartupFolderRegistry[] =
    "Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\Shell Folders\\Startup";
inline constexpr char kInstallLanguageRegistry[] =
    "SYSTEM\\CurrentControlSet\\Control\\Nls\\Language\\InstallLanguage";

// The interpreter prefix of every sample machine.
inline constexpr char kSampleShell[] = "C:\\windows\\system32\\cmd.exe /c ";

}  // namespace kvx::testing

#endif  // KVXCFG_TESTS_SUPPORT_SAMPLE_MACHINES_H
