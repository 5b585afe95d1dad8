// Whole runs of the install configuration (argument "2") on simulated
// machines: every command, batch text and message in order, and what the
// machine holds afterwards; and a run on a machine where nothing works.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "entry/program.h"
#include "tests/support/install_machines.h"
#include "tests/support/simulated_windows.h"

namespace kvx {
namespace {

using testing::EndCount;
using testing::ScriptedHost;
using testing::SimulatedWindows;
using Lines = std::vector<std::string>;

const Text kPass = "c:\\vesk\\korv\\krv_pass.ini";
const Text kDrv = "c:\\vesk\\korv\\krv_drv.ini";
const Text kWarning =
    "错误信息：只有一个分区或者第二分区被占用，可能无法使用本软件，但仍可以安装。解决办法：\r\n"
    "方法一：咨询电脑厂商或身边高手，要求增加一个新分区。\r\n"
    "方法二：自己解决，用DISKGENIUS4.0以上版本将C盘调小后,再在C盘后面新建扩展分区和逻辑分区。\r\n"
    "方法三：安装后运行本软件->【报告】->【保存到文件】->【上传到论坛】，以获得在线帮助。";
Lines Join(std::initializer_list<Lines> blocks) {
  Lines joined;
  for (const Lines& block : blocks)
    joined.insert(joined.end(), block.begin(), block.end());
  return joined;
}

// --- Blocks that run alike on every machine, but for its interpreter,
// scratch folder, Startup folder and what the survey found. ---

Lines CompanionTools(const std::string& cmd) {
  return {
      "run " + cmd + "ren c:\\vesk\\korv\\zp zptlx.exe",
      "run " + cmd + "ren c:\\vesk\\korv\\fi fi.exe",
      "run " + cmd + "ren c:\\vesk\\korv\\fr fr.exe",
      "run c:\\vesk\\korv\\ghost32.exe -dd",
      "copy GHSTSTAT.TXT c:\\vesk\\korv\\GHSTSTAT.TXT",
      "delete GHSTSTAT.TXT",
  };
}

Lines DiskSurvey(const std::string& cmd) {
  return {
      "run " + cmd + "c:\\vesk\\korv\\zptlx 1 /find:all /GhostStyle /y >c:\\vesk\\korv\\zp_all.txt",
      "run " + cmd +
          "c:\\vesk\\korv\\zptlx 1 /find:all /GhostStyle /y >c:\\vesk\\korv\\zp_all0.txt",
      "run " + cmd +
          "c:\\vesk\\korv\\zptlx 2 /find:all /GhostStyle /y >c:\\vesk\\korv\\zp_all2.txt",
      "run " + cmd +
          "c:\\vesk\\korv\\zptlx 3 /find:all /GhostStyle /y >c:\\vesk\\korv\\zp_all3.txt",
      "run " + cmd +
          "c:\\vesk\\korv\\zptlx 4 /find:all /GhostStyle /y >c:\\vesk\\korv\\zp_all4.txt",
      "run " + cmd + "type c:\\vesk\\korv\\zp_all2.txt>>c:\\vesk\\korv\\zp_all0.txt",
      "run " + cmd + "type c:\\vesk\\korv\\zp_all3.txt>>c:\\vesk\\korv\\zp_all0.txt",
      "run " + cmd + "type c:\\vesk\\korv\\zp_all4.txt>>c:\\vesk\\korv\\zp_all0.txt",
      "run " + cmd + "ver|find \" 6.\" >nul&&ren c:\\vesk\\korv\\nt vt",
      "run " + cmd + "ver|find \" 5.\" >nul&&ren c:\\vesk\\korv\\vt nt",
  };
}

// System drive C:; the active partition is looked for in the boot disk's scan.
Lines BootPartitions(const std::string& cmd, const std::string& temp,
                     const std::string& bootDiskSuffix) {
  return {
      "write " + temp +
          "vk_spt01.bat \r\nfor /f \"tokens=2 delims=: \" %%i in ('findstr \" C: \" "
          "c:\\vesk\\korv\\zp_all0.txt') do c:\\vesk\\korv\\fi c:\\vesk\\korv\\krv_pass.ini "
          "[spt_i] spt_1=%%i&c:\\vesk\\korv\\fi c:\\vesk\\korv\\krv_pass.ini [spt_i] spt_2=C:\r\n",
      "run " + temp + "vk_spt01.bat",
      "run " + cmd +
          "findstr /c:\" C: \" c:\\vesk\\korv\\zp_all.txt&if not errorlevel 1 c:\\vesk\\korv\\fi "
          "c:\\vesk\\korv\\krv_pass.ini [boot] drvc=0",
      "run " + cmd +
          "findstr /c:\" C: \" c:\\vesk\\korv\\zp_all2.txt&if not errorlevel 1 c:\\vesk\\korv\\fi "
          "c:\\vesk\\korv\\krv_pass.ini [boot] drvc=1",
      "run " + cmd +
          "findstr /c:\" C: \" c:\\vesk\\korv\\zp_all3.txt&if not errorlevel 1 c:\\vesk\\korv\\fi "
          "c:\\vesk\\korv\\krv_pass.ini [boot] drvc=2",
      "run " + cmd +
          "findstr /c:\" C: \" c:\\vesk\\korv\\zp_all4.txt&if not errorlevel 1 c:\\vesk\\korv\\fi "
          "c:\\vesk\\korv\\krv_pass.ini [boot] drvc=3",
      "write " + temp +
          "vk_apt01.bat \r\nfor /f \"tokens=2,3 delims=: \" %%i in ('findstr \"Yes\" "
          "c:\\vesk\\korv\\zp_all" +
          bootDiskSuffix +
          ".txt') do c:\\vesk\\korv\\fi c:\\vesk\\korv\\krv_pass.ini [apt_i] apt_1=%%i&"
          "c:\\vesk\\korv\\fi c:\\vesk\\korv\\krv_pass.ini [apt_i] apt_2=%%j:\r\n",
      "run " + temp + "vk_apt01.bat",
  };
}

// The active partition is C: itself.
Lines LoaderPlacementOnC(const std::string& cmd) {
  return {
      "run " + cmd + "xcopy c:\\KVLDR C:\\ /k /h /r /c /y ",
      "run " + cmd + "xcopy c:\\kvldr.mbr C:\\ /k /h /r /c /y ",
      "attributes C:\\KVLDR 7",
      "attributes C:\\kvldr.mbr 7",
      "attributes C:\\KVLDR 7",
      "attributes C:\\kvldr.mbr 7",
  };
}

// tempKey: the scratch folder as the machine keys it (upper case), for the
// appended system text.
Lines MachineModel(const std::string& cmd, const std::string& temp, const std::string& tempKey,
                   const std::string& systemText) {
  return {
      "run " + cmd + "wmic exit",
      "run " + cmd + "wmic bios list full>\"" + temp + "vk_bios1.tmp\"",
      "run " + cmd + "wmic csproduct list full>>\"" + temp + "vk_bios1.tmp\"",
      "run " + cmd + "wmic baseboard list full>>\"" + temp + "vk_bios1.tmp\"",
      "run " + cmd + "type \"" + temp + "vk_bios1.tmp\">\"" + temp + "vk_bios2.tmp\"",
      "append " + tempKey + "VK_BIOS2.TMP " + systemText,
  };
}

Lines NormalPartitions(const std::string& cmd, const std::string& temp,
                       const std::string& bootDiskSuffix, const std::string& bootDiskIndex) {
  return {
      "run " + cmd + "copy /y c:\\vesk\\korv\\zp_all" + bootDiskSuffix +
          ".txt c:\\vesk\\korv\\zp_nor_d.txt",
      "run " + cmd + "c:\\vesk\\korv\\zptlx " + bootDiskIndex +
          " /find:normal /y >c:\\vesk\\korv\\zp_nor.txt",
      "write " + temp +
          "vk_hp01.bat \r\nfor /f \"delims=\" %%a in ('findstr /i \" RECOVERY\" "
          "c:\\vesk\\korv\\zp_nor.txt') do echo %%a>" +
          temp + "vk_hp01.txt&goto :eof\r\n",
      "run " + temp + "vk_hp01.bat",
  };
}

// startup: the Startup folder, on drive C:.
Lines StartupScripts(const std::string& cmd, const std::string& startup) {
  return {
      "run " + cmd + "echo [echo_of]>c:\\vesk\\korv\\KVX_rd0",
      "run " + cmd + "echo set_su=>>c:\\vesk\\korv\\KVX_rd0",
      "ini c:\\vesk\\korv\\KVX_rd0 [echo_of] set_su=" + startup + "\\",
      "delay 3000",
      "run c:\\vesk\\korv\\fr c:\\vesk\\korv\\KVX_rd0 -f:\"[echo_of]\" -t:\"@echo off\"",
      "run c:\\vesk\\korv\\fr c:\\vesk\\korv\\KVX_rd0 -f:\"set_su=\" -t:\"set su=\"",
      "run " + cmd + "echo [echo_of]>c:\\vesk\\korv\\KVX_rd1",
      "run " + cmd + "echo a=>>c:\\vesk\\korv\\KVX_rd1",
      "run " + cmd + "echo cc=>>c:\\vesk\\korv\\KVX_rd1",
      "run " + cmd + "echo cd=>>c:\\vesk\\korv\\KVX_rd1",
      "ini c:\\vesk\\korv\\KVX_rd1 [echo_of] cd=\"" + startup + "\\\"",
      "delay 3000",
      "run c:\\vesk\\korv\\fr c:\\vesk\\korv\\KVX_rd1 -f:\"a=\" -t:\"C:\"",
      "run c:\\vesk\\korv\\fr c:\\vesk\\korv\\KVX_rd1 -f:\"cc=\" -t:\"cd\\\\\"",
      "run c:\\vesk\\korv\\fr c:\\vesk\\korv\\KVX_rd1 -f:\"[echo_of]\" -t:\"@echo off\"",
      "run c:\\vesk\\korv\\fr c:\\vesk\\korv\\KVX_rd1 -f:\"cd=\" -t:\"cd \"",
      "shortcut c:\\vesk\\korv\\KVX_SU c:\\vesk\\korv\\KVX_SU.EXE c:\\vesk\\korv\\",
      "delay 5000",
  };
}

Lines ListBatch(const std::string& temp) {
  return {
      "write " + temp +
          "vk_lpt01.bat \r\nfor /f \"skip=2 tokens=2,3 delims=: \" %%i in "
          "(c:\\vesk\\korv\\zp_nor.txt) do echo [part]>c:\\vesk\\korv\\krv_drv.ini&& echo "
          "pt_1=%%i>>c:\\vesk\\korv\\krv_drv.ini&& echo pt_2=%%j:>>c:\\vesk\\korv\\krv_drv.ini",
      "run " + temp + "vk_lpt01.bat",
      "run c:\\vesk\\korv\\fr c:\\vesk\\korv\\krv_drv.ini -f:\"Log:\" -t:\"8:\"",
      "run c:\\vesk\\korv\\fr c:\\vesk\\korv\\krv_drv.ini -f:\"Pri:\" -t:\"8:\"",
  };
}

Lines LoaderSwitch(const std::string& cmd) {
  return {
      "attributes C:\\KVLDR 0",
      "run " + cmd + "copy /y c:\\vesk\\korv\\KVLDR_0 C:\\KVLDR",
      "attributes C:\\KVLDR 7",
      "run c:\\vesk\\korv\\fi c:\\vesk\\korv\\krv_pass.ini [boot] a20=0",
      "run c:\\vesk\\korv\\fi c:\\vesk\\korv\\krv_pass.ini [boot] a21=0",
      "run c:\\vesk\\korv\\fi c:\\vesk\\korv\\krv_pass.ini [boot] ogd=1",
      "run c:\\vesk\\korv\\fr c:\\vesk\\korv\\menu*.lst -f:\"chainloader --disable-a20 (fd0)\" "
      "-t:\"chainloader (fd0)\"",
      "run c:\\vesk\\korv\\fr c:\\vesk\\korv\\menu*.lst -f:\"map --mem --a20-keep-on=0\" "
      "-t:\"map --mem\"",
  };
}

// What every run leaves in the product folder: the tools and the shortcut
// under their stored names, the registry file imported and kept, the bitmap
// gone, the folder visible, the maker's folder hidden; and no scratch file.
void ExpectFinished(const ScriptedHost& host, const SimulatedWindows& windows, const Text& xcName,
                    const Text& temp) {
  for (const Text name : {"zp", "fi", "fr", "KVX_SU", "ghostexp"}) {
    EXPECT_TRUE(host.Exists("c:\\vesk\\korv\\" + name)) << name;
  }
  EXPECT_TRUE(host.Exists("c:\\vesk\\korv\\" + xcName));
  for (const Text name :
       {"zptlx.exe", "fi.exe", "fr.exe", "xc.exe", "KVX_SU.LNK", "ghostexp.reg", "IRIMG2.BMP"}) {
    EXPECT_FALSE(host.Exists("c:\\vesk\\korv\\" + name)) << name;
  }
  EXPECT_EQ(windows.imported,
            std::vector<Text>{"REGEDIT4\r\n[HKEY_CURRENT_USER\\Software\\KORVAX]\r\n"});
  EXPECT_EQ(host.Attributes("c:\\vesk\\korv"), 0);
  EXPECT_EQ(host.Attributes("c:\\vesk"), 2);
  for (const Text& path : host.Paths()) {
    EXPECT_EQ(FindText(path, temp + "vk_", true), kNotFound) << path;
  }
  EXPECT_EQ(host.Content("C:\\KVLDR"), "loader, A20 left alone");
  EXPECT_EQ(host.Attributes("C:\\KVLDR"), 7);
  EXPECT_TRUE(windows.unhandled.empty()) << windows.unhandled.front();
}

// A Chinese Windows XP on a TOSHIBA notebook with two disks: the second one
// holds Windows alone on C:, so there is no partition for the images and the
// user is warned. boot.ini has an older product line, which is the default.
// The access tool is stored as xc1.
TEST(InstallRun, WindowsXpOnTheSecondDiskCommandByCommand) {
  const std::string cmd = "C:\\WINDOWS\\system32\\cmd.exe /c ";
  const std::string temp = "C:\\WINDOWS\\TEMP\\";
  const std::string startup = testing::kXpStartup;
  ScriptedHost host;
  SimulatedWindows windows(host, cmd);
  testing::SetUpXpOnSecondDisk(host, windows);
  EXPECT_EQ(RunProgram(host), 0);

  const Lines expected = Join({
      CompanionTools(cmd),
      DiskSurvey(cmd),
      BootPartitions(cmd, temp, "2"),
      LoaderPlacementOnC(cmd),
      MachineModel(cmd, temp, "C:\\WINDOWS\\TEMP\\", "TOSHIBA Notebook N200"),
      NormalPartitions(cmd, temp, "2", "1"),
      StartupScripts(cmd, startup),
      {
          // Disk 2 is the boot disk: its scan joins zp_all.txt.
          "run " + cmd + "type c:\\vesk\\korv\\zp_all2.txt>>c:\\vesk\\korv\\zp_all.txt",
          // boot.ini as it was kept once; then the timeout, the default away
          // from the product, the new title.
          "copy C:\\boot.ini c:\\vesk\\korv\\boot.ini.before",
          "attributes c:\\vesk\\korv\\boot.ini.before 0",
          "attributes C:\\boot.ini 0",
          "run c:\\vesk\\korv\\fi C:\\boot.ini [boot loader] timeout=5",
          "attributes C:\\boot.ini 0",
          "write " + temp +
              "vk_nt01.bat \r\nfor /f \"delims==\" %%a in ('findstr /i \"^multi\" C:\\boot.ini') "
              "do c:\\vesk\\korv\\fi C:\\boot.ini [boot loader] default=%%a&goto :eof\r\n",
          "run " + temp + "vk_nt01.bat",
          "run c:\\vesk\\korv\\fi C:\\boot.ini [operating systems] C:\\KVLDR=珂瓦克斯 v2013.01.23",
          "run " + cmd + "copy /y C:\\boot.ini c:\\vesk\\korv\\",
          "run " + cmd + "copy /y C:\\boot.ini c:\\vesk\\korv\\",
          "attributes C:\\boot.ini 7",
      },
      ListBatch(temp),
      {
          "message 0x40 - " + kWarning,
          // The only partition, C:, receives the folder.
          "run " + cmd + "ren c:\\vesk\\korv\\xc* xc.exe",
          "run " + cmd + "chkntfs C:>\"C:\\WINDOWS\\TEMP\\vk_001.tmp\"",
          "mkdir C:\\~1",
          "run " + cmd + "attrib -h -s -r C:\\~1",
          "run " + cmd + "attrib -h -s -r C:\\~1\\*.*",
          "run " + cmd + "copy /y c:\\vesk\\korv\\c_pan.txt C:\\~1\\",
          "run " + cmd + "attrib +h C:\\~1",
          "run c:\\vesk\\korv\\fi c:\\vesk\\korv\\krv_drv.ini [part] type=NTFS",
          "run c:\\vesk\\korv\\xc C:\\~1 /t /c /y /g Everyone:f",
          "run c:\\vesk\\korv\\xc C:\\~1 /t /c /y /g Everyone:f",
          "run " + cmd + "ren c:\\vesk\\korv\\xc.exe xc1",
      },
      LoaderSwitch(cmd),
      testing::FinishingTranscript(cmd, temp),
      {"end 0"},
  });
  EXPECT_EQ(host.Transcript(), expected);
  EXPECT_EQ(EndCount(host), 1);

  const Text bootIni =
      "[boot loader]\r\ntimeout=5\r\ndefault=multi(0)disk(0)rdisk(1)partition(1)\\WINDOWS\r\n"
      "[operating systems]\r\nmulti(0)disk(0)rdisk(1)partition(1)\\WINDOWS=\"Microsoft Windows "
      "XP\" /fastdetect\r\nC:\\KVLDR=珂瓦克斯 v2013.01.23\r\n";
  EXPECT_EQ(host.Content("C:\\boot.ini"), bootIni);
  EXPECT_EQ(host.Attributes("C:\\boot.ini"), 7);
  EXPECT_EQ(host.Content("c:\\vesk\\korv\\boot.ini"), bootIni);
  EXPECT_EQ(host.Content(kPass),
            "[spt_i]\r\nspt_1=1\r\nspt_2=C:\r\n[boot]\r\ndrvc=1\r\na20=0\r\na21=0\r\nogd=1\r\n"
            "[apt_i]\r\napt_1=1\r\napt_2=C:\r\n");
  EXPECT_EQ(host.Content(kDrv), "[part]\r\npt_1=1\r\npt_2=C:\r\ntype=NTFS\r\n");
  EXPECT_EQ(host.Content("c:\\vesk\\korv\\zp_all.txt"),
            "1:1 D: NTFS Yes 76316MB BACKUP\r\n2:1 C: NTFS Yes 38154MB WINXP\r\n");
  EXPECT_EQ(host.Content("c:\\vesk\\korv\\KVX_rd0"), "@echo off\r\nset su=" + startup + "\\\r\n");
  EXPECT_EQ(host.Content("c:\\vesk\\korv\\KVX_rd1"),
            "@echo off\r\nC:\r\ncd\\\\\r\ncd \"" + startup + "\\\"\r\n");
  EXPECT_TRUE(host.IsFolder("C:\\~1"));
  EXPECT_EQ(host.Attributes("C:\\~1"), 2);
  EXPECT_EQ(host.Content("C:\\~1\\c_pan.txt"), "panel");
  EXPECT_EQ(windows.grants, (std::map<Text, Text>{{"C:\\~1", "Everyone:f"}}));
  EXPECT_EQ(host.Content("c:\\vesk\\korv\\menu1.lst"),
            "title KORVAX\r\nchainloader (fd0)\r\nmap --mem (hd0,0)\r\n");
  EXPECT_EQ(host.Content("c:\\vesk\\korv\\ghost.img"), testing::kBootImage);
  EXPECT_TRUE(host.Exists("c:\\vesk\\korv\\nt"));
  ExpectFinished(host, windows, "xc1", temp);
}

// An English 64-bit Windows 7 on a ThinkPad with a maker's recovery partition,
// installed over an earlier installation: the store holds two old product
// entries, bcd_all.ini and krv_id.ini are the previous run's, the data
// partition D: still has the hidden folder with an image in it. The scratch
// folder's path has a blank and is used in its short form.
TEST(InstallRun, SixtyFourBitWindows7OverAnEarlierInstallCommandByCommand) {
  const std::string cmd = "C:\\Windows\\system32\\cmd.exe /c ";
  const std::string temp = "C:\\Users\\LIWEI~1\\AppData\\Local\\Temp\\";
  const std::string startup = testing::kWindows7Startup;
  ScriptedHost host;
  SimulatedWindows windows(host, cmd);
  const auto [stale, older, created] = testing::SetUpWindows7OverEarlierInstall(host, windows);
  EXPECT_EQ(RunProgram(host), 0);

  const std::string batch = "run " + temp + "vk_vt020.bat";
  const std::string enumerate =
      "write " + temp + "vk_vt020.bat \r\nbcdedit /enum all >c:\\vesk\\korv\\bcd_all.ini\r\n";
  const std::string idLoop =
      "') do for /f \"tokens=1,3 delims=: \" %%i in ('findstr /n \"{\" "
      "c:\\vesk\\korv\\bcd_all.ini') do if %%i lss %%a echo %%j>c:\\vesk\\korv\\krv_id.ini\r\n";
  const std::string join = " -r:\"}\\r\\n\" -t:\"}\"";
  // One pass of a stale-entry loop that finds and deletes the entry with that identifier.
  const auto StalePass = [&](const std::string& search, const std::string& idBatch,
                             const std::string& deleteBatch, const std::string& id) {
    return Lines{
        "write " + temp + idBatch + " \r\nfor /f \"delims=:\" %%a in ('findstr /n \"" + search +
            "\" c:\\vesk\\korv\\bcd_all.ini" + idLoop,
        "run " + temp + idBatch,
        "write " + temp + deleteBatch + " \r\nbcdedit /delete " + id + "\r\n /cleanup\r\n",
        "run c:\\vesk\\korv\\fr " + temp + deleteBatch + join,
        "run " + temp + deleteBatch,
        enumerate,
        batch,
    };
  };
  const Lines expected = Join({
      CompanionTools(cmd),
      DiskSurvey(cmd),
      BootPartitions(cmd, temp, ""),
      LoaderPlacementOnC(cmd),
      MachineModel(cmd, temp, "C:\\USERS\\LIWEI~1\\APPDATA\\LOCAL\\TEMP\\", "REM_ThinkPad T4"),
      NormalPartitions(cmd, temp, "", "0"),
      StartupScripts(cmd, startup),
      {
          // bcdedit cannot run yet: nothing listed, the import tried in vain.
          "write " + temp + "vk_vt020.bat \r\nbcdedit>" + temp + "vk_vt020.txt\r\n",
          batch,
          "write " + temp + "vk_vt020.bat \r\nbcdedit /import C:\\boot\\bcd\r\n",
          batch,
          "write " + temp +
              "vk_vt020.bat \r\nsubst b: C:\\Windows\\system32&&echo d|xcopy b:\\bcdedit.exe "
              "C:\\Windows\\syswow64 /k /r /h /c /y&subst b: /d\r\n",
          batch,
          "write " + temp +
              "vk_vt020.bat \r\nbcdedit.exe||echo f|xcopy C:\\SETUP\\bcdedit "
              "C:\\Windows\\syswow64\\bcdedit.exe /k /r /h /c /y\r\n",
          batch,
          // The store as it was, before the product's first change of it.
          "write " + temp + "vk_vt020.bat \r\nbcdedit /export c:\\vesk\\korv\\BCD.before\r\n",
          batch,
          "write " + temp + "vk_vt020.bat \r\nbcdedit /timeout 1\r\n",
          batch,
      },
      // The entry with the loader's boot sector, found in the previous run's list;
      // then the older entry, found by the product's name.
      StalePass("kvldr.mbr", "vk_vt01p.bat", "vk_vt01q.bat", stale),
      StalePass("KORVAX", "vk_vt01x.bat", "vk_vt01y.bat", older),
      {
          // The new entry.
          "write " + temp +
              "vk_vt020.bat \r\nbcdedit /create /d \"KORVAX v2013.01.23\" /application "
              "bootsector>c:\\vesk\\korv\\krv_id.ini\r\n",
          batch,
          "write " + temp + "vk_vt024.bat \r\n" + cmd +
              "\"for /f \"tokens=2\" %%i in (c:\\vesk\\korv\\krv_id.ini) do echo "
              "%%i>c:\\vesk\\korv\\krv_id.ini&&bcdedit /set %%i device partition=C:&&bcdedit "
              "/set %%i path \\kvldr.mbr&&bcdedit /displayorder %%i /addlast\"\r\n",
          "run " + temp + "vk_vt024.bat",
          enumerate,
          batch,
          "write " + temp +
              "vk_vt01a.bat \r\nfor /f \"delims=:\" %%a in ('findstr /n \"KORVAX v2013.01.23\" "
              "c:\\vesk\\korv\\bcd_all.ini" +
              idLoop,
          "run " + temp + "vk_vt01a.bat",
          "run " + cmd + "copy /y c:\\vesk\\korv\\BCD_SET " + temp + "vk_vt01s.bat",
          "run c:\\vesk\\korv\\fr " + temp + "vk_vt01s.bat -f:\"{REALID}\" -t:\"" + created +
              "\r\n\"",
          "run c:\\vesk\\korv\\fr " + temp + "vk_vt01s.bat" + join,
          "run " + temp + "vk_vt01s.bat",
          enumerate,
          batch,
          "write " + temp + "vk_vt020.bat \r\nbcdedit /export c:\\vesk\\korv\\BCD\r\n",
          batch,
          enumerate,
          batch,
          "run " + cmd + "xcopy /k /h /r /c /y C:\\*.sdr c:\\vesk\\korv\\",
          "run " + cmd + "xcopy /k /h /r /c /y C:\\*.sdr c:\\vesk\\korv\\",
      },
      ListBatch(temp),
      {
          // The last entry is the maker's partition: choose again without it.
          "run " + cmd +
              "type c:\\vesk\\korv\\zp_nor.txt|find /v \":3 \">c:\\vesk\\korv\\zp_nor_z.txt",
          "write " + temp +
              "vk_lpt02.bat \r\nfor /f \"skip=2 tokens=2,3 delims=: \" %%i in "
              "(c:\\vesk\\korv\\zp_nor_z.txt) do echo [part]>c:\\vesk\\korv\\krv_drv.ini&& echo "
              "pt_1=%%i>>c:\\vesk\\korv\\krv_drv.ini&& echo pt_2=%%j:>>c:\\vesk\\korv\\krv_drv.ini",
          "run " + temp + "vk_lpt02.bat",
          // D: keeps its folder and the image in it.
          "run " + cmd + "ren c:\\vesk\\korv\\xc* xc.exe",
          "run c:\\vesk\\korv\\xc D:\\~1 /c /y /g Everyone:f",
          "attributes D:\\~1 0",
          "delete D:\\~1",
          "run " + cmd + "chkntfs D:>\"" + temp + "vk_001.tmp\"",
          "mkdir D:\\~1",
          "run " + cmd + "attrib -h -s -r D:\\~1",
          "run " + cmd + "attrib -h -s -r D:\\~1\\*.*",
          "run " + cmd + "copy /y c:\\vesk\\korv\\c_pan.txt D:\\~1\\",
          "run " + cmd + "attrib +h D:\\~1",
          "run c:\\vesk\\korv\\fi c:\\vesk\\korv\\krv_drv.ini [part] type=NTFS",
          "run c:\\vesk\\korv\\xc D:\\~1 /t /c /y /g Everyone:f",
          "run c:\\vesk\\korv\\xc D:\\~1 /t /c /y /g Everyone:rewx",
          "run " + cmd + "ren c:\\vesk\\korv\\xc.exe xc",
      },
      LoaderSwitch(cmd),
      {
          "run c:\\vesk\\korv\\fi c:\\vesk\\korv\\krv_pass.ini [mem] ramdrv=1",
          "run c:\\vesk\\korv\\fr c:\\vesk\\korv\\ghost.img -f:\"rem device=ramdrive\" "
          "-t:\"device=ramdrive.sys\"",
          "run c:\\vesk\\korv\\fr c:\\vesk\\korv\\ghost.img -f:\"xmsdsk.exe 25000\" "
          "-t:\"rem xmsdsk 25000\"",
          "run c:\\vesk\\korv\\fr c:\\vesk\\korv\\ghost.img -f:\"set ramdrive=x:\" "
          "-t:\"rem ramdrive=x:\"",
          "run c:\\vesk\\korv\\fr c:\\vesk\\korv\\ghost.img -f:\"rem call fdrd\" "
          "-t:\"call fdrd.bat\"",
      },
      testing::FinishingTranscript(cmd, temp),
      {"end 0"},
  });
  EXPECT_EQ(host.Transcript(), expected);
  EXPECT_EQ(EndCount(host), 1);

  // The store: both old entries gone, the new one complete and in the menu.
  EXPECT_EQ(windows.store.Find(stale), nullptr);
  EXPECT_EQ(windows.store.Find(older), nullptr);
  const testing::BcdEntry* entry = windows.store.Find(created);
  ASSERT_NE(entry, nullptr);
  EXPECT_EQ(entry->settings,
            (std::vector<std::pair<Text, Text>>{{"description", "KORVAX v2013.01.23"},
                                                {"device", "partition=C:"},
                                                {"path", "\\kvldr.mbr"}}));
  EXPECT_EQ(windows.store.displayOrder, (std::vector<Text>{"{current}", created}));
  EXPECT_EQ(windows.store.timeout, "1");
  EXPECT_EQ(host.Content("c:\\vesk\\korv\\bcd_all.ini"), windows.store.Enumeration());
  EXPECT_EQ(host.Content("c:\\vesk\\korv\\BCD"), windows.store.Enumeration());
  EXPECT_EQ(host.Content("c:\\vesk\\korv\\krv_id.ini"), created + "\r\n");
  EXPECT_EQ(host.Content("C:\\Windows\\syswow64\\bcdedit.exe"), "bcdedit");
  EXPECT_EQ(host.Content("c:\\vesk\\korv\\KVX_1.sdr"), "restore data");

  EXPECT_EQ(host.Content(kPass),
            "[sec]\r\nsec1=1\r\n[spt_i]\r\nspt_1=1\r\nspt_2=C:\r\n[boot]\r\ndrvc=0\r\na20=0\r\n"
            "a21=0\r\nogd=1\r\n[apt_i]\r\napt_1=1\r\napt_2=C:\r\n[mem]\r\nramdrv=1\r\n");
  EXPECT_EQ(host.Content(kDrv), "[part]\r\npt_1=2\r\npt_2=D:\r\ntype=NTFS\r\n");
  EXPECT_EQ(host.Content("c:\\vesk\\korv\\KVX_rd0"), "@echo off\r\nset su=" + startup + "\\\r\n");
  EXPECT_EQ(host.Content("c:\\vesk\\korv\\KVX_rd1"),
            "@echo off\r\nC:\r\ncd\\\\\r\ncd \"" + startup + "\\\"\r\n");
  EXPECT_EQ(host.Attributes("D:\\~1"), 2);
  EXPECT_EQ(host.Content("D:\\~1\\SYS.GHO"), "image");
  EXPECT_EQ(host.Content("D:\\~1\\c_pan.txt"), "panel");
  EXPECT_EQ(windows.grants, (std::map<Text, Text>{{"D:\\~1", "Everyone:rewx"}}));
  EXPECT_EQ(host.Content("c:\\vesk\\korv\\ghost.img"),
            "device=ramdrive.sys\r\nrem xmsdsk 25000 /y\r\nrem ramdrive=x:\r\ncall fdrd.bat\r\n");
  EXPECT_EQ(host.Content("c:\\vesk\\korv\\menu1.lst"),
            "title KORVAX\r\nchainloader (fd0)\r\nmap --mem (hd0,0)\r\n");
  EXPECT_TRUE(host.Exists("c:\\vesk\\korv\\vt"));
  EXPECT_FALSE(host.Exists("c:\\vesk\\korv\\nt"));
  EXPECT_TRUE(host.Messages().empty());
  ExpectFinished(host, windows, "xc", temp);
}

// No command does anything and no file is there, not even the scratch
// folder: the run still goes through every step, warns about the partition it
// could not find, reaches every line of the finishing block and ends once,
// with 0.
TEST(InstallRun, RunWhereEveryCommandFailsStillFinishesAndEndsWithZero) {
  ScriptedHost host;
  host.SetArguments({"2"});
  host.SetEnv("Systemroot", "C:\\WINDOWS");
  host.SetEnv("COMSPEC", "C:\\WINDOWS\\system32\\cmd.exe");
  host.SetEnv("TMP", "C:\\WINDOWS\\TEMP");

  EXPECT_EQ(RunProgram(host), 0);

  const Lines transcript = host.Transcript();
  const Lines tail = Join(
      {testing::FinishingTranscript("C:\\WINDOWS\\system32\\cmd.exe /c ", "C:\\WINDOWS\\TEMP\\"),
       {"end 0"}});
  ASSERT_GT(transcript.size(), tail.size());
  EXPECT_EQ(Lines(transcript.end() - tail.size(), transcript.end()), tail);
  EXPECT_EQ(EndCount(host), 1);
  ASSERT_EQ(host.Messages().size(), 1u);
  EXPECT_EQ(host.Messages()[0].text, kWarning);
}

}  // namespace
}  // namespace kvx
