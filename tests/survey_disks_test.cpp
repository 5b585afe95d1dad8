// Disk scans, the Windows family, the boot partitions and the loader's place.
#include <gtest/gtest.h>

#include "survey/survey.h"
#include "tests/support/sample_context.h"
#include "tests/support/simulated_windows.h"

namespace kvx {
namespace {

using testing::ScriptedHost;

const Text kPass = "c:\\vesk\\korv\\krv_pass.ini";

// Scan lines as the survey tool writes them: fields split by colons and
// blanks, the drive letter with a blank on each side, Yes on the active one.
const Text kDisk1 = "1:1 C: NTFS Yes\r\n1:2 D: NTFS No\r\n";
const Text kDisk2 = "2:1 E: FAT32 No\r\n";
const Text kDisk3 = "3:1 F: NTFS Yes\r\n3:2 C: NTFS No\r\n";

class DiskSurvey : public ::testing::Test {
 protected:
  void SetUp() override {
    host.PutFile("c:\\vesk\\korv\\zptlx.exe", "survey tool");
    machine.PutFixture("zp_raw_all_1.txt", kDisk1);
    machine.PutFixture("zp_raw_all_2.txt", kDisk2);
    machine.PutFixture("zp_raw_all_3.txt", kDisk3);
  }

  Text Survey(const Text& version) {
    machine.version = version;
    ProgramContext program;
    RunDiskSurvey(host, testing::SampleInstallContext(), program);
    EXPECT_TRUE(machine.unhandled.empty());
    return program.WinFamily;
  }

  ScriptedHost host;
  testing::SimulatedWindows machine{host};
};

TEST_F(DiskSurvey, ScansMergesAndTurnsTheMarkerToTheRunningFamily) {
  host.PutFile("c:\\vesk\\korv\\nt", "");
  EXPECT_EQ(Survey("Microsoft Windows [Version 6.1.7601]"), "vt");
  EXPECT_EQ(
      host.Commands(),
      (std::vector<Text>{
          "C:\\WINDOWS\\system32\\cmd.exe /c c:\\vesk\\korv\\zptlx 1 /find:all /GhostStyle /y "
          ">c:\\vesk\\korv\\zp_all.txt",
          "C:\\WINDOWS\\system32\\cmd.exe /c c:\\vesk\\korv\\zptlx 1 /find:all /GhostStyle /y "
          ">c:\\vesk\\korv\\zp_all0.txt",
          "C:\\WINDOWS\\system32\\cmd.exe /c c:\\vesk\\korv\\zptlx 2 /find:all /GhostStyle /y "
          ">c:\\vesk\\korv\\zp_all2.txt",
          "C:\\WINDOWS\\system32\\cmd.exe /c c:\\vesk\\korv\\zptlx 3 /find:all /GhostStyle /y "
          ">c:\\vesk\\korv\\zp_all3.txt",
          "C:\\WINDOWS\\system32\\cmd.exe /c c:\\vesk\\korv\\zptlx 4 /find:all /GhostStyle /y "
          ">c:\\vesk\\korv\\zp_all4.txt",
          "C:\\WINDOWS\\system32\\cmd.exe /c type "
          "c:\\vesk\\korv\\zp_all2.txt>>c:\\vesk\\korv\\zp_all0.txt",
          "C:\\WINDOWS\\system32\\cmd.exe /c type "
          "c:\\vesk\\korv\\zp_all3.txt>>c:\\vesk\\korv\\zp_all0.txt",
          "C:\\WINDOWS\\system32\\cmd.exe /c type "
          "c:\\vesk\\korv\\zp_all4.txt>>c:\\vesk\\korv\\zp_all0.txt",
          "C:\\WINDOWS\\system32\\cmd.exe /c ver|find \" 6.\" >nul&&ren c:\\vesk\\korv\\nt vt",
          "C:\\WINDOWS\\system32\\cmd.exe /c ver|find \" 5.\" >nul&&ren c:\\vesk\\korv\\vt nt",
      }));
  EXPECT_EQ(host.Content("c:\\vesk\\korv\\zp_all.txt"), kDisk1);
  EXPECT_EQ(host.Content("c:\\vesk\\korv\\zp_all0.txt"), kDisk1 + kDisk2 + kDisk3);
  EXPECT_TRUE(host.Exists("c:\\vesk\\korv\\vt"));
  EXPECT_FALSE(host.Exists("c:\\vesk\\korv\\nt"));
}

// Windows 10 and 11 print 10.0, which neither rename takes: the marker nt
// becomes vt by the version Windows reports, with one command more. Where
// that version is not to be had the marker stays as the setup package put it.
TEST_F(DiskSurvey, TenAndLaterTurnNtToVtByTheReportedVersion) {
  for (const Text reported : {"10.0.22631", ""}) {
    ScriptedHost machineHost;
    machineHost.PutFile("c:\\vesk\\korv\\nt", "");
    SystemInfoRecord info;
    info[0] = reported;
    machineHost.SetSystemInfo(info);
    testing::SimulatedWindows simulated(machineHost);
    simulated.version = "Microsoft Windows [Version 10.0.22631.4460]";
    ProgramContext program;
    RunDiskSurvey(machineHost, testing::SampleInstallContext(), program);
    EXPECT_EQ(program.WinFamily, reported.empty() ? "nt" : "vt");
    EXPECT_EQ(machineHost.Commands().back(),
              reported.empty() ? "C:\\WINDOWS\\system32\\cmd.exe /c ver|find \" 5.\" >nul&&ren "
                                 "c:\\vesk\\korv\\vt nt"
                               : "C:\\WINDOWS\\system32\\cmd.exe /c ren c:\\vesk\\korv\\nt vt");
  }
}

TEST_F(DiskSurvey, BothMarkersMeanVtAndNoMarkerMeansNt) {
  host.PutFile("c:\\vesk\\korv\\nt", "");
  host.PutFile("c:\\vesk\\korv\\vt", "");
  EXPECT_EQ(Survey("Microsoft Windows XP [Version 5.1.2600]"), "vt");
  EXPECT_TRUE(host.Exists("c:\\vesk\\korv\\nt"));

  ScriptedHost none;
  testing::SimulatedWindows noneWindows(none);
  noneWindows.version = "Microsoft Windows [Version 6.1.7601]";
  ProgramContext program;
  RunDiskSurvey(none, testing::SampleInstallContext(), program);
  EXPECT_EQ(program.WinFamily, "nt");
}

// The boot partitions, on scans left by the disk survey; the findstr lines,
// the two for /f loops and the INI writer run on the simulated machine.
class BootPartitions : public ::testing::Test {
 protected:
  void SetUp() override {
    host.PutFolder("C:\\TEMP");
    host.PutFile("c:\\vesk\\korv\\fi.exe", "ini writer");
  }

  void Scans(const Text& disk1, const Text& disk2, const Text& disk3, const Text& disk4) {
    host.PutFile("c:\\vesk\\korv\\zp_all.txt", disk1);
    host.PutFile("c:\\vesk\\korv\\zp_all0.txt", disk1 + disk2 + disk3 + disk4);
    host.PutFile("c:\\vesk\\korv\\zp_all2.txt", disk2);
    host.PutFile("c:\\vesk\\korv\\zp_all3.txt", disk3);
    host.PutFile("c:\\vesk\\korv\\zp_all4.txt", disk4);
  }

  ScriptedHost host;
  testing::SimulatedWindows machine{host};
  InstallContext context = testing::SampleInstallContext();
};

TEST_F(BootPartitions, SystemDriveOnTwoDisksTakesTheHigherDisk) {
  Scans(kDisk1, kDisk2, kDisk3, "");
  const SurveySettings settings = FindBootPartitions(host, context);

  const std::vector<std::string> transcript = host.Transcript();
  ASSERT_EQ(transcript.size(), 8u);
  EXPECT_EQ(
      transcript[0],
      "write C:\\TEMP\\vk_spt01.bat \r\n"
      "for /f \"tokens=2 delims=: \" %%i in ('findstr \" C: \" c:\\vesk\\korv\\zp_all0.txt') do "
      "c:\\vesk\\korv\\fi c:\\vesk\\korv\\krv_pass.ini [spt_i] spt_1=%%i&"
      "c:\\vesk\\korv\\fi c:\\vesk\\korv\\krv_pass.ini [spt_i] spt_2=C:\r\n");
  EXPECT_EQ(std::vector<std::string>(transcript.begin() + 1, transcript.begin() + 6),
            (std::vector<std::string>{
                "run C:\\TEMP\\vk_spt01.bat",
                "run C:\\WINDOWS\\system32\\cmd.exe /c findstr /c:\" C: \" "
                "c:\\vesk\\korv\\zp_all.txt&if not "
                "errorlevel 1 c:\\vesk\\korv\\fi c:\\vesk\\korv\\krv_pass.ini [boot] drvc=0",
                "run C:\\WINDOWS\\system32\\cmd.exe /c findstr /c:\" C: \" "
                "c:\\vesk\\korv\\zp_all2.txt&if not "
                "errorlevel 1 c:\\vesk\\korv\\fi c:\\vesk\\korv\\krv_pass.ini [boot] drvc=1",
                "run C:\\WINDOWS\\system32\\cmd.exe /c findstr /c:\" C: \" "
                "c:\\vesk\\korv\\zp_all3.txt&if not "
                "errorlevel 1 c:\\vesk\\korv\\fi c:\\vesk\\korv\\krv_pass.ini [boot] drvc=2",
                "run C:\\WINDOWS\\system32\\cmd.exe /c findstr /c:\" C: \" "
                "c:\\vesk\\korv\\zp_all4.txt&if not "
                "errorlevel 1 c:\\vesk\\korv\\fi c:\\vesk\\korv\\krv_pass.ini [boot] drvc=3",
            }));
  EXPECT_EQ(
      transcript[6],
      "write C:\\TEMP\\vk_apt01.bat \r\n"
      "for /f \"tokens=2,3 delims=: \" %%i in ('findstr \"Yes\" c:\\vesk\\korv\\zp_all3.txt') do "
      "c:\\vesk\\korv\\fi c:\\vesk\\korv\\krv_pass.ini [apt_i] apt_1=%%i&"
      "c:\\vesk\\korv\\fi c:\\vesk\\korv\\krv_pass.ini [apt_i] apt_2=%%j:\r\n");
  EXPECT_EQ(transcript[7], "run C:\\TEMP\\vk_apt01.bat");

  EXPECT_EQ(host.IniValue(kPass, "boot", "drvc"), "2");
  EXPECT_EQ(context.BootDiskIndex, "2");
  EXPECT_EQ(settings.BootDiskSuffix, "3");
  EXPECT_EQ(context.SystemDrive, "C:");
  EXPECT_EQ(context.ActiveDrive, "F:");
  EXPECT_EQ(host.IniValue(kPass, "spt_i", "spt_1"), "2");  // the last line naming C:
  EXPECT_EQ(host.IniValue(kPass, "apt_i", "apt_1"), "1");
  EXPECT_TRUE(machine.unhandled.empty());
}

TEST_F(BootPartitions, MissingOrOddDiskNumberFallsBackToTheFirstDiskScan) {
  // The system drive is on no scanned disk, and krv_pass.ini has no drvc.
  Scans("1:1 D: NTFS Yes\r\n", "", "", "");
  const SurveySettings missing = FindBootPartitions(host, context);
  EXPECT_EQ(context.BootDiskIndex, "");
  EXPECT_EQ(missing.BootDiskSuffix, "");
  EXPECT_NE(
      host.Content("C:\\TEMP\\vk_apt01.bat").find("('findstr \"Yes\" c:\\vesk\\korv\\zp_all.txt')"),
      Text::npos);

  // A drvc left as "01" by someone else is kept, but is no disk of the table.
  host.SetIniValue(kPass, "boot", "drvc", "01");
  context = testing::SampleInstallContext();
  const SurveySettings odd = FindBootPartitions(host, context);
  EXPECT_EQ(context.BootDiskIndex, "01");
  EXPECT_EQ(odd.BootDiskSuffix, "");
  EXPECT_NE(host.Content("C:\\TEMP\\vk_apt01.bat").find("c:\\vesk\\korv\\zp_all.txt')"),
            Text::npos);
}

// Values kept in krv_pass.ini from before (no scan line rewrote them) go
// unquoted into command lines and paths: a drive that is not a letter and a
// colon becomes C:, a disk number that is not digits no number at all.
TEST_F(BootPartitions, ReadBackValuesThatAreNoDriveOrNumberAreNotUsed) {
  Scans("", "", "", "");
  for (const Text value : {"..", "\\\\", "CC", "1:", "珂", "\"&"}) {
    host.SetIniValue(kPass, "spt_i", "spt_2", value);
    host.SetIniValue(kPass, "apt_i", "apt_2", value);
    host.SetIniValue(kPass, "boot", "drvc", Concat({"1 ", value}));
    context = testing::SampleInstallContext();
    FindBootPartitions(host, context);
    EXPECT_EQ(context.SystemDrive, "C:") << value;
    EXPECT_EQ(context.ActiveDrive, "C:") << value;
    EXPECT_EQ(context.BootDiskIndex, "") << value;
  }
  host.SetIniValue(kPass, "apt_i", "apt_2", "e:");
  FindBootPartitions(host, context);
  EXPECT_EQ(context.ActiveDrive, "e:");
}

TEST_F(BootPartitions, DrivesReadBackOfTheWrongLengthBecomeC) {
  // D: is on no disk, so a stale spt_2 of "D:\" stays, and is too long; the
  // letterless active partition writes "Pri:".
  Scans("1:1 Pri NTFS Yes\r\n1:2 C: NTFS No\r\n", "", "", "");
  context.SystemDrive = "D:";
  host.SetIniValue(kPass, "spt_i", "spt_2", "D:\\");
  FindBootPartitions(host, context);
  EXPECT_EQ(host.IniValue(kPass, "apt_i", "apt_2"), "Pri:");
  EXPECT_EQ(context.SystemDrive, "C:");
  EXPECT_EQ(context.ActiveDrive, "C:");

  // Absent keys read back empty and become C: as well.
  ScriptedHost bare;
  InstallContext fresh = testing::SampleInstallContext();
  fresh.SystemDrive = "E:";
  FindBootPartitions(bare, fresh);
  EXPECT_EQ(fresh.SystemDrive, "C:");
  EXPECT_EQ(fresh.ActiveDrive, "C:");
}

TEST(LoaderPlacement, CopiesProtectsAndNamesTheBootConfiguration) {
  ScriptedHost host;
  InstallContext context = testing::SampleInstallContext();
  context.ActiveDrive = "D:";
  ProgramContext program;
  program.WinFamily = "nt";
  const BootConfigPaths legacy = PlaceLoader(host, context, program);
  EXPECT_EQ(host.Transcript(),
            (std::vector<std::string>{
                "run C:\\WINDOWS\\system32\\cmd.exe /c xcopy c:\\KVLDR D:\\ /k /h /r /c /y ",
                "run C:\\WINDOWS\\system32\\cmd.exe /c xcopy c:\\kvldr.mbr D:\\ /k /h /r /c /y ",
                "attributes C:\\KVLDR 7",
                "attributes C:\\kvldr.mbr 7",
                "attributes D:\\KVLDR 7",
                "attributes D:\\kvldr.mbr 7",
            }));
  EXPECT_EQ(legacy.BootConfigPath, "D:\\boot.ini");
  EXPECT_EQ(legacy.BootConfigBackupPath, "D:\\boot.kvx");

  // Anything but exactly "nt" takes the boot store.
  for (const Text family : {"vt", "NT", ""}) {
    program.WinFamily = family;
    const BootConfigPaths store = PlaceLoader(host, context, program);
    EXPECT_EQ(store.BootConfigPath, "D:\\boot\\bcd");
    EXPECT_EQ(store.BootConfigBackupPath, "D:\\bcd.kvx");
  }
}

}  // namespace
}  // namespace kvx
