// Which registration runs: boot.ini for exactly "nt", the BCD store for
// exactly "vt", neither for any other Windows family.
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
    testing::BootMenuBench legacy;
    legacy.program.WinFamily = c.family;
    legacy.paths.BootConfigPath = "C:\\boot.ini";
    RegisterLegacyBootMenu(legacy.host, legacy.context, legacy.paths, legacy.program);
    EXPECT_EQ(!legacy.host.Log().empty(), c.bootIni) << "WinFamily=" << c.family;

    testing::BootMenuBench bcd;
    bcd.program.WinFamily = c.family;
    bcd.paths.BootConfigPath = "C:\\boot\\bcd";
    RegisterBcdEntry(bcd.host, bcd.context, bcd.paths, bcd.program);
    EXPECT_EQ(!bcd.host.Log().empty(), c.bcd) << "WinFamily=" << c.family;
  }
}

}  // namespace
}  // namespace kvx
