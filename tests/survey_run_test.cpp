// The first half of the install configuration, step after step on one
// machine, run twice: what one step finds reaches the next, and a second run
// (tools already carrying their .exe names) comes to the same results.
#include <gtest/gtest.h>

#include "survey/survey.h"
#include "tests/support/simulated_windows.h"

namespace kvx {
namespace {

using testing::ScriptedHost;

const Text kDir = "c:\\vesk\\korv\\";
const Text kPass = "c:\\vesk\\korv\\krv_pass.ini";

// An NT5 machine with two disks; Windows on C: of the second disk, whose
// active partition is E:.
void SetUpMachine(ScriptedHost& host, testing::SimulatedWindows& machine) {
  host.SetEnv("Systemroot", "C:\\WINDOWS");
  host.SetEnv("COMSPEC", "C:\\WINDOWS\\system32\\cmd.exe");
  host.SetEnv("TMP", "C:\\Documents and Settings\\Administrator\\Local Settings\\Temp");
  host.SetShortForm("C:\\Documents and Settings\\Administrator\\Local Settings\\Temp",
                    "C:\\DOCUME~1\\ADMINI~1\\LOCALS~1\\Temp");
  host.PutFolder("C:\\DOCUME~1\\ADMINI~1\\LOCALS~1\\Temp");  // the same folder by its short name
  host.SetEnv("SystemDrive", "C:");
  host.SetRegistry(kRootCurrentUser,
                   "Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\Shell Folders\\Startup",
                   "D:\\Profiles\\Administrator\\Start Menu\\Programs\\Startup");
  for (const char* tool : {"zp", "fi", "fr", "nt"})
    host.PutFile(kDir + tool, "");
  machine.version = "Microsoft Windows XP [Version 5.1.2600]";
  machine.PutFixture("zp_raw_all_1.txt", "1:1 D: NTFS Yes\r\n");
  machine.PutFixture("zp_raw_all_2.txt", "2:1 E: NTFS Yes\r\n2:2 C: NTFS No\r\n");
  machine.PutFixture("zp_raw_normal_1.txt",
                     "Disk 1\r\n--\r\n1:1 E: NTFS\r\n1:2 C: NTFS\r\n1:3 F: NTFS\r\n");
}

struct FirstHalf {
  InstallContext context;
  ProgramContext program;
  SurveySettings settings;
  BootConfigPaths boot;
  NormalPartitionFindings partitions;
};

FirstHalf RunFirstHalf(ScriptedHost& host) {
  FirstHalf run;
  run.context = BuildInstallContext(host);
  PrepareCompanionTools(host, run.context);
  RunDiskSurvey(host, run.context, run.program);
  run.settings = FindBootPartitions(host, run.context);
  run.boot = PlaceLoader(host, run.context, run.program);
  DetectMachineModel(host, run.context, run.program);
  run.partitions = SurveyNormalPartitions(host, run.context, run.settings, run.program);
  WriteStartupScripts(host, run.context);
  return run;
}

TEST(FirstHalf, FindingsFlowFromStepToStepAndASecondRunAgrees) {
  ScriptedHost host;
  testing::SimulatedWindows machine(host);
  SetUpMachine(host, machine);
  for (int round = 1; round <= 2; ++round) {
    SCOPED_TRACE(round);
    const size_t before = host.Commands().size();
    const FirstHalf run = RunFirstHalf(host);
    EXPECT_EQ(host.Commands().size() - before, 42u);
    EXPECT_TRUE(host.Exists(kDir + "zptlx.exe"));
    EXPECT_EQ(run.program.WinFamily, "nt");
    EXPECT_EQ(host.IniValue(kPass, "spt_i", "spt_1"), "2");
    EXPECT_EQ(host.IniValue(kPass, "boot", "drvc"), "1");
    EXPECT_EQ(run.context.BootDiskIndex, "1");
    EXPECT_EQ(run.settings.BootDiskSuffix, "2");
    EXPECT_EQ(run.context.ActiveDrive, "E:");
    EXPECT_EQ(run.boot.BootConfigPath, "E:\\boot.ini");
    EXPECT_EQ(host.Content(kDir + "zp_all0.txt"),
              "1:1 D: NTFS Yes\r\n2:1 E: NTFS Yes\r\n2:2 C: NTFS No\r\n");
    EXPECT_EQ(host.Content(kDir + "zp_nor.txt"),
              "Disk 1\r\n--\r\n1:1 E: NTFS\r\n1:2 C: NTFS\r\n1:3 F: NTFS\r\n");
    EXPECT_EQ(run.partitions.Part3Pos, 38);
    EXPECT_EQ(host.Content(kDir + "KVX_rd1"),
              "@echo off\r\nD:\r\ncd\\\\\r\n"
              "cd \"D:\\Profiles\\Administrator\\Start Menu\\Programs\\Startup\\\"\r\n");
  }
  EXPECT_TRUE(machine.unhandled.empty());
  EXPECT_EQ(host.Commands()[28],
            "C:\\WINDOWS\\system32\\cmd.exe /c c:\\vesk\\korv\\zptlx 1 /find:normal /y "
            ">c:\\vesk\\korv\\zp_nor.txt");
}

}  // namespace
}  // namespace kvx
