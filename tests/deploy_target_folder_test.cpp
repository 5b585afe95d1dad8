// The hidden folder ~1 on the target partition: what happens to a file or a
// folder of that name already there, NTFS against FAT, and which rights the
// folder finally gets by the name the access tool came with.
#include <gtest/gtest.h>

#include "deploy/deploy.h"
#include "tests/support/sample_context.h"
#include "tests/support/scripted_host.h"

namespace kvx {
namespace {

using testing::ScriptedHost;
using Lines = std::vector<std::string>;

const Text kNameTool = "C:\\WINDOWS\\system32\\cmd.exe /c ren c:\\vesk\\korv\\xc* xc.exe";
const Text kReportD = "C:\\WINDOWS\\system32\\cmd.exe /c chkntfs D:>\"C:\\TEMP\\vk_001.tmp\"";
const Text kUnhideFolder = "C:\\WINDOWS\\system32\\cmd.exe /c attrib -h -s -r D:\\~1";
const Text kUnhideContents = "C:\\WINDOWS\\system32\\cmd.exe /c attrib -h -s -r D:\\~1\\*.*";
const Text kCopyMarker =
    "C:\\WINDOWS\\system32\\cmd.exe /c copy /y c:\\vesk\\korv\\c_pan.txt D:\\~1\\";
const Text kHideFolder = "C:\\WINDOWS\\system32\\cmd.exe /c attrib +h D:\\~1";
const Text kRecordNtfs = "c:\\vesk\\korv\\fi c:\\vesk\\korv\\krv_drv.ini [part] type=NTFS";
const Text kRecordFat = "c:\\vesk\\korv\\fi c:\\vesk\\korv\\krv_drv.ini [part] type=FAT";
const Text kFatMarkerD =
    "C:\\WINDOWS\\system32\\cmd.exe /c dir D:\\ /ad /x|find \" ~1 \" >nul||copy /y "
    "c:\\vesk\\korv\\c_pan.txt D:\\~1\\c_pan.ini";
const Text kGrantBeforeRemoval = "c:\\vesk\\korv\\xc D:\\~1 /c /y /g Everyone:f";
const Text kFullTree = "c:\\vesk\\korv\\xc D:\\~1 /t /c /y /g Everyone:f";
const Text kLimitedTree = "c:\\vesk\\korv\\xc D:\\~1 /t /c /y /g Everyone:rewx";
const Text kStoreXc1 = "C:\\WINDOWS\\system32\\cmd.exe /c ren c:\\vesk\\korv\\xc.exe xc1";
const Text kStoreXc = "C:\\WINDOWS\\system32\\cmd.exe /c ren c:\\vesk\\korv\\xc.exe xc";

// The interpreter's "ren" of the access tool, without a trace in the log.
void MoveTool(ScriptedHost& m, const Text& from, const Text& to) {
  if (!m.Exists(from))
    return;
  const Text content = m.Content(from);
  m.RemovePath(from);
  m.PutFile(to, content);
}

// A machine with a second drive D:, the access tool stored under the given
// name, and chkntfs reporting the given text for D:.
struct TargetMachine {
  ScriptedHost host;
  InstallContext context = testing::SampleInstallContext();
  ProgramContext program;

  TargetMachine(const Text& toolName, const Text& report) {
    host.AddDrive("D:");
    host.PutFolder("C:\\TEMP");
    host.PutFile("c:\\vesk\\korv\\c_pan.txt", "panel");
    host.PutFile("c:\\vesk\\korv\\" + toolName, "access tool");
    host.OnCommand(kNameTool, [toolName](ScriptedHost& m, const Text&) {
      MoveTool(m, "c:\\vesk\\korv\\" + toolName, "c:\\vesk\\korv\\xc.exe");
    });
    host.OnCommand(kStoreXc1, [](ScriptedHost& m, const Text&) {
      MoveTool(m, "c:\\vesk\\korv\\xc.exe", "c:\\vesk\\korv\\xc1");
    });
    host.OnCommand(kStoreXc, [](ScriptedHost& m, const Text&) {
      MoveTool(m, "c:\\vesk\\korv\\xc.exe", "c:\\vesk\\korv\\xc");
    });
    host.OnCommand(kReportD, [report](ScriptedHost& m, const Text&) {
      m.PutFile("C:\\TEMP\\vk_001.tmp", report);
    });
  }

  void Deploy(const Text& drive = "D:") {
    DeployTargetFolder(host, context, TargetPartition{"2", drive}, program);
  }
};

const Text kNtfsReport = "The type of the file system is NTFS.\r\nD: is not dirty.\r\n";
const Text kFatReport = "The type of the file system is FAT32.\r\nD: is not dirty.\r\n";

TEST(TargetFolder, FreshNtfsPartitionWithToolStoredAsXc) {
  TargetMachine m("xc", kNtfsReport);
  m.Deploy();
  EXPECT_EQ(
      m.host.Transcript(),
      (Lines{"run " + kNameTool, "run " + kReportD, "mkdir D:\\~1", "run " + kUnhideFolder,
             "run " + kUnhideContents, "run " + kCopyMarker, "run " + kHideFolder,
             "run " + kRecordNtfs, "run " + kFullTree, "run " + kLimitedTree, "run " + kStoreXc}));
  EXPECT_TRUE(m.host.IsFolder("D:\\~1"));
  EXPECT_TRUE(m.host.Exists("c:\\vesk\\korv\\xc"));
  EXPECT_FALSE(m.host.Exists("c:\\vesk\\korv\\xc.exe"));
  // The report probe is the last shared probe of the run.
  EXPECT_EQ(m.program.SharedFileText, kNtfsReport);
  EXPECT_EQ(m.program.SharedFindResult, 31);
  EXPECT_NE(m.program.SharedFileNumber, 0);
}

TEST(TargetFolder, ToolStoredAsXc1KeepsItsNameAndGivesTheFullGrantLast) {
  TargetMachine m("xc1", kNtfsReport);
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
  for (const Text& report : {kFatReport, Text("The type of the file system is ntfs.\r\n")}) {
    TargetMachine m("xc", report);
    m.Deploy();
    EXPECT_EQ(m.host.Commands(),
              (std::vector<Text>{kNameTool, kReportD, kUnhideFolder, kUnhideContents, kCopyMarker,
                                 kHideFolder, kRecordFat, kFatMarkerD, kLimitedTree, kStoreXc}));
    EXPECT_EQ(m.program.SharedFindResult, -1);
  }
}

TEST(TargetFolder, NoDriveLetterOrNoReportCountsAsFat) {
  TargetMachine m("xc1", kNtfsReport);  // the report effect is for D: only
  m.Deploy("8:");
  EXPECT_EQ(m.host.Commands(),
            (std::vector<Text>{
                kNameTool, "C:\\WINDOWS\\system32\\cmd.exe /c chkntfs 8:>\"C:\\TEMP\\vk_001.tmp\"",
                "C:\\WINDOWS\\system32\\cmd.exe /c attrib -h -s -r 8:\\~1",
                "C:\\WINDOWS\\system32\\cmd.exe /c attrib -h -s -r 8:\\~1\\*.*",
                "C:\\WINDOWS\\system32\\cmd.exe /c copy /y c:\\vesk\\korv\\c_pan.txt 8:\\~1\\",
                "C:\\WINDOWS\\system32\\cmd.exe /c attrib +h 8:\\~1", kRecordFat,
                "C:\\WINDOWS\\system32\\cmd.exe /c dir 8:\\ /ad /x|find \" ~1 \" >nul||copy /y "
                "c:\\vesk\\korv\\c_pan.txt 8:\\~1\\c_pan.ini",
                "c:\\vesk\\korv\\xc 8:\\~1 /t /c /y /g Everyone:f", kStoreXc1}));
}

TEST(TargetFolder, StaleFileNamedTildeOneIsOpenedMadeNormalAndDeletedFirst) {
  TargetMachine m("xc", kNtfsReport);
  m.host.PutFile("D:\\~1", "stale", kAttrHiddenSystemReadOnly);
  m.Deploy();
  const Lines transcript = m.host.Transcript();
  ASSERT_GE(transcript.size(), 6u);
  EXPECT_EQ(Lines(transcript.begin(), transcript.begin() + 6),
            (Lines{"run " + kNameTool, "run " + kGrantBeforeRemoval, "attributes D:\\~1 0",
                   "delete D:\\~1", "run " + kReportD, "mkdir D:\\~1"}));
  EXPECT_TRUE(m.host.IsFolder("D:\\~1"));
}

TEST(TargetFolder, ExistingFolderIsKeptWithItsContents) {
  TargetMachine m("xc", kNtfsReport);
  m.host.PutFolder("D:\\~1");
  m.host.PutFile("D:\\~1\\SYS.GHO", "image");
  m.Deploy();
  EXPECT_EQ(m.host.Commands()[1], kGrantBeforeRemoval);
  EXPECT_TRUE(m.host.IsFolder("D:\\~1"));
  EXPECT_EQ(m.host.Content("D:\\~1\\SYS.GHO"), "image");
}

}  // namespace
}  // namespace kvx
