// What the commands of the boot menu registration do on the scripted
// machine: the scratch batch files run line by line (bcdedit against a
// simulated store, the findstr loops, subst and xcopy for bcdedit.exe), the
// INI writer fi, the text replacer fr, and the interpreter's copy, xcopy and
// type. Lines that nothing here understands are collected, so a test notices
// a command that would not run as meant.
#ifndef KVXCFG_TESTS_SUPPORT_BOOTMENU_MACHINE_H
#define KVXCFG_TESTS_SUPPORT_BOOTMENU_MACHINE_H

#include <vector>

#include "entry/program.h"
#include "survey/records.h"
#include "tests/support/bcd_store.h"
#include "tests/support/sample_context.h"
#include "tests/support/scripted_host.h"

namespace kvx::testing {

class BootMenuMachine {
 public:
  // Registers the effects on the host; both must outlive the run. The tools
  // live in productDirSlash and the interpreter is called as shellPrefix.
  BootMenuMachine(ScriptedHost& host, BcdStore& store,
                  const Text& productDirSlash = "c:\\vesk\\korv\\",
                  const Text& shellPrefix = "C:\\WINDOWS\\system32\\cmd.exe /c ");

  // 64-bit Windows: a 32-bit program finds bcdedit.exe only once
  // C:\WINDOWS\syswow64\bcdedit.exe exists.
  bool sixtyFourBit = false;
  // The INI writer changes nothing (as when it cannot write the file).
  bool fiFails = false;

  std::vector<Text> unhandled;  // lines and commands that had no effect here

 private:
  void RunLine(const Text& commandLine);
  void RunBatch(const Text& path);
  bool RunBatchLine(const Text& line);
  bool RunShellCommand(const Text& command);
  bool Bcdedit(const Text& line);
  bool BcdeditReachable() const;
  void IdentifierLoop(const Text& rest);
  void DefaultLoop(const Text& rest);
  void SettingsLoop(const Text& rest);
  void Fi(const Text& rest);
  void Fr(const Text& rest);
  void WriteOutput(const Text& path, const Text& text);

  ScriptedHost& host_;
  BcdStore& store_;
  Text product_;
  Text shell_;
};

// Everything one run of a boot menu step needs: the machine with its store
// and tools, the sample install context, the boot configuration paths and the
// program-wide values.
struct BootMenuBench {
  ScriptedHost host;
  BcdStore store;
  BootMenuMachine machine{host, store};
  InstallContext context = SampleInstallContext();
  BootConfigPaths paths;
  ProgramContext program;
};

}  // namespace kvx::testing

#endif  // KVXCFG_TESTS_SUPPORT_BOOTMENU_MACHINE_H
