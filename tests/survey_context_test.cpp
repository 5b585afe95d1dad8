// The install context and the companion tools' working names.
#include <gtest/gtest.h>

#include "survey/survey.h"
#include "tests/support/expected_blocks.h"
#include "tests/support/sample_context.h"
#include "tests/support/simulated_windows.h"

namespace kvx {
namespace {

using testing::ScriptedHost;

const char kLanguage[] = "SYSTEM\\CurrentControlSet\\Control\\Nls\\Language\\InstallLanguage";
const char kStartup[] =
    "Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\Shell Folders\\Startup";

// A 64-bit NT6 machine of a user whose name holds a blank.
void SetUpSeven(ScriptedHost& host) {
  host.SetRegistry(kRootLocalMachine, kLanguage, "0804");
  host.SetRegistry(
      kRootCurrentUser, kStartup,
      "C:\\Users\\Li Wei\\AppData\\Roaming\\Microsoft\\Windows\\Start Menu\\Programs\\Startup");
  host.SetEnv("Systemroot", "C:\\Windows");
  host.SetEnv("COMSPEC", "C:\\Windows\\system32\\cmd.exe");
  host.SetEnv("TMP", "C:\\Users\\Li Wei\\AppData\\Local\\Temp");
  host.SetShortForm("C:\\Users\\Li Wei\\AppData\\Local\\Temp",
                    "C:\\Users\\LIWEI~1\\AppData\\Local\\Temp");
  host.SetEnv("SystemDrive", "C:");
  host.SetEnv("ProgramFiles(x86)", "C:\\Program Files (x86)");
}

TEST(InstallContext, ChineseMachineGivesTheSampleContext) {
  ScriptedHost host;  // no language value: Chinese names
  host.SetRegistry(kRootCurrentUser, kStartup,
                   "C:\\Documents and Settings\\Administrator\\「开始」菜单\\程序\\启动");
  host.SetEnv("Systemroot", "C:\\WINDOWS");
  host.SetEnv("COMSPEC", "C:\\WINDOWS\\system32\\cmd.exe");
  host.SetEnv("TMP", "C:\\TEMP");
  host.SetEnv("SystemDrive", "C:");
  const InstallContext built = BuildInstallContext(host);
  const InstallContext sample = testing::SampleInstallContext();
  using C = InstallContext;
  for (Text C::*field : {&C::ProductTitle,
                         &C::ProductName,
                         &C::LoaderInProductDir,
                         &C::LoaderAtRoot,
                         &C::LoaderNameRooted,
                         &C::LoaderMbrNameRooted,
                         &C::LoaderMbrName,
                         &C::MakerDir,
                         &C::ProductRunDir,
                         &C::ProductDirSlash,
                         &C::ProductDir,
                         &C::PanelTxtName,
                         &C::PanelIniName,
                         &C::TildeSuffix,
                         &C::Rd0Path,
                         &C::Rd1Path,
                         &C::DrvIniPath,
                         &C::IdIniPath,
                         &C::BcdAllIniPath,
                         &C::PassIniPath,
                         &C::SuExePath,
                         &C::SuPathNoExt,
                         &C::SuName,
                         &C::SystemRootSlash,
                         &C::CommandInterpreter,
                         &C::ShellPrefix,
                         &C::TempDirSlash,
                         &C::StartupDirSlash,
                         &C::EveryoneName,
                         &C::ActiveDrive,
                         &C::SystemDrive,
                         &C::BootDiskIndex,
                         &C::ProgramFilesX86}) {
    EXPECT_EQ(built.*field, sample.*field);
  }
  EXPECT_EQ(built.SystemInfo, SystemInfoRecord());
}

TEST(InstallContext, ReadsInOrderAndTakesTheShortScratchFolder) {
  ScriptedHost host;
  SetUpSeven(host);
  const InstallContext c = BuildInstallContext(host);
  EXPECT_EQ(c.SystemRootSlash, "C:\\Windows\\");
  EXPECT_EQ(c.ShellPrefix, "C:\\Windows\\system32\\cmd.exe /c ");
  EXPECT_EQ(c.TempDirSlash, "C:\\Users\\LIWEI~1\\AppData\\Local\\Temp\\");
  EXPECT_EQ(
      c.StartupDirSlash,
      "C:\\Users\\Li Wei\\AppData\\Roaming\\Microsoft\\Windows\\Start Menu\\Programs\\Startup\\");
  EXPECT_EQ(c.ProgramFilesX86, "C:\\Program Files (x86)");

  // Reads only, in the order of the values; no command runs.
  std::vector<std::string> reads;
  for (const auto& op : host.Log())
    reads.push_back(op.name + " " + op.path);
  EXPECT_EQ(
      reads,
      (std::vector<std::string>{
          "ReadRegistryText SYSTEM\\CurrentControlSet\\Control\\Nls\\Language\\InstallLanguage",
          "GetEnv Systemroot",
          "GetEnv COMSPEC",
          "GetEnv COMSPEC",
          "GetEnv TMP",
          "ShortPath C:\\Users\\Li Wei\\AppData\\Local\\Temp",
          "ReadRegistryText Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\Shell "
          "Folders\\Startup",
          "GetEnv SystemDrive",
          "GetEnv ProgramFiles(x86)",
      }));
  EXPECT_EQ(host.Log()[0].number, kRootLocalMachine);
  EXPECT_EQ(host.Log()[6].number, kRootCurrentUser);
}

TEST(InstallContext, EmptyComspecOtherLanguageAndMissingValues) {
  ScriptedHost host;
  host.SetRegistry(kRootLocalMachine, kLanguage, "0409");
  host.SetEnv("COMSPEC", "");
  host.SetEnv("Systemroot", "C:\\WINDOWS");
  const InstallContext c = BuildInstallContext(host);
  EXPECT_EQ(c.ProductTitle, "KORVAX v2013.01.23");
  EXPECT_EQ(c.ProductName, "KORVAX");
  EXPECT_EQ(c.CommandInterpreter, "C:\\WINDOWS\\system32\\cmd.exe");
  EXPECT_EQ(c.ShellPrefix, "C:\\WINDOWS\\system32\\cmd.exe /c ");
  // Unset TMP, absent Startup value: used as they are.
  EXPECT_EQ(c.TempDirSlash, "\\");
  EXPECT_EQ(c.StartupDirSlash, "\\");
  EXPECT_EQ(c.SystemDrive, "");
  EXPECT_EQ(c.ProgramFilesX86, "");

  // Without the language value the Chinese names are used.
  ScriptedHost bare;
  EXPECT_EQ(BuildInstallContext(bare).ProductName, "珂瓦克斯");
}

class CompanionTools : public ::testing::Test {
 protected:
  void SetUp() override {
    host.PutFolder("C:\\SETUP");
    host.SetCurrentFolder("C:\\SETUP");
    host.PutFile("c:\\vesk\\korv\\ghost32.exe", "imaging tool");
    machine.PutFixture("ghststat.txt", "status");
  }

  ScriptedHost host;
  testing::SimulatedWindows machine{host};
  const testing::Lines expected = testing::CompanionTools("C:\\WINDOWS\\system32\\cmd.exe /c ");
};

TEST_F(CompanionTools, FirstRunNamesToolsAndKeepsTheStatusFile) {
  host.PutFile("c:\\vesk\\korv\\zp", "survey tool");
  host.PutFile("c:\\vesk\\korv\\fi", "ini writer");
  host.PutFile("c:\\vesk\\korv\\fr", "replacer");
  PrepareCompanionTools(host, testing::SampleInstallContext());
  EXPECT_EQ(host.Transcript(), expected);
  EXPECT_EQ(host.Content("c:\\vesk\\korv\\zptlx.exe"), "survey tool");
  EXPECT_EQ(host.Content("c:\\vesk\\korv\\fi.exe"), "ini writer");
  EXPECT_EQ(host.Content("c:\\vesk\\korv\\fr.exe"), "replacer");
  EXPECT_FALSE(host.Exists("c:\\vesk\\korv\\zp"));
  EXPECT_EQ(host.Content("c:\\vesk\\korv\\GHSTSTAT.TXT"), "status");
  EXPECT_FALSE(host.Exists("C:\\SETUP\\GHSTSTAT.TXT"));
}

TEST_F(CompanionTools, SecondRunWithExeNamesAndNoImagingToolChangesNothing) {
  host.PutFile("c:\\vesk\\korv\\zptlx.exe", "survey tool");
  host.PutFile("c:\\vesk\\korv\\fi.exe", "ini writer");
  host.PutFile("c:\\vesk\\korv\\fr.exe", "replacer");
  host.RemovePath("c:\\vesk\\korv\\ghost32.exe");
  const std::vector<Text> before = host.Paths();
  PrepareCompanionTools(host, testing::SampleInstallContext());
  EXPECT_EQ(host.Transcript(), expected);
  EXPECT_EQ(host.Paths(), before);
  EXPECT_EQ(host.Content("c:\\vesk\\korv\\zptlx.exe"), "survey tool");
}

}  // namespace
}  // namespace kvx
