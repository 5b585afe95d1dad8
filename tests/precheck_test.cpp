// The pre-install run (argument "1") on the sample machines of the bench
// (tests/e2e/machines): the marker's final name is the verdict, every refusal
// explains itself in one stop box, the first refusal ends the run, and the
// drive scan asks first.
#include <gtest/gtest.h>

#include <optional>

#include "entry/program.h"
#include "tests/support/expected_blocks.h"
#include "tests/support/sample_machines.h"
#include "tests/support/simulated_windows.h"

namespace kvx {
namespace {

using testing::ScriptedHost;
using Lines = std::vector<std::string>;

const std::string kCmd = testing::kSampleShell;
const std::string kTemp = "C:\\users\\Public\\Temp";
const std::string kAllUsersStartup = "C:\\ProgramData\\「开始」菜单\\程序\\启动";

// The scan of drives D: to Z: for the product on another Windows.
std::string ScanScript(const std::string& temp) {
  return "\r\nfor %%i in (d,e,f,g,h,i,j,k,l,m,n,o,p,q,r,s,t,u,v,w,x,y,z) do if exist "
         "%%i:\\vesk\\korv\\ghost.img echo sys2>" +
         temp + "\\vk_sys2.txt\r\n";
}

class PreInstallRun : public ::testing::Test {
 protected:
  // A new host with the sample machine as the setup package leaves it for "1".
  void Load(const std::string& name) {
    machine.reset();
    host = ScriptedHost();
    machine.emplace(host);
    testing::LoadSampleMachine(name, "1", host, *machine);
  }

  void Run() {
    EXPECT_EQ(RunProgram(host), 0);
    EXPECT_TRUE(machine->unhandled.empty());
  }

  // The marker's name after the run, or "" when it is gone.
  Text Marker() const {
    for (const Text name : {"win_lan", "win_lan1", "win_lan2"}) {
      if (host.Exists(std::string(testing::kSetupFolder) + "\\" + name))
        return name;
    }
    return "";
  }

  // The run ended with exactly this stop box (no caption) after renaming the
  // marker in the setup folder, whose name has a blank, and nothing came
  // after it.
  void ExpectRefusal(const Text& verdict, const Text& message) {
    const std::vector<testing::Message> messages = host.Messages();
    ASSERT_FALSE(messages.empty());
    EXPECT_EQ(messages.back().text, message);
    EXPECT_EQ(messages.back().style, 0x10);
    EXPECT_FALSE(messages.back().caption.has_value());
    const Lines t = host.Transcript();
    ASSERT_GE(t.size(), 3u);
    EXPECT_EQ(Lines(t.end() - 3, t.end()),
              (Lines{"run " + kCmd + "ren \"C:\\KVX Setup\\win_lan\" " + verdict,
                     "message 0x10 - " + message, "end 0"}));
  }

  ScriptedHost host;
  std::optional<testing::SimulatedWindows> machine;  // made anew for every machine
};

// win7-en: the product only in its own folder on C:, which is not scanned.
TEST_F(PreInstallRun, CleanMachinePassesAndKeepsOnlyTheScanScript) {
  Load("win7-en");
  ASSERT_TRUE(host.Exists("c:\\vesk\\korv\\ghost.img"));
  Run();
  EXPECT_EQ(host.Transcript(), (Lines{"run " + kCmd + "del /q \"" + kTemp + "\\vk_sys2.txt\"",
                                      "write " + kTemp + "\\vk_sys2.bat " + ScanScript(kTemp),
                                      "run " + kTemp + "\\vk_sys2.bat", "end 0"}));
  EXPECT_EQ(host.Content(kTemp + "\\vk_sys2.bat"), ScanScript(kTemp));
  EXPECT_FALSE(host.Exists(kTemp + "\\vk_sys2.txt"));
  EXPECT_EQ(Marker(), "win_lan");
}

TEST_F(PreInstallRun, StaleScanFindingNoLongerAsks) {
  Load("win7-en");
  host.PutFile(kTemp + "\\vk_sys2.txt", "sys2\r\n");
  Run();
  EXPECT_TRUE(host.Messages().empty());
  EXPECT_FALSE(host.Exists(kTemp + "\\vk_sys2.txt"));
  EXPECT_EQ(Marker(), "win_lan");
}

// other-windows: the product on D:; the machine's No, and a closed box.
TEST_F(PreInstallRun, ProductOnAnotherDriveAskedAndNoGivesUp) {
  for (const int no : {7, 2}) {
    Load("other-windows");
    host.AnswerMessages({no});
    host.PutFile("c:\\boot\\korv\\korv.ini", "old");  // must not be reached
    Run();
    EXPECT_EQ(host.Transcript(),
              (Lines{"run " + kCmd + "del /q \"" + kTemp + "\\vk_sys2.txt\"",
                     "write " + kTemp + "\\vk_sys2.bat " + ScanScript(kTemp),
                     "run " + kTemp + "\\vk_sys2.bat",
                     "message 0x34 警告 " + testing::kOtherWindowsQuestion,
                     "run " + kCmd + "del /q \"" + kTemp + "\\vk_sys2.txt\"",
                     "run " + kCmd + "del /q \"" + kTemp + "\\vk_sys2.bat\"",
                     "run " + kCmd + "ren \"C:\\KVX Setup\\win_lan\" win_lan1", "end 0"}))
        << "answer " << no;
    ASSERT_EQ(host.Messages().size(), 1u);
    EXPECT_EQ(host.Messages()[0].caption, Text("警告"));
    EXPECT_EQ(Marker(), "win_lan1");
    EXPECT_FALSE(host.Exists(kTemp + "\\vk_sys2.txt"));
    EXPECT_FALSE(host.Exists(kTemp + "\\vk_sys2.bat"));
  }
}

// win7-stale: the product on E:, answered Yes.
TEST_F(PreInstallRun, YesGoesOnWithTheOtherChecks) {
  Load("win7-stale");
  Run();
  EXPECT_EQ(host.Messages().size(), 1u);
  EXPECT_EQ(Marker(), "win_lan");
  EXPECT_FALSE(host.Exists(kTemp + "\\vk_sys2.txt"));
  EXPECT_FALSE(host.Exists(kTemp + "\\vk_sys2.bat"));
  EXPECT_EQ(host.Transcript().back(), "end 0");

  Load("win7-stale");
  host.PutFile("c:\\boot\\korv\\korv.ini", "[ver]\r\nv2012.05.01\r\n");
  Run();
  ASSERT_EQ(host.Messages().size(), 2u);
  ExpectRefusal("win_lan1", testing::OldVersionRefusal("KORVAX"));
  EXPECT_EQ(Marker(), "win_lan1");
}

// xp-zh: TMP has blanks and is used in its short form; the package's first
// menu file came misnamed. On top, the product on D:, answered Yes, so that
// the scratch files are also deleted after the question.
TEST_F(PreInstallRun, XpWorksInTheShortScratchFolderAndRepairsTheMenuFileName) {
  const std::string temp = "C:\\DOCU~CNJ\\ADMI~GZ1\\LOCA~ZN4\\Temp";
  Load("xp-zh");
  const Text menu = host.Content("c:\\vesk\\korv\\menul.lst");
  ASSERT_FALSE(menu.empty());
  host.PutFile("D:\\vesk\\korv\\ghost.img", "image");
  host.AnswerMessages({6});
  Run();
  EXPECT_EQ(
      host.Transcript(),
      (Lines{"run " + kCmd + "del /q \"" + temp + "\\vk_sys2.txt\"",
             "write " + temp + "\\vk_sys2.bat " + ScanScript(temp), "run " + temp + "\\vk_sys2.bat",
             "message 0x34 警告 " + testing::kOtherWindowsQuestion,
             "run " + kCmd + "del /q \"" + temp + "\\vk_sys2.txt\"",
             "run " + kCmd + "del /q \"" + temp + "\\vk_sys2.bat\"",
             // Renamed twice: directly, then through the interpreter.
             "rename c:\\vesk\\korv\\menul.lst c:\\vesk\\korv\\menu1.lst",
             "run " + kCmd + "ren c:\\vesk\\korv\\menul.lst menu1.lst", "end 0"}));
  EXPECT_FALSE(host.Exists(temp + "\\vk_sys2.bat"));
  EXPECT_FALSE(host.Exists("c:\\vesk\\korv\\menul.lst"));
  EXPECT_EQ(host.Content("c:\\vesk\\korv\\menu1.lst"), menu);
  EXPECT_EQ(Marker(), "win_lan");
}

TEST_F(PreInstallRun, VersionFilesOtherThanThisVersionRefuse) {
  struct Case {
    Text file;
    Text content;
    Text message;  // empty: passes
  };
  const Text thisVersion = "<?xml?>\r\n<产品 名称=\"珂瓦克斯\" 版本=\"v2013.01.23\"/>\r\n";
  const Text oldVersion = testing::OldVersionRefusal("KORVAX");
  const Text otherVersion = testing::OtherVersionRefusal("KORVAX");
  const std::vector<Case> cases = {
      {"c:\\boot\\korv\\korv.ini", thisVersion, ""},
      {"c:\\boot\\korv\\korv.ini", "[ver]\r\nver=V2013.01.23\r\n", oldVersion},
      {"c:\\boot\\korv\\korv.ini", "", oldVersion},
      {"c:\\boot\\korv\\uninstall.xml", thisVersion, ""},
      {"c:\\boot\\korv\\uninstall.xml", "<v>v2013.01.22</v>", oldVersion},
      {"c:\\boot\\korv\\uninstall.xml", "", oldVersion},
      {"c:\\vesk\\korv\\uninstall.xml", thisVersion, ""},
      {"c:\\vesk\\korv\\uninstall.xml", "v2013.01.2", otherVersion},
      {"c:\\vesk\\korv\\uninstall.xml", "", otherVersion},
  };
  for (const Case& c : cases) {
    Load("win7-en");
    host.PutFile(c.file, c.content);
    Run();
    SCOPED_TRACE(c.file + " holding " + c.content);
    if (c.message.empty()) {
      EXPECT_TRUE(host.Messages().empty());
      EXPECT_EQ(Marker(), "win_lan");
    } else {
      ASSERT_EQ(host.Messages().size(), 1u);
      ExpectRefusal("win_lan1", c.message);
      EXPECT_EQ(Marker(), "win_lan1");
    }
  }
}

// uninstall-pending: the shortcut in the user's Startup folder; and on top of
// win7-en, in the all-users one.
TEST_F(PreInstallRun, UnfinishedUninstallRefusesFromEitherStartupFolder) {
  Load("uninstall-pending");
  Run();
  ASSERT_EQ(host.Messages().size(), 1u);
  ExpectRefusal("win_lan2", testing::UnfinishedUninstallRefusal("珂瓦克斯"));
  EXPECT_EQ(Marker(), "win_lan2");

  Load("win7-en");
  host.PutFile(kAllUsersStartup + "\\KVX_UNIS.LNK", "link");
  Run();
  ASSERT_EQ(host.Messages().size(), 1u);
  ExpectRefusal("win_lan2", testing::UnfinishedUninstallRefusal("KORVAX"));
  EXPECT_EQ(Marker(), "win_lan2");
}

// On top of xp-zh, whose first menu file is misnamed: every refusal at once.
TEST_F(PreInstallRun, FirstRefusalWins) {
  Load("xp-zh");
  host.PutFile("c:\\boot\\korv\\korv.ini", "old");
  host.PutFile("c:\\vesk\\korv\\uninstall.xml", "other");
  host.PutFile("C:\\Documents and Settings\\Administrator\\「开始」菜单\\程序\\启动\\KVX_UNIS.LNK",
               "link");
  Run();
  ASSERT_EQ(host.Messages().size(), 1u);
  ExpectRefusal("win_lan1", testing::OldVersionRefusal("珂瓦克斯"));
  EXPECT_EQ(Marker(), "win_lan1");
  EXPECT_TRUE(host.Exists("c:\\vesk\\korv\\menul.lst"));  // the repair did not run

  Load("xp-zh");
  host.PutFile("c:\\vesk\\korv\\uninstall.xml", "other");
  host.PutFile(kAllUsersStartup + "\\KVX_UNIS.LNK", "link");
  Run();
  ASSERT_EQ(host.Messages().size(), 1u);
  ExpectRefusal("win_lan1", testing::OtherVersionRefusal("珂瓦克斯"));
}

// uninstall-pending (0804) and win7-en (0409), each also with the other's
// language and without the value, which is taken for a Chinese machine.
TEST_F(PreInstallRun, ProductNameFollowsTheInstallLanguage) {
  const Text languageValue = "SYSTEM\\CurrentControlSet\\Control\\Nls\\Language\\InstallLanguage";
  for (const auto& [language, name] : std::vector<std::pair<std::optional<Text>, Text>>{
           {Text("0804"), "珂瓦克斯"}, {Text("0409"), "KORVAX"}, {std::nullopt, "珂瓦克斯"}}) {
    SCOPED_TRACE(language.value_or("missing"));
    const auto setLanguage = [&] {
      if (language)
        host.SetRegistry(kRootLocalMachine, languageValue, *language);
      else
        host.UnsetRegistry(kRootLocalMachine, languageValue);
    };
    Load("uninstall-pending");
    setLanguage();
    Run();
    ASSERT_EQ(host.Messages().size(), 1u);
    EXPECT_EQ(host.Messages()[0].text, testing::UnfinishedUninstallRefusal(name));

    Load("win7-en");
    setLanguage();
    host.PutFile("c:\\boot\\korv\\uninstall.xml", "");
    Run();
    ASSERT_EQ(host.Messages().size(), 1u);
    EXPECT_EQ(host.Messages()[0].text, testing::OldVersionRefusal(name));
  }
}

}  // namespace
}  // namespace kvx
