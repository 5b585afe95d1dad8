// The merge of the boot disk's scans into zp_all.txt.
#include <gtest/gtest.h>

#include <vector>

#include "bootmenu/bootmenu.h"
#include "tests/support/sample_context.h"
#include "tests/support/simulated_windows.h"

namespace kvx {
namespace {

using testing::ScriptedHost;

const Text kAppend2 =
    "C:\\WINDOWS\\system32\\cmd.exe /c type "
    "c:\\vesk\\korv\\zp_all2.txt>>c:\\vesk\\korv\\zp_all.txt";
const Text kAppend3 =
    "C:\\WINDOWS\\system32\\cmd.exe /c type "
    "c:\\vesk\\korv\\zp_all3.txt>>c:\\vesk\\korv\\zp_all.txt";
const Text kAppend4 =
    "C:\\WINDOWS\\system32\\cmd.exe /c type "
    "c:\\vesk\\korv\\zp_all4.txt>>c:\\vesk\\korv\\zp_all.txt";

std::vector<Text> MergeCommands(const Text& bootDiskIndex) {
  ScriptedHost host;
  InstallContext context = testing::SampleInstallContext();
  context.BootDiskIndex = bootDiskIndex;
  MergeDiskScans(host, context);
  return host.Commands();
}

TEST(DiskScanMerge, AppendsTheDisksAfterTheFirstUpToTheBootDisk) {
  EXPECT_EQ(MergeCommands("1"), (std::vector<Text>{kAppend2}));
  EXPECT_EQ(MergeCommands("2"), (std::vector<Text>{kAppend2, kAppend3}));
  EXPECT_EQ(MergeCommands("3"), (std::vector<Text>{kAppend2, kAppend3, kAppend4}));
}

TEST(DiskScanMerge, FirstDiskOrAnUnknownValueAppendsNothing) {
  for (const Text value : {"0", "01", "4", "", " 1"}) {
    EXPECT_TRUE(MergeCommands(value).empty()) << "drvc=" << value;
  }
}

TEST(DiskScanMerge, ScansAreAppendedInDiskOrderAndAMissingOneAddsNothing) {
  ScriptedHost host;
  testing::SimulatedWindows machine(host);
  host.PutFile("c:\\vesk\\korv\\zp_all.txt", "1: C: \r\n");
  host.PutFile("c:\\vesk\\korv\\zp_all2.txt", "2: D: \r\n");
  host.PutFile("c:\\vesk\\korv\\zp_all4.txt", "4: F: Yes\r\n");
  InstallContext context = testing::SampleInstallContext();
  context.BootDiskIndex = "3";

  MergeDiskScans(host, context);

  EXPECT_EQ(host.Content("c:\\vesk\\korv\\zp_all.txt"), "1: C: \r\n2: D: \r\n4: F: Yes\r\n");
  EXPECT_TRUE(machine.unhandled.empty());
}

}  // namespace
}  // namespace kvx
