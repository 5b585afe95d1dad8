// Everything one run of a boot menu step needs: the simulated machine with
// its store (machine.Store(), machine.PutStore()) and the INI writer and text
// replacer in the product folder, the sample install context, the boot
// configuration paths and the program-wide values.
#ifndef KVXCFG_TESTS_SUPPORT_BOOTMENU_BENCH_H
#define KVXCFG_TESTS_SUPPORT_BOOTMENU_BENCH_H

#include "host/program_values.h"
#include "survey/records.h"
#include "tests/support/sample_context.h"
#include "tests/support/simulated_windows.h"

namespace kvx::testing {

struct BootMenuBench {
  BootMenuBench() {
    host.PutFile("c:\\vesk\\korv\\fi.exe", "ini writer");
    host.PutFile("c:\\vesk\\korv\\fr.exe", "text replacer");
  }

  ScriptedHost host;
  SimulatedWindows machine{host};
  InstallContext context = SampleInstallContext();
  BootConfigPaths paths;
  ProgramContext program;
};

}  // namespace kvx::testing

#endif  // KVXCFG_TESTS_SUPPORT_BOOTMENU_BENCH_H
