// Machine model tags and the boot disk's normal partitions.
#include <gtest/gtest.h>

#include "survey/survey.h"
#include "tests/support/sample_context.h"
#include "tests/support/simulated_windows.h"

namespace kvx {
namespace {

using testing::ScriptedHost;

class MachineModel : public ::testing::Test {
 protected:
  // wmic describes the BIOS with wmicText (no wmic at all when it is empty).
  ModelFindings Detect(const Text& wmicText, const Text& systemText) {
    host.PutFolder("C:\\TEMP");
    if (!wmicText.empty())
      machine.PutFixture("wmic_bios.txt", wmicText);
    SystemInfoRecord info;
    info[4] = "REM_ASUS in the fifth field is not looked at";
    info[5] = systemText;
    host.SetSystemInfo(info);
    return DetectMachineModel(host, context, program);
  }

  ScriptedHost host;
  testing::SimulatedWindows machine{host};
  InstallContext context = testing::SampleInstallContext();
  ProgramContext program;
};

TEST_F(MachineModel, GathersWmicTextAppendsTheSystemTextAndSearches) {
  const Text wmic = "Manufacturer=LENOVO\r\nREM_thinkpad T61\r\n";
  const ModelFindings found = Detect(wmic, "TOSHIBA REM_Toshiba");
  EXPECT_EQ(
      host.Commands(),
      (std::vector<Text>{
          "C:\\WINDOWS\\system32\\cmd.exe /c wmic exit",
          "C:\\WINDOWS\\system32\\cmd.exe /c wmic bios list full>\"C:\\TEMP\\vk_bios1.tmp\"",
          "C:\\WINDOWS\\system32\\cmd.exe /c wmic csproduct list full>>\"C:\\TEMP\\vk_bios1.tmp\"",
          "C:\\WINDOWS\\system32\\cmd.exe /c wmic baseboard list full>>\"C:\\TEMP\\vk_bios1.tmp\"",
          "C:\\WINDOWS\\system32\\cmd.exe /c type "
          "\"C:\\TEMP\\vk_bios1.tmp\">\"C:\\TEMP\\vk_bios2.tmp\"",
      }));
  // The appended text stays in the file, and is what was searched; wmic frames
  // its list with two blank lines on each side.
  const Text listed = "\r\n\r\n" + wmic + "\r\n\r\n";
  EXPECT_EQ(host.Content("C:\\TEMP\\vk_bios2.tmp"), listed + "TOSHIBA REM_Toshiba");
  EXPECT_EQ(program.SharedFileText, listed + "TOSHIBA REM_Toshiba");
  EXPECT_EQ(context.SystemInfo[5], "TOSHIBA REM_Toshiba");
  EXPECT_EQ(found.ThinkPadPos, 25);
  EXPECT_EQ(found.ToshibaPos, 55);
  EXPECT_EQ(found.MicroStarPos, kNotFound);
  EXPECT_EQ(found.AsusPos, kNotFound);
  EXPECT_EQ(program.SharedFindResult, kNotFound);  // the last search, REM_ASUS
}

TEST_F(MachineModel, TagOnlyInTheSystemTextOrAtTheVeryStartCounts) {
  // No wmic on the machine: the file is empty and only the system text holds a tag.
  const ModelFindings onlySystem = Detect("", "rem_micro-star MS-7721");
  EXPECT_EQ(onlySystem.MicroStarPos, 0);
  EXPECT_EQ(onlySystem.ThinkPadPos, kNotFound);
  EXPECT_EQ(onlySystem.AsusPos, kNotFound);
}

// The normal-partition list and the recovery-line batch, run on the
// simulated machine.
class NormalPartitions : public ::testing::Test {
 protected:
  void SetUp() override {
    host.PutFolder("C:\\TEMP");
    host.PutFile("c:\\vesk\\korv\\zptlx.exe", "survey tool");
  }

  NormalPartitionFindings Survey(const Text& suffix, const Text& normalList) {
    machine.PutFixture("zp_raw_normal_" + context.BootDiskIndex + ".txt", normalList);
    SurveySettings settings;
    settings.BootDiskSuffix = suffix;
    const NormalPartitionFindings found = SurveyNormalPartitions(host, context, settings, program);
    EXPECT_TRUE(machine.unhandled.empty());
    return found;
  }

  ScriptedHost host;
  testing::SimulatedWindows machine{host};
  InstallContext context = testing::SampleInstallContext();
  ProgramContext program;
};

TEST_F(NormalPartitions, ListsTheBootDiskAndFindsRecoveryLabels) {
  host.PutFile("c:\\vesk\\korv\\zp_all.txt", "1:1 C: NTFS Yes\r\n");
  // findstr takes the first line that names RECOVERY at all.
  const Text list =
      "Disk 0\r\n--\r\n0:1 C: NTFS SYSTEM\r\n0:2 D: NTFS HP_RECOVERY\r\n"
      "0:3 E: NTFS Lenovo_Rec\r\n0:4 F: FAT32 Recovery\r\n";
  const NormalPartitionFindings found = Survey("", list);

  const std::vector<std::string> transcript = host.Transcript();
  ASSERT_EQ(transcript.size(), 5u);
  EXPECT_EQ(transcript[0],
            "run C:\\WINDOWS\\system32\\cmd.exe /c copy /y c:\\vesk\\korv\\zp_all.txt "
            "c:\\vesk\\korv\\zp_nor_d.txt");
  EXPECT_EQ(transcript[1],
            "run C:\\WINDOWS\\system32\\cmd.exe /c c:\\vesk\\korv\\zptlx 0 /find:normal /y "
            ">c:\\vesk\\korv\\zp_nor.txt");
  EXPECT_EQ(transcript[2], "delete C:\\TEMP\\vk_hp01.txt");
  EXPECT_EQ(transcript[3],
            "write C:\\TEMP\\vk_hp01.bat \r\nfor /f \"delims=\" %%a in ('findstr /i \" RECOVERY\" "
            "c:\\vesk\\korv\\zp_nor.txt') do echo %%a>C:\\TEMP\\vk_hp01.txt&goto :eof\r\n");
  EXPECT_EQ(transcript[4], "run C:\\TEMP\\vk_hp01.bat");

  EXPECT_EQ(found.PresarioPos, kNotFound);
  EXPECT_EQ(found.FactoryImPos, kNotFound);
  EXPECT_EQ(found.HpRecoverPos, 44);
  EXPECT_EQ(found.LenovoParPos, kNotFound);
  EXPECT_EQ(found.LenovoRecPos, 69);
  EXPECT_EQ(found.RecoveryPos, 93);
  EXPECT_EQ(found.Part3Pos, 57);
  EXPECT_EQ(found.RecoveryLineMarkPos, 1);
  EXPECT_EQ(program.SharedFileText, "0:2 D: NTFS HP_RECOVERY\r\n");
  EXPECT_EQ(program.SharedFindResult, 1);
}

TEST_F(NormalPartitions, RecoveryCountsOnlyWithItsBlankAndTheMarkOnlyWithItsBlank) {
  context.BootDiskIndex = "1";
  const NormalPartitionFindings found = Survey("2", "1:1 E: NTFS x\r\n1:2:RECOVERY\r\n");
  EXPECT_EQ(found.RecoveryPos, kNotFound);
  EXPECT_EQ(found.Part3Pos, kNotFound);
  EXPECT_EQ(found.RecoveryLineMarkPos, kNotFound);

  // No matching line: the batch leaves no file and the mark is absent.
  ScriptedHost quiet;
  quiet.PutFolder("C:\\TEMP");
  ProgramContext other;
  EXPECT_EQ(SurveyNormalPartitions(quiet, context, SurveySettings(), other).RecoveryLineMarkPos,
            kNotFound);
}

TEST_F(NormalPartitions, DynamicDiskInAnyCaseCopiesItsScan) {
  context.BootDiskIndex = "1";
  const Text scan = "1:1 E: NTFS Yes DYNAMIC_disk\r\n1:2 F: NTFS No\r\n";
  host.PutFile("c:\\vesk\\korv\\zp_all2.txt", scan);
  host.PutFile("c:\\vesk\\korv\\zp_nor.txt", "left by an earlier run");
  Survey("2", "the tool must not run");
  EXPECT_EQ(host.Commands(),
            (std::vector<Text>{
                "C:\\WINDOWS\\system32\\cmd.exe /c copy /y c:\\vesk\\korv\\zp_all2.txt "
                "c:\\vesk\\korv\\zp_nor_d.txt",
                "C:\\WINDOWS\\system32\\cmd.exe /c copy /y c:\\vesk\\korv\\zp_all2.txt "
                "c:\\vesk\\korv\\zp_nor.txt",
                "C:\\TEMP\\vk_hp01.bat",
            }));
  EXPECT_EQ(host.Content("c:\\vesk\\korv\\zp_nor.txt"), scan);
}

TEST_F(NormalPartitions, EmptyDiskNumberGivesTwoBlanksAndABareSearch) {
  context.BootDiskIndex = "";
  const NormalPartitionFindings found = Survey("", "0:1 C: NTFS\r\n0:3 D: NTFS\r\n");
  EXPECT_EQ(host.Commands()[1],
            "C:\\WINDOWS\\system32\\cmd.exe /c c:\\vesk\\korv\\zptlx  /find:normal /y "
            ">c:\\vesk\\korv\\zp_nor.txt");
  EXPECT_EQ(found.Part3Pos, 14);
}

}  // namespace
}  // namespace kvx
