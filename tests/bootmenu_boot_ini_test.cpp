// The product's line in boot.ini, whole runs on the scripted machine with
// the INI writer, the interpreter's copy and the default batch simulated.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "bootmenu/bootmenu.h"
#include "tests/support/bootmenu_bench.h"
#include "tests/support/sample_context.h"
#include "tests/support/scripted_host.h"

namespace kvx {
namespace {

using testing::ScriptedHost;
using Lines = std::vector<std::string>;

const Text kBootIni =
    "[boot loader]\r\n"
    "timeout=30\r\n"
    "default=multi(0)disk(0)rdisk(0)partition(1)\\WINDOWS\r\n"
    "[operating systems]\r\n"
    "multi(0)disk(0)rdisk(0)partition(1)\\WINDOWS=\"Windows\" /fastdetect\r\n";

const Text kSpare =
    "[boot loader]\r\n"
    "timeout=3\r\n"
    "default=multi(0)disk(0)rdisk(0)partition(1)\\WINDOWS\r\n"
    "[operating systems]\r\n"
    "multi(0)disk(0)rdisk(0)partition(1)\\WINDOWS=\"Windows (spare)\" /fastdetect\r\n";

const std::string kKeepCopy =
    "run C:\\WINDOWS\\system32\\cmd.exe /c copy /y C:\\boot.ini c:\\vesk\\korv\\";
const std::string kSpareCopy =
    "run C:\\WINDOWS\\system32\\cmd.exe /c copy /y c:\\vesk\\korv\\boot0.ini C:\\boot.ini";
const std::string kEntryLine =
    "run c:\\vesk\\korv\\fi C:\\boot.ini [operating systems] C:\\KVLDR=珂瓦克斯 v2013.01.23";

class BootIniRegistration : public ::testing::Test, protected testing::BootMenuBench {
 protected:
  BootIniRegistration() {
    host.PutFolder("C:\\TEMP");
    host.PutFile("c:\\vesk\\korv\\boot0.ini", kSpare);
    host.PutFile("C:\\boot.ini", kBootIni, 7);
    program.WinFamily = "nt";
    paths.BootConfigPath = "C:\\boot.ini";
    paths.BootConfigBackupPath = "C:\\boot.kvx";
    // As after an earlier installation: boot.ini as it was is kept already.
    host.PutFile("c:\\vesk\\korv\\boot.ini.before", kBootIni);
  }

  void Run() { RegisterLegacyBootMenu(host, context, paths, program); }

  int BootIniReads() const {
    int reads = 0;
    for (const auto& op : host.Log()) {
      if (op.name == "OpenFile" && op.path == "C:\\boot.ini" && op.number == kReadOnly)
        ++reads;
    }
    return reads;
  }
};

TEST_F(BootIniRegistration, AddsTheLineKeepsACopyAndProtectsBootIni) {
  Run();

  EXPECT_EQ(host.Transcript(), (Lines{"attributes C:\\boot.ini 0",
                                      "run c:\\vesk\\korv\\fi C:\\boot.ini [boot loader] timeout=5",
                                      "attributes C:\\boot.ini 0", kEntryLine, kKeepCopy, kKeepCopy,
                                      "attributes C:\\boot.ini 7"}));
  const Text expected =
      "[boot loader]\r\n"
      "timeout=5\r\n"
      "default=multi(0)disk(0)rdisk(0)partition(1)\\WINDOWS\r\n"
      "[operating systems]\r\n"
      "multi(0)disk(0)rdisk(0)partition(1)\\WINDOWS=\"Windows\" /fastdetect\r\n"
      "C:\\KVLDR=珂瓦克斯 v2013.01.23\r\n";
  EXPECT_EQ(host.Content("C:\\boot.ini"), expected);
  EXPECT_EQ(host.Attributes("C:\\boot.ini"), 7);
  EXPECT_EQ(host.Content("c:\\vesk\\korv\\boot.ini"), expected);
  // Four reads: the "multi" test, the default test and the two title tests.
  EXPECT_EQ(BootIniReads(), 4);
  EXPECT_EQ(program.SharedFileText, expected);
  EXPECT_NE(program.SharedFindResult, kNotFound);
  EXPECT_FALSE(host.Exists("C:\\TEMP\\vk_nt01.bat"));
  EXPECT_TRUE(machine.unhandled.empty());
}

TEST_F(BootIniRegistration, MissingBootIniIsReplacedByTheSpareOnce) {
  host.RemovePath("C:\\boot.ini");

  Run();

  const Lines transcript = host.Transcript();
  ASSERT_GE(transcript.size(), 2u);
  EXPECT_EQ(Lines(transcript.begin(), transcript.begin() + 2),
            (Lines{kSpareCopy, "attributes C:\\boot.ini 0"}));
  EXPECT_EQ(BootIniReads(), 4);
  EXPECT_NE(host.Content("C:\\boot.ini").find("\"Windows (spare)\""), Text::npos);
  EXPECT_NE(host.Content("C:\\boot.ini").find("C:\\KVLDR=珂瓦克斯 v2013.01.23"), Text::npos);
}

// boot.ini is read-only, hidden and system, as Windows keeps it; "copy"
// replaces it only once it is normal.
TEST_F(BootIniRegistration, BootIniThatNamesNoWindowsIsReplacedByTheSpare) {
  host.PutFile("C:\\boot.ini", "[boot loader]\r\ntimeout=30\r\n\x01\x02",
               kAttrHiddenSystemReadOnly);

  Run();

  const Lines transcript = host.Transcript();
  ASSERT_GE(transcript.size(), 2u);
  EXPECT_EQ(Lines(transcript.begin(), transcript.begin() + 2),
            (Lines{"attributes C:\\boot.ini 0", kSpareCopy}));
  EXPECT_NE(host.Content("C:\\boot.ini").find("\"Windows (spare)\""), Text::npos);
  EXPECT_NE(host.Content("C:\\boot.ini").find("C:\\KVLDR=珂瓦克斯 v2013.01.23"), Text::npos);
}

// A boot.ini that starts Windows through scsi() or signature() paths only is
// kept, and the product's line goes in beside them.
class BootIniWithoutMulti : public BootIniRegistration,
                            public ::testing::WithParamInterface<const char*> {};

TEST_P(BootIniWithoutMulti, IsKeptAndGetsTheProductLine) {
  const Text path = GetParam();
  host.PutFile(
      "C:\\boot.ini",
      "[boot loader]\r\ntimeout=30\r\n[operating systems]\r\n" + path + "\\WINDOWS=\"Windows\"\r\n",
      kAttrHiddenSystemReadOnly);

  Run();

  for (const std::string& line : host.Transcript())
    EXPECT_NE(line, kSpareCopy);
  EXPECT_EQ(host.Content("C:\\boot.ini"),
            "[boot loader]\r\ntimeout=5\r\n[operating systems]\r\n" + path +
                "\\WINDOWS=\"Windows\"\r\nC:\\KVLDR=珂瓦克斯 v2013.01.23\r\n");
}

INSTANTIATE_TEST_SUITE_P(ArcPaths, BootIniWithoutMulti,
                         ::testing::Values("scsi(0)disk(0)rdisk(0)partition(1)",
                                           "signature(8b467c12)disk(1)rdisk(0)partition(1)"));

TEST_F(BootIniRegistration, MultiInCapitalsInACommentKeepsBootIni) {
  const Text commented =
      "[boot loader]\r\ntimeout=30\r\n[operating systems]\r\n"
      "; MULTI paths were replaced by the vendor\r\n"
      "scsi(0)disk(0)rdisk(0)partition(1)\\WINDOWS=\"Windows\"\r\n";
  host.PutFile("C:\\boot.ini", commented);

  Run();

  EXPECT_EQ(host.Transcript().front(), "attributes C:\\boot.ini 0");
  EXPECT_EQ(host.Content("C:\\boot.ini").find("spare"), Text::npos);
  EXPECT_NE(host.Content("C:\\boot.ini").find("; MULTI paths"), Text::npos);
}

TEST_F(BootIniRegistration, SavedBootIniReplacesTheEditedOneAndIsDeleted) {
  const Text saved =
      "[boot loader]\r\ntimeout=10\r\n"
      "default=multi(0)disk(0)rdisk(0)partition(2)\\WINDOWS\r\n"
      "[operating systems]\r\n"
      "multi(0)disk(0)rdisk(0)partition(2)\\WINDOWS=\"Windows\"\r\n";
  host.PutFile("C:\\boot.kvx", saved, 7);

  Run();

  EXPECT_EQ(host.Transcript(),
            (Lines{"attributes C:\\boot.ini 0",
                   "run c:\\vesk\\korv\\fi C:\\boot.ini [boot loader] timeout=5",
                   "attributes C:\\boot.ini 0", "attributes C:\\boot.kvx 0",
                   "copy C:\\boot.kvx C:\\boot.ini", "delete C:\\boot.kvx", kEntryLine, kKeepCopy,
                   kKeepCopy, "attributes C:\\boot.ini 7"}));
  // The restored file keeps its own timeout; the product line goes into it.
  EXPECT_EQ(host.Content("C:\\boot.ini"), saved + "C:\\KVLDR=珂瓦克斯 v2013.01.23\r\n");
  EXPECT_FALSE(host.Exists("C:\\boot.kvx"));
}

TEST_F(BootIniRegistration, ProductLoaderAsDefaultInAnyCaseGivesWayToTheFirstMultiEntry) {
  host.PutFile("C:\\boot.ini",
               "[boot loader]\r\ntimeout=30\r\ndefault=c:\\kvldr\r\n[operating systems]\r\n"
               "multi(0)disk(0)rdisk(0)partition(2)\\WINNT=\"Windows 2\"\r\n"
               "multi(0)disk(0)rdisk(0)partition(1)\\WINDOWS=\"Windows\" /fastdetect\r\n",
               7);

  Run();

  const Lines transcript = host.Transcript();
  ASSERT_GE(transcript.size(), 5u);
  EXPECT_EQ(transcript[3],
            "write C:\\TEMP\\vk_nt01.bat \r\nfor /f \"delims==\" %%a in ('findstr /i \"^multi\" "
            "C:\\boot.ini') do c:\\vesk\\korv\\fi C:\\boot.ini [boot loader] "
            "default=%%a&goto :eof\r\n");
  EXPECT_EQ(transcript[4], "run C:\\TEMP\\vk_nt01.bat");
  EXPECT_EQ(transcript[5], kEntryLine);
  EXPECT_EQ(host.IniValue("C:\\boot.ini", "boot loader", "default"),
            "multi(0)disk(0)rdisk(0)partition(2)\\WINNT");
  EXPECT_TRUE(machine.unhandled.empty());
}

TEST_F(BootIniRegistration, TitleAlreadyPresentMeansNoNewLineAndOneKeepCopy) {
  host.PutFile("C:\\boot.ini", kBootIni + "C:\\KVLDR=珂瓦克斯 v2013.01.23\r\n", 7);

  Run();

  EXPECT_EQ(host.Transcript(),
            (Lines{"attributes C:\\boot.ini 0",
                   "run c:\\vesk\\korv\\fi C:\\boot.ini [boot loader] timeout=5",
                   "attributes C:\\boot.ini 0", kKeepCopy, "attributes C:\\boot.ini 7"}));
}

TEST_F(BootIniRegistration, OlderTitleUnderTheSameKeyIsReplaced) {
  host.PutFile("C:\\boot.ini", kBootIni + "C:\\KVLDR=珂瓦克斯 v2012.05.01\r\n", 7);

  Run();

  EXPECT_EQ(host.Content("C:\\boot.ini"),
            "[boot loader]\r\ntimeout=5\r\n"
            "default=multi(0)disk(0)rdisk(0)partition(1)\\WINDOWS\r\n[operating systems]\r\n"
            "multi(0)disk(0)rdisk(0)partition(1)\\WINDOWS=\"Windows\" /fastdetect\r\n"
            "C:\\KVLDR=珂瓦克斯 v2013.01.23\r\n");
  EXPECT_EQ(host.Commands().size(), 4u);  // timeout, entry line, two keep copies
}

TEST_F(BootIniRegistration, LineTheIniWriterMissedIsWrittenByTheHostThenCopiedThreeTimes) {
  host.RemovePath("c:\\vesk\\korv\\fi.exe");

  Run();

  EXPECT_EQ(host.Transcript(),
            (Lines{"attributes C:\\boot.ini 0",
                   "run c:\\vesk\\korv\\fi C:\\boot.ini [boot loader] timeout=5",
                   "attributes C:\\boot.ini 0", kEntryLine, kKeepCopy,
                   "ini C:\\boot.ini [operating systems] C:\\KVLDR=珂瓦克斯 v2013.01.23",
                   "delay 3000", kKeepCopy, kKeepCopy, "attributes C:\\boot.ini 7"}));
  EXPECT_NE(host.Content("c:\\vesk\\korv\\boot.ini").find("C:\\KVLDR=珂瓦克斯 v2013.01.23"),
            Text::npos);
}

TEST_F(BootIniRegistration, TimeoutIsOneSecondOnlyForExactlyOne) {
  for (const auto& [sec1, line] : std::vector<std::pair<Text, Text>>{
           {"1", "c:\\vesk\\korv\\fi C:\\boot.ini [boot loader] timeout=1"},
           {"01", "c:\\vesk\\korv\\fi C:\\boot.ini [boot loader] timeout=5"},
           {"0", "c:\\vesk\\korv\\fi C:\\boot.ini [boot loader] timeout=5"}}) {
    ScriptedHost machineHost;
    machineHost.PutFile("C:\\boot.ini", kBootIni);
    machineHost.PutFolder("c:\\vesk\\korv");
    machineHost.SetIniValue("c:\\vesk\\korv\\krv_pass.ini", "sec", "sec1", sec1);
    RegisterLegacyBootMenu(machineHost, context, paths, program);
    ASSERT_FALSE(machineHost.Commands().empty());
    EXPECT_EQ(machineHost.Commands().front(), line) << "sec1=" << sec1;
  }
}

}  // namespace
}  // namespace kvx
