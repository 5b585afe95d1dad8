// The one choice of the registration by the Windows family: boot.ini for
// exactly "nt", the BCD store for exactly "vt", neither for any other family.
#include <gtest/gtest.h>

#include "bootmenu/bootmenu.h"
#include "tests/support/bootmenu_bench.h"

namespace kvx {
namespace {

TEST(BootMenuFamily, EachRegistrationRunsOnlyForItsOwnFamily) {
  struct Case {
    Text family;
    bool bootIni;
    bool bcd;
  };
  for (const Case& c :
       {Case{"nt", true, false}, Case{"vt", false, true}, Case{"NT", false, false},
        Case{"VT", false, false}, Case{"", false, false}, Case{"vt ", false, false}}) {
    testing::BootMenuBench bench;
    bench.host.PutFolder("C:\\TEMP");  // the scratch folder, where the store's batch goes
    bench.program.WinFamily = c.family;
    bench.paths.BootConfigPath = "C:\\boot.ini";
    RegisterBootEntry(bench.host, bench.context, bench.paths, bench.program);
    bool bootIni = false;
    bool bcd = false;
    for (const Text& command : bench.host.Commands()) {
      bootIni = bootIni || command.find("boot.ini") != Text::npos;
      bcd = bcd || command.find("vk_vt020.bat") != Text::npos;
    }
    EXPECT_EQ(bootIni, c.bootIni) << "WinFamily=" << c.family;
    EXPECT_EQ(bcd, c.bcd) << "WinFamily=" << c.family;
    EXPECT_EQ(!bench.host.Log().empty(), c.bootIni || c.bcd) << "WinFamily=" << c.family;
  }
}

}  // namespace
}  // namespace kvx
