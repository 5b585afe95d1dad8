// The hidden folder ~1 on the target partition: what happens to a file or a
// folder of that name already there, NTFS against FAT, and which rights the
// folder finally gets by the name the access tool came with.
#include <gtest/gtest.h>

#include "deploy/deploy.h"
#include "tests/support/expected_blocks.h"
#include "tests/support/sample_context.h"
#include "tests/support/simulated_windows.h"

namespace kvx {
namespace {

using testing::Join;
using testing::Lines;
using testing::ScriptedHost;

const Text kNameTool = "C:\\WINDOWS\\system32\\cmd.exe /c ren c:\\vesk\\korv\\xc* xc.exe";
const Text kRecordNtfs = "c:\\vesk\\korv\\fi c:\\vesk\\korv\\krv_drv.ini [part] type=NTFS";
const Text kRecordFat = "c:\\vesk\\korv\\fi c:\\vesk\\korv\\krv_drv.ini [part] type=FAT";
const Text kCmd = "C:\\WINDOWS\\system32\\cmd.exe /c ";
const Text kFatMarkerD =
    "C:\\WINDOWS\\system32\\cmd.exe /c dir D:\\ /ad /x|find \" ~1 \" >nul||copy /y "
    "c:\\vesk\\korv\\c_pan.txt D:\\~1\\c_pan.ini";
const Text kGrantBeforeRemoval = "c:\\vesk\\korv\\xc D:\\~1 /c /y /g Everyone:f";
const Text kFullTree = "c:\\vesk\\korv\\xc D:\\~1 /t /c /y /g Everyone:f";
const Text kLimitedTree = "c:\\vesk\\korv\\xc D:\\~1 /t /c /y /g Everyone:rewx";
const Text kStoreXc1 = "C:\\WINDOWS\\system32\\cmd.exe /c ren c:\\vesk\\korv\\xc.exe xc1";
const Text kStoreXc = "C:\\WINDOWS\\system32\\cmd.exe /c ren c:\\vesk\\korv\\xc.exe xc";

// A machine with a second drive D: of the given file system, and the access
// tool stored under the given name.
struct TargetMachine {
  ScriptedHost host;
  testing::SimulatedWindows machine{host};
  InstallContext context = testing::SampleInstallContext();
  ProgramContext program;

  TargetMachine(const Text& toolName, const Text& fileSystem) {
    host.AddDrive("D:");
    host.PutFolder("C:\\TEMP");
    host.PutFile("c:\\vesk\\korv\\c_pan.txt", "panel");
    host.PutFile("c:\\vesk\\korv\\" + toolName, "access tool");
    machine.PutFixture("chkntfs.txt", "D: " + fileSystem + "\r\n");
  }

  void Deploy(const Text& drive = "D:") {
    DeployTargetFolder(host, context, TargetPartition{"2", drive}, program);
  }
};

const Text kNtfsReport = "The type of the file system is NTFS.\r\nD: is not dirty.\r\n";

TEST(TargetFolder, FreshNtfsPartitionWithToolStoredAsXc) {
  TargetMachine m("xc", "NTFS");
  m.Deploy();
  EXPECT_EQ(
      m.host.Transcript(),
      Join({{"run " + kNameTool},
            testing::TargetFolder(kCmd, "C:\\TEMP\\", "D:"),
            {"run " + kRecordNtfs, "run " + kFullTree, "run " + kLimitedTree, "run " + kStoreXc}}));
  EXPECT_TRUE(m.host.IsFolder("D:\\~1"));
  EXPECT_TRUE(m.host.Exists("c:\\vesk\\korv\\xc"));
  EXPECT_FALSE(m.host.Exists("c:\\vesk\\korv\\xc.exe"));
  // The report probe is the last shared probe of the run.
  EXPECT_EQ(m.program.SharedFileText, kNtfsReport);
  EXPECT_EQ(m.program.SharedFindResult, 31);
  EXPECT_NE(m.program.SharedFileNumber, 0);
  EXPECT_EQ(m.machine.Grants()["D:\\~1"], "Everyone:rewx");
  EXPECT_TRUE(m.machine.unhandled.empty());
}

TEST(TargetFolder, ToolStoredAsXc1KeepsItsNameAndGivesTheFullGrantLast) {
  TargetMachine m("xc1", "NTFS");
  m.Deploy();
  const std::vector<Text> commands = m.host.Commands();
  ASSERT_GE(commands.size(), 3u);
  EXPECT_EQ(std::vector<Text>(commands.end() - 3, commands.end()),
            (std::vector<Text>{kFullTree, kFullTree, kStoreXc1}));
  EXPECT_TRUE(m.host.Exists("c:\\vesk\\korv\\xc1"));
  EXPECT_FALSE(m.host.Exists("c:\\vesk\\korv\\xc"));
  EXPECT_FALSE(m.host.Exists("c:\\vesk\\korv\\xc.exe"));
}

TEST(TargetFolder, FatRecordsFatAndTriesTheSecondMarker) {
  for (const Text fileSystem : {"FAT32", "ntfs"}) {
    TargetMachine m("xc", fileSystem);
    m.Deploy();
    EXPECT_EQ(m.host.Transcript(), Join({{"run " + kNameTool},
                                         testing::TargetFolder(kCmd, "C:\\TEMP\\", "D:"),
                                         {"run " + kRecordFat, "run " + kFatMarkerD,
                                          "run " + kLimitedTree, "run " + kStoreXc}}));
    EXPECT_EQ(m.program.SharedFindResult, -1);
  }
}

TEST(TargetFolder, NoDriveLetterOrNoReportCountsAsFat) {
  TargetMachine m("xc1", "NTFS");  // chkntfs knows D: only
  m.Deploy("8:");
  EXPECT_EQ(m.host.Transcript(),
            Join({{"run " + kNameTool},
                  testing::TargetFolder(kCmd, "C:\\TEMP\\", "8:"),
                  {"run " + kRecordFat,
                   "run " + kCmd +
                       "dir 8:\\ /ad /x|find \" ~1 \" >nul||copy /y c:\\vesk\\korv\\c_pan.txt "
                       "8:\\~1\\c_pan.ini",
                   "run c:\\vesk\\korv\\xc 8:\\~1 /t /c /y /g Everyone:f", "run " + kStoreXc1}}));
}

TEST(TargetFolder, StaleFileNamedTildeOneIsOpenedMadeNormalAndDeletedFirst) {
  TargetMachine m("xc", "NTFS");
  m.host.PutFile("D:\\~1", "stale", kAttrHiddenSystemReadOnly);
  m.Deploy();
  EXPECT_EQ(
      m.host.Transcript(),
      Join({{"run " + kNameTool, "run " + kGrantBeforeRemoval, "attributes D:\\~1 0",
             "delete D:\\~1"},
            testing::TargetFolder(kCmd, "C:\\TEMP\\", "D:"),
            {"run " + kRecordNtfs, "run " + kFullTree, "run " + kLimitedTree, "run " + kStoreXc}}));
  EXPECT_TRUE(m.host.IsFolder("D:\\~1"));
}

TEST(TargetFolder, ExistingFolderIsKeptWithItsContents) {
  TargetMachine m("xc", "NTFS");
  m.host.PutFolder("D:\\~1");
  m.host.PutFile("D:\\~1\\SYS.GHO", "image");
  m.Deploy();
  EXPECT_EQ(m.host.Commands()[1], kGrantBeforeRemoval);
  EXPECT_TRUE(m.host.IsFolder("D:\\~1"));
  EXPECT_EQ(m.host.Content("D:\\~1\\SYS.GHO"), "image");
}

}  // namespace
}  // namespace kvx
