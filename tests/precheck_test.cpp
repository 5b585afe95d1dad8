// The pre-install run (argument "1") on a scripted Chinese XP machine: the
// marker's final name is the verdict, every refusal explains itself in one
// stop box, the first refusal ends the run, and the drive scan asks first.
#include <gtest/gtest.h>

#include <optional>

#include "entry/program.h"
#include "tests/support/expected_blocks.h"
#include "tests/support/install_machines.h"
#include "tests/support/simulated_windows.h"

namespace kvx {
namespace {

using testing::ScriptedHost;

const Text kPrefix = "C:\\WINDOWS\\system32\\cmd.exe /c ";
const Text kScanScript =
    "\r\nfor %%i in (d,e,f,g,h,i,j,k,l,m,n,o,p,q,r,s,t,u,v,w,x,y,z) do if exist "
    "%%i:\\vesk\\korv\\ghost.img echo sys2>C:\\TEMP\\vk_sys2.txt\r\n";
const Text kQuestion =
    "警告：发现在另外一个WINDOWS里已经安装了本软件。\r\n"
    "请不要继续安装本软件，以避免造成冲突和误恢复。\r\n"
    "如果继续安装，建议仅使用GHOST英文手动模式。\r\n\r\n"
    "是否继续安装本软件？\r\n\r\n"
    "是=继续安装\r\n"
    "否=放弃安装";
const Text kOldAtBoot =
    "发现已经存在旧版本的 珂瓦克斯，请先卸载，再安装！\r\n"
    "如果不行，手动删除c:\\boot\\korv后再安装。";
const Text kOtherVersion = "发现已经存在其它版本的 珂瓦克斯，\r\n请先卸载，再安装！";
const Text kUnfinished =
    "上一次卸载 珂瓦克斯尚未完成，\r\n请依次使用以下方法解决，直到可以安装为止：\r\n"
    "方法一：开始->程序->启动->点击 KVX_unis\r\n方法二：重启电脑\r\n"
    "方法三：开始->程序->启动->右键删除 KVX_unis（不推荐）";
const Text kUserStartup = testing::kXpStartup;
const Text kAllUsersStartup = "C:\\Documents and Settings\\All Users\\「开始」菜单\\程序\\启动";

class PreInstallRun : public ::testing::Test {
 protected:
  void SetUp() override {
    testing::SetUpPreInstallMachine(host);
    machine.emplace(host);
  }

  // A new machine as SetUp leaves it, for tests that run several cases.
  void Fresh() {
    host = ScriptedHost();
    SetUp();
  }

  void Run() {
    EXPECT_EQ(RunProgram(host), 0);
    EXPECT_TRUE(machine->unhandled.empty());
  }

  // The marker's name after the run, or "" when it is gone.
  Text Marker(const Text& folder = "C:\\SETUP") const {
    for (const Text name : {"win_lan", "win_lan1", "win_lan2"}) {
      if (host.Exists(Concat({folder, "\\", name})))
        return name;
    }
    return "";
  }

  // The run ended with exactly this stop box (no caption) after renaming the
  // marker, and nothing came after it.
  void ExpectRefusal(const Text& verdict, const Text& message,
                     const Text& marker = "\"C:\\SETUP\\win_lan\"") {
    const std::vector<testing::Message> messages = host.Messages();
    ASSERT_FALSE(messages.empty());
    EXPECT_EQ(messages.back().text, message);
    EXPECT_EQ(messages.back().style, 0x10);
    EXPECT_FALSE(messages.back().caption.has_value());
    const std::vector<std::string> t = host.Transcript();
    ASSERT_GE(t.size(), 3u);
    EXPECT_EQ(std::vector<std::string>(t.end() - 3, t.end()),
              (std::vector<std::string>{"run " + kPrefix + "ren " + marker + " " + verdict,
                                        "message 0x10 - " + message, "end 0"}));
  }

  ScriptedHost host;
  std::optional<testing::SimulatedWindows> machine;  // made anew for every fresh machine
};

TEST_F(PreInstallRun, CleanMachinePassesAndKeepsOnlyTheScanScript) {
  host.PutFile("C:\\vesk\\korv\\ghost.img", "image");  // drive C: is not scanned
  Run();
  EXPECT_EQ(host.Transcript(),
            (std::vector<std::string>{"run " + kPrefix + "del /q \"C:\\TEMP\\vk_sys2.txt\"",
                                      "write C:\\TEMP\\vk_sys2.bat " + kScanScript,
                                      "run C:\\TEMP\\vk_sys2.bat", "end 0"}));
  EXPECT_EQ(host.Content("C:\\TEMP\\vk_sys2.bat"), kScanScript);
  EXPECT_FALSE(host.Exists("C:\\TEMP\\vk_sys2.txt"));
  EXPECT_EQ(Marker(), "win_lan");
}

TEST_F(PreInstallRun, StaleScanFindingNoLongerAsks) {
  host.PutFile("C:\\TEMP\\vk_sys2.txt", "sys2\r\n");
  Run();
  EXPECT_TRUE(host.Messages().empty());
  EXPECT_FALSE(host.Exists("C:\\TEMP\\vk_sys2.txt"));
  EXPECT_EQ(Marker(), "win_lan");
}

TEST_F(PreInstallRun, ProductOnAnotherDriveAskedAndNoGivesUp) {
  for (const int no : {7, 2}) {
    Fresh();
    host.PutFile("E:\\vesk\\korv\\ghost.img", "image");
    host.PutFile("c:\\boot\\korv\\korv.ini", "old");  // must not be reached
    host.AnswerMessages({no});
    Run();
    EXPECT_EQ(
        host.Transcript(),
        (std::vector<std::string>{
            "run " + kPrefix + "del /q \"C:\\TEMP\\vk_sys2.txt\"",
            "write C:\\TEMP\\vk_sys2.bat " + kScanScript, "run C:\\TEMP\\vk_sys2.bat",
            "message 0x34 警告 " + kQuestion, "run " + kPrefix + "del /q \"C:\\TEMP\\vk_sys2.txt\"",
            "run " + kPrefix + "del /q \"C:\\TEMP\\vk_sys2.bat\"",
            "run " + kPrefix + "ren \"C:\\SETUP\\win_lan\" win_lan1", "end 0"}))
        << "answer " << no;
    ASSERT_EQ(host.Messages().size(), 1u);
    EXPECT_EQ(host.Messages()[0].caption, Text("警告"));
    EXPECT_EQ(Marker(), "win_lan1");
    EXPECT_FALSE(host.Exists("C:\\TEMP\\vk_sys2.txt"));
    EXPECT_FALSE(host.Exists("C:\\TEMP\\vk_sys2.bat"));
  }
}

TEST_F(PreInstallRun, YesGoesOnWithTheOtherChecks) {
  host.PutFile("Z:\\vesk\\korv\\ghost.img", "image");
  host.AnswerMessages({6});
  Run();
  EXPECT_EQ(Marker(), "win_lan");
  EXPECT_FALSE(host.Exists("C:\\TEMP\\vk_sys2.txt"));
  EXPECT_FALSE(host.Exists("C:\\TEMP\\vk_sys2.bat"));
  EXPECT_EQ(host.Transcript().back(), "end 0");

  Fresh();
  host.PutFile("D:\\vesk\\korv\\ghost.img", "image");
  host.PutFile("c:\\boot\\korv\\korv.ini", "[ver]\r\nv2012.05.01\r\n");
  host.AnswerMessages({6});
  Run();
  ASSERT_EQ(host.Messages().size(), 2u);
  ExpectRefusal("win_lan1", kOldAtBoot);
  EXPECT_EQ(Marker(), "win_lan1");
}

TEST_F(PreInstallRun, ScratchFolderWithBlanksUsesItsShortForm) {
  const Text tmp = "C:\\Documents and Settings\\Administrator\\Local Settings\\Temp";
  const Text shortTmp = "C:\\DOCUME~1\\ADMINI~1\\LOCALS~1\\Temp";
  host.SetEnv("TMP", tmp);
  host.SetShortForm(tmp, shortTmp);
  host.PutFolder(shortTmp);
  host.PutFile("F:\\vesk\\korv\\ghost.img", "image");
  host.AnswerMessages({6});
  Run();
  EXPECT_FALSE(host.Exists(shortTmp + "\\vk_sys2.bat"));  // deleted after the answer
  const std::vector<Text> commands = host.Commands();
  EXPECT_EQ(commands,
            (std::vector<Text>{
                kPrefix + "del /q \"C:\\DOCUME~1\\ADMINI~1\\LOCALS~1\\Temp\\vk_sys2.txt\"",
                "C:\\DOCUME~1\\ADMINI~1\\LOCALS~1\\Temp\\vk_sys2.bat",
                kPrefix + "del /q \"C:\\DOCUME~1\\ADMINI~1\\LOCALS~1\\Temp\\vk_sys2.txt\"",
                kPrefix + "del /q \"C:\\DOCUME~1\\ADMINI~1\\LOCALS~1\\Temp\\vk_sys2.bat\""}));
  const std::vector<std::string> t = host.Transcript();
  EXPECT_EQ(
      t[1],
      "write C:\\DOCUME~1\\ADMINI~1\\LOCALS~1\\Temp\\vk_sys2.bat \r\nfor %%i in "
      "(d,e,f,g,h,i,j,k,l,m,n,o,p,q,r,s,t,u,v,w,x,y,z) do if exist %%i:\\vesk\\korv\\ghost.img "
      "echo sys2>C:\\DOCUME~1\\ADMINI~1\\LOCALS~1\\Temp\\vk_sys2.txt\r\n");
  EXPECT_EQ(host.Messages().size(), 1u);  // the scan found drive F:
}

TEST_F(PreInstallRun, VersionFilesOtherThanThisVersionRefuse) {
  struct Case {
    Text file;
    Text content;
    Text message;  // empty: passes
  };
  const Text thisVersion = "<?xml?>\r\n<产品 名称=\"珂瓦克斯\" 版本=\"v2013.01.23\"/>\r\n";
  const std::vector<Case> cases = {
      {"c:\\boot\\korv\\korv.ini", thisVersion, ""},
      {"c:\\boot\\korv\\korv.ini", "[ver]\r\nver=V2013.01.23\r\n", kOldAtBoot},
      {"c:\\boot\\korv\\korv.ini", "", kOldAtBoot},
      {"c:\\boot\\korv\\uninstall.xml", thisVersion, ""},
      {"c:\\boot\\korv\\uninstall.xml", "<v>v2013.01.22</v>", kOldAtBoot},
      {"c:\\boot\\korv\\uninstall.xml", "", kOldAtBoot},
      {"c:\\vesk\\korv\\uninstall.xml", thisVersion, ""},
      {"c:\\vesk\\korv\\uninstall.xml", "v2013.01.2", kOtherVersion},
      {"c:\\vesk\\korv\\uninstall.xml", "", kOtherVersion},
  };
  for (const Case& c : cases) {
    Fresh();
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

TEST_F(PreInstallRun, UnfinishedUninstallRefusesFromEitherStartupFolder) {
  for (const Text& folder : {kUserStartup, kAllUsersStartup}) {
    Fresh();
    host.PutFile(folder + "\\KVX_UNIS.LNK", "link");
    Run();
    SCOPED_TRACE(folder);
    ASSERT_EQ(host.Messages().size(), 1u);
    ExpectRefusal("win_lan2", kUnfinished);
    EXPECT_EQ(Marker(), "win_lan2");
  }
}

TEST_F(PreInstallRun, FirstRefusalWins) {
  host.PutFile("c:\\boot\\korv\\korv.ini", "old");
  host.PutFile("c:\\vesk\\korv\\uninstall.xml", "other");
  host.PutFile(kUserStartup + "\\KVX_UNIS.LNK", "link");
  host.PutFile("c:\\vesk\\korv\\menul.lst", "menu");
  Run();
  ASSERT_EQ(host.Messages().size(), 1u);
  ExpectRefusal("win_lan1", kOldAtBoot);
  EXPECT_EQ(Marker(), "win_lan1");
  EXPECT_TRUE(host.Exists("c:\\vesk\\korv\\menul.lst"));  // the repair did not run

  Fresh();
  host.PutFile("c:\\vesk\\korv\\uninstall.xml", "other");
  host.PutFile(kAllUsersStartup + "\\KVX_UNIS.LNK", "link");
  Run();
  ASSERT_EQ(host.Messages().size(), 1u);
  ExpectRefusal("win_lan1", kOtherVersion);
}

TEST_F(PreInstallRun, ProductNameFollowsTheInstallLanguage) {
  const Text languageValue = "SYSTEM\\CurrentControlSet\\Control\\Nls\\Language\\InstallLanguage";
  struct Case {
    const char* language;  // nullptr: the value is missing
    Text oldVersion;
    Text unfinishedStart;
  };
  const std::vector<Case> cases = {
      {nullptr, kOldAtBoot, "上一次卸载 珂瓦克斯尚未完成，\r\n"},
      {"0804", kOldAtBoot, "上一次卸载 珂瓦克斯尚未完成，\r\n"},
      {"0409",
       "发现已经存在旧版本的 KORVAX，请先卸载，再安装！\r\n"
       "如果不行，手动删除c:\\boot\\korv后再安装。",
       "上一次卸载 KORVAX尚未完成，\r\n"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.language == nullptr ? "missing" : c.language);
    for (const bool uninstall : {false, true}) {
      Fresh();
      if (c.language != nullptr)
        host.SetRegistry(kRootLocalMachine, languageValue, c.language);
      if (uninstall) {
        host.PutFile(kUserStartup + "\\KVX_UNIS.LNK", "link");
      } else {
        host.PutFile("c:\\boot\\korv\\uninstall.xml", "");
      }
      Run();
      ASSERT_EQ(host.Messages().size(), 1u);
      if (uninstall) {
        EXPECT_EQ(host.Messages()[0].text.substr(0, c.unfinishedStart.size()), c.unfinishedStart);
      } else {
        EXPECT_EQ(host.Messages()[0].text, c.oldVersion);
      }
    }
  }
}

TEST_F(PreInstallRun, MarkerInAProgramFolderWithBlanksIsStillRenamed) {
  const Text folder = "C:\\Program Files\\KORVAX Setup";
  host.SetProgramFolderPath(folder);
  host.PutFile(folder + "\\win_lan", "");
  host.PutFile(kAllUsersStartup + "\\KVX_UNIS.LNK", "link");
  Run();
  ExpectRefusal("win_lan2", kUnfinished, "\"C:\\Program Files\\KORVAX Setup\\win_lan\"");
  EXPECT_EQ(Marker(folder), "win_lan2");
}

TEST_F(PreInstallRun, MisnamedMenuFileIsRenamedTwice) {
  host.PutFile("c:\\vesk\\korv\\menul.lst", "title KORVAX\r\n");
  Run();
  const std::vector<std::string> t = host.Transcript();
  ASSERT_GE(t.size(), 3u);
  EXPECT_EQ(std::vector<std::string>(t.end() - 3, t.end()),
            (std::vector<std::string>{"rename c:\\vesk\\korv\\menul.lst c:\\vesk\\korv\\menu1.lst",
                                      "run " + kPrefix + "ren c:\\vesk\\korv\\menul.lst menu1.lst",
                                      "end 0"}));
  EXPECT_FALSE(host.Exists("c:\\vesk\\korv\\menul.lst"));
  EXPECT_EQ(host.Content("c:\\vesk\\korv\\menu1.lst"), "title KORVAX\r\n");
  EXPECT_EQ(Marker(), "win_lan");
}

}  // namespace
}  // namespace kvx
