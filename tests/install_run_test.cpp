// Whole runs of the install configuration (argument "2") on the sample
// machines of the bench (tests/e2e/machines): every command, batch text and
// message in order, and what the machine holds afterwards; and a run on a
// machine where nothing works.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "entry/program.h"
#include "tests/support/expected_blocks.h"
#include "tests/support/sample_machines.h"
#include "tests/support/simulated_windows.h"
#include "tests/tools/text.h"

namespace kvx {
namespace {

using testing::EndCount;
using testing::Join;
using testing::Lines;
using testing::ScriptedHost;
using testing::SimulatedWindows;

const std::string kCmd = testing::kSampleShell;
const Text kPass = "c:\\vesk\\korv\\krv_pass.ini";
const Text kDrv = "c:\\vesk\\korv\\krv_drv.ini";
const Text kPublicTemp = "C:\\users\\Public\\Temp\\";
const Text kPublicStartup = "C:\\users\\Public\\Start Menu\\Programs\\Startup";
const Text kLoader = "KVLDR boot loader 3.2 (A20 gate switched by the loader)\r\n";
const Text kLoaderWithoutA20 = "KVLDR boot loader 3.2 (A20 gate left to the BIOS)\r\n";

// What every run leaves in the product folder: the tools and the shortcut
// under their stored names, the registry file imported and kept, the bitmap
// gone, the folder visible, the maker's folder hidden, the loader at the
// root of C: protected; and no scratch file.
void ExpectFinished(const ScriptedHost& host, const SimulatedWindows& windows, const Text& xcName,
                    const Text& temp, const Text& loader) {
  for (const Text name : {"zp", "fi", "fr", "KVX_SU", "ghostexp"}) {
    EXPECT_TRUE(host.Exists("c:\\vesk\\korv\\" + name)) << name;
  }
  EXPECT_TRUE(host.Exists("c:\\vesk\\korv\\" + xcName));
  for (const Text name :
       {"zptlx.exe", "fi.exe", "fr.exe", "xc.exe", "KVX_SU.LNK", "ghostexp.reg", "IRIMG2.BMP"}) {
    EXPECT_FALSE(host.Exists("c:\\vesk\\korv\\" + name)) << name;
  }
  EXPECT_NE(bench::FindText(host.Content("c:\\vesk\\korv\\ghostexp"), "REGEDIT4", false),
            std::string::npos);
  EXPECT_EQ(windows.imported, std::vector<Text>{host.Content("c:\\vesk\\korv\\ghostexp")});
  EXPECT_EQ(host.Attributes("c:\\vesk\\korv"), 0);
  EXPECT_EQ(host.Attributes("c:\\vesk"), 2);
  for (const Text& path : host.Paths()) {
    EXPECT_EQ(bench::FindText(path, temp + "vk_", true), std::string::npos) << path;
  }
  EXPECT_EQ(host.Content("C:\\KVLDR"), loader);
  EXPECT_EQ(host.Attributes("C:\\KVLDR"), 7);
  EXPECT_TRUE(windows.unhandled.empty()) << windows.unhandled.front();
}

// The survey half of a run on a sample machine (no BIOS description, the
// active partition C:), up to the start-up scripts: tempKey is the scratch
// folder in upper case, the boot disk as suffix of its scan ("" for the
// first) and as number in the normal list.
Lines Survey(const std::string& temp, const std::string& tempKey, const std::string& bootDiskSuffix,
             const std::string& bootDiskIndex, const std::string& startup) {
  return Join({
      testing::CompanionTools(kCmd),
      testing::DiskSurvey(kCmd),
      testing::BootPartitions(kCmd, temp, bootDiskSuffix),
      testing::LoaderPlacementOnC(kCmd),
      testing::MachineModel(kCmd, temp, tempKey, ""),
      testing::NormalPartitions(kCmd, temp, bootDiskSuffix, bootDiskIndex),
      testing::StartupScripts(kCmd, startup),
  });
}

// The hidden folder's access rights: "xc" stored as xc gives rewx at the end.
Lines RightsForXc(const std::string& cmd, const std::string& folder) {
  return {
      "run c:\\vesk\\korv\\fi c:\\vesk\\korv\\krv_drv.ini [part] type=NTFS",
      "run c:\\vesk\\korv\\xc " + folder + " /t /c /y /g Everyone:f",
      "run c:\\vesk\\korv\\xc " + folder + " /t /c /y /g Everyone:rewx",
      "run " + cmd + "ren c:\\vesk\\korv\\xc.exe xc",
  };
}

// xp-zh: a Chinese Windows XP on a TOSHIBA notebook, over an older version
// whose line in the read-only boot.ini is the default; TMP with blanks, used
// in its short form; the access tool stored as xc1. On top, the notebook's
// Windows lies alone on its second disk, while the first disk's one
// partition is active too: the boot disk is disk 2, and no second partition
// is left for the images, so the user is warned and the folder goes to C:.
// And ver answers in Chinese, as on a Chinese XP.
TEST(InstallRun, WindowsXpOnTheSecondDiskCommandByCommand) {
  const std::string temp = "C:\\DOCU~CNJ\\ADMI~GZ1\\LOCA~ZN4\\Temp\\";
  const std::string startup = "C:\\Documents and Settings\\Administrator\\「开始」菜单\\程序\\启动";
  ScriptedHost host;
  SimulatedWindows windows(host);
  testing::LoadSampleMachine("xp-zh", "2", host, windows);
  windows.PutFixture("zp_disks.txt",
                     "disk 1 basic\r\npart 1 D FAT32 35000 pri active 备份\r\n"
                     "disk 2 basic\r\npart 1 C NTFS 40960 pri active WINXP\r\n");
  windows.version = "Microsoft Windows XP [版本 5.1.2600]";
  const Text shippedImage = host.Content("c:\\vesk\\korv\\ghost.img");
  EXPECT_EQ(RunProgram(host), 0);

  const Lines expected = Join({
      // Boot disk 2, listed as disk 1 in the normal list.
      Survey(temp, "C:\\DOCU~CNJ\\ADMI~GZ1\\LOCA~ZN4\\TEMP\\", "2", "1", startup),
      {
          // Disk 2 is the boot disk: its scan joins zp_all.txt.
          "run " + kCmd + "type c:\\vesk\\korv\\zp_all2.txt>>c:\\vesk\\korv\\zp_all.txt",
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
          "run " + kCmd + "copy /y C:\\boot.ini c:\\vesk\\korv\\",
          "run " + kCmd + "copy /y C:\\boot.ini c:\\vesk\\korv\\",
          "attributes C:\\boot.ini 7",
      },
      testing::ListBatch(temp),
      {
          "message 0x40 - " + testing::kOnePartitionWarning,
          "run " + kCmd + "ren c:\\vesk\\korv\\xc* xc.exe",
      },
      // The only partition, C:, receives the folder; xc1 grants full rights.
      testing::TargetFolder(kCmd, temp, "C:"),
      {
          "run c:\\vesk\\korv\\fi c:\\vesk\\korv\\krv_drv.ini [part] type=NTFS",
          "run c:\\vesk\\korv\\xc C:\\~1 /t /c /y /g Everyone:f",
          "run c:\\vesk\\korv\\xc C:\\~1 /t /c /y /g Everyone:f",
          "run " + kCmd + "ren c:\\vesk\\korv\\xc.exe xc1",
      },
      testing::LoaderSwitch(kCmd),
      testing::FinishingBlock(kCmd, temp),
      {"end 0"},
  });
  EXPECT_EQ(host.Transcript(), expected);
  EXPECT_EQ(EndCount(host), 1);

  const Text bootIni =
      "[boot loader]\r\ntimeout=5\r\ndefault=multi(0)disk(0)rdisk(0)partition(1)\\WINDOWS\r\n"
      "[operating systems]\r\nmulti(0)disk(0)rdisk(0)partition(1)\\WINDOWS=\"Microsoft Windows "
      "XP Professional\" /noexecute=optin /fastdetect\r\nC:\\KVLDR=珂瓦克斯 v2013.01.23\r\n";
  EXPECT_EQ(host.Content("C:\\boot.ini"), bootIni);
  EXPECT_EQ(host.Attributes("C:\\boot.ini"), 7);
  EXPECT_EQ(host.Content("c:\\vesk\\korv\\boot.ini"), bootIni);
  EXPECT_EQ(host.Content(kPass),
            "[spt_i]\r\nspt_1=1\r\nspt_2=C:\r\n[boot]\r\ndrvc=1\r\na20=0\r\na21=0\r\nogd=1\r\n"
            "[apt_i]\r\napt_1=1\r\napt_2=C:\r\n");
  EXPECT_EQ(host.Content(kDrv), "[part]\r\npt_1=1\r\npt_2=C:\r\ntype=NTFS\r\n");
  EXPECT_EQ(host.Content("c:\\vesk\\korv\\zp_all.txt"),
            "Disk 1 Basic_Disk\r\n1:1 D: FAT32 35000MB Pri Yes 备份\r\n"
            "Disk 2 Basic_Disk\r\n2:1 C: NTFS 40960MB Pri Yes WINXP\r\n");
  EXPECT_EQ(host.Content("c:\\vesk\\korv\\KVX_rd0"), "@echo off\r\nset su=" + startup + "\\\r\n");
  EXPECT_EQ(host.Content("c:\\vesk\\korv\\KVX_rd1"),
            "@echo off\r\nC:\r\ncd\\\\\r\ncd \"" + startup + "\\\"\r\n");
  EXPECT_TRUE(host.IsFolder("C:\\~1"));
  EXPECT_EQ(host.Attributes("C:\\~1"), 2);
  EXPECT_EQ(host.Content("C:\\~1\\c_pan.txt"), "KORVAX image folder\r\n");
  EXPECT_EQ(windows.Grants(),
            (std::map<Text, Text>{{"C:\\~1", "Everyone:f"}, {"C:\\~1\\c_pan.txt", "Everyone:f"}}));
  // The menu files lose their A20 options. Loaded for "2" alone, the machine
  // keeps the first one's wrong name (the checks of "1" repair it); the edit
  // takes every menu*.lst.
  EXPECT_EQ(host.Content("c:\\vesk\\korv\\menul.lst"),
            "title 1. Restore the system partition\r\nchainloader (fd0)\r\n"
            "map --mem (hd0,0)/kvx/ghost.img (fd0)\r\nboot\r\n");
  EXPECT_EQ(host.Content("c:\\vesk\\korv\\menu2.lst"),
            "title 2. Back up the system partition\r\nmap --mem (hd0,0)/kvx/ghost.img (fd0)\r\n"
            "map --hook\r\nchainloader (fd0)\r\nboot\r\n");
  EXPECT_EQ(host.Content("c:\\vesk\\korv\\ghost.img"), shippedImage);
  EXPECT_TRUE(host.Exists("c:\\vesk\\korv\\nt"));
  ExpectFinished(host, windows, "xc1", temp, kLoaderWithoutA20);
}

// win7-stale: an English 64-bit Windows 7 over an earlier installation: the
// store holds two old product entries, krv_id.ini is the previous run's, the
// data partition D: still has the hidden folder with an image in it, the
// product folder the previous run's store listing. On top: restore data at
// the root of C: for the product folder.
TEST(InstallRun, SixtyFourBitWindows7OverAnEarlierInstallCommandByCommand) {
  const std::string temp = kPublicTemp;
  const std::string stale = "{5d2e6a1c-3f1b-11e0-9a7c-0024811d0a17}";
  const std::string older = "{a3b8c7d2-1e2f-11df-8b4d-0024811d0a17}";
  const std::string created = "{1fa4e2b0-5c9d-11e2-8d37-000000000001}";
  ScriptedHost host;
  SimulatedWindows windows(host);
  testing::LoadSampleMachine("win7-stale", "2", host, windows);
  host.PutFile("C:\\KVX_1.sdr", "restore data");
  const Text shippedImage = host.Content("c:\\vesk\\korv\\ghost.img");
  const Text shippedMenu = host.Content("c:\\vesk\\korv\\menu1.lst");
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
      Survey(temp, "C:\\USERS\\PUBLIC\\TEMP\\", "", "0", kPublicStartup),
      {
          // The 32-bit program sees no bcdedit yet: nothing listed, the
          // import tried in vain, the 64-bit tool copied through a drive
          // letter, the spare from the setup folder (short form) only if
          // that fails.
          "write " + temp + "vk_vt020.bat \r\nbcdedit>" + temp + "vk_vt020.txt\r\n",
          batch,
          "write " + temp + "vk_vt020.bat \r\nbcdedit /import C:\\boot\\bcd\r\n",
          batch,
          "write " + temp +
              "vk_vt020.bat \r\nsubst b: C:\\windows\\system32&&echo d|xcopy b:\\bcdedit.exe "
              "C:\\windows\\syswow64 /k /r /h /c /y&subst b: /d\r\n",
          batch,
          "write " + temp +
              "vk_vt020.bat \r\nbcdedit.exe||echo f|xcopy C:\\KVX_~PRR\\bcdedit "
              "C:\\windows\\syswow64\\bcdedit.exe /k /r /h /c /y\r\n",
          batch,
          // The store as it was, before the product's first change of it.
          "write " + temp + "vk_vt020.bat \r\nbcdedit /export c:\\vesk\\korv\\BCD.before\r\n",
          batch,
          // sec1=0 in the settings left by the setup package.
          "write " + temp + "vk_vt020.bat \r\nbcdedit /timeout 5\r\n",
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
          "write " + temp + "vk_vt024.bat \r\n" + kCmd +
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
          "run " + kCmd + "copy /y c:\\vesk\\korv\\BCD_SET " + temp + "vk_vt01s.bat",
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
          "run " + kCmd + "xcopy /k /h /r /c /y C:\\*.sdr c:\\vesk\\korv\\",
          "run " + kCmd + "xcopy /k /h /r /c /y C:\\*.sdr c:\\vesk\\korv\\",
      },
      // D: is the last partition listed and keeps its folder and the image in it.
      testing::ListBatch(temp),
      {
          "run " + kCmd + "ren c:\\vesk\\korv\\xc* xc.exe",
          "run c:\\vesk\\korv\\xc D:\\~1 /c /y /g Everyone:f",
          "attributes D:\\~1 0",
          "delete D:\\~1",
      },
      testing::TargetFolder(kCmd, temp, "D:"),
      RightsForXc(kCmd, "D:\\~1"),
      testing::FinishingBlock(kCmd, temp),
      {"end 0"},
  });
  EXPECT_EQ(host.Transcript(), expected);
  EXPECT_EQ(EndCount(host), 1);

  // The store: both old entries gone, the new one complete and in the menu.
  const bench::BcdStore store = windows.Store();
  EXPECT_EQ(store.Find(stale), nullptr);
  EXPECT_EQ(store.Find(older), nullptr);
  const bench::BcdEntry* entry = store.Find(created);
  ASSERT_NE(entry, nullptr);
  EXPECT_EQ(entry->elements,
            (std::vector<std::pair<std::string, std::string>>{{"description", "KORVAX v2013.01.23"},
                                                              {"device", "partition=C:"},
                                                              {"path", "\\kvldr.mbr"}}));
  EXPECT_EQ(testing::DisplayOrder(store), (std::vector<Text>{"{current}", created}));
  EXPECT_EQ(store.Find("{bootmgr}")->Element("timeout"), "5");
  EXPECT_EQ(host.Content("c:\\vesk\\korv\\bcd_all.ini"), bench::EnumAll(store));
  EXPECT_EQ(host.Content("c:\\vesk\\korv\\BCD"), bench::FormatBcdStore(store));
  EXPECT_EQ(host.Content("c:\\vesk\\korv\\krv_id.ini"), created + "\r\n");
  EXPECT_EQ(host.Content("C:\\windows\\syswow64\\bcdedit.exe"), "bcdedit");
  EXPECT_EQ(host.Content("c:\\vesk\\korv\\KVX_1.sdr"), "restore data");

  EXPECT_EQ(host.Content(kPass),
            "[sec]\r\nsec1=0\r\n[spt_i]\r\nspt_1=1\r\nspt_2=C:\r\n[boot]\r\ndrvc=0\r\n"
            "[apt_i]\r\napt_1=1\r\napt_2=C:\r\n");
  EXPECT_EQ(host.Content(kDrv), "[part]\r\npt_1=2\r\npt_2=D:\r\ntype=NTFS\r\n");
  EXPECT_EQ(host.Content("c:\\vesk\\korv\\KVX_rd0"),
            "@echo off\r\nset su=" + kPublicStartup + "\\\r\n");
  EXPECT_EQ(host.Content("c:\\vesk\\korv\\KVX_rd1"),
            "@echo off\r\nC:\r\ncd\\\\\r\ncd \"" + kPublicStartup + "\\\"\r\n");
  EXPECT_EQ(host.Attributes("D:\\~1"), 2);
  EXPECT_EQ(host.Content("D:\\~1\\SYS.GHO"), "GHOST image of an earlier backup\r\n");
  EXPECT_EQ(host.Content("D:\\~1\\c_pan.txt"), "KORVAX image folder\r\n");
  EXPECT_EQ(windows.Grants(), (std::map<Text, Text>{{"D:\\~1", "Everyone:rewx"},
                                                    {"D:\\~1\\SYS.GHO", "Everyone:rewx"},
                                                    {"D:\\~1\\c_pan.txt", "Everyone:rewx"}}));
  // No model tag: boot image and menus as shipped.
  EXPECT_EQ(host.Content("c:\\vesk\\korv\\ghost.img"), shippedImage);
  EXPECT_EQ(host.Content("c:\\vesk\\korv\\menu1.lst"), shippedMenu);
  EXPECT_TRUE(host.Exists("c:\\vesk\\korv\\vt"));
  EXPECT_FALSE(host.Exists("c:\\vesk\\korv\\nt"));
  EXPECT_TRUE(host.Messages().empty());
  ExpectFinished(host, windows, "xc", temp, kLoader);
}

// thinkpad: the maker's recovery partition is the last in the list, so the
// target is chosen again without it, and the ThinkPad tag switches the loader
// and arranges the boot image; the run up to the first choice is the one
// above.
TEST(InstallRun, ThinkPadChoosesAgainAndSwitchesLoaderAndImageCommandByCommand) {
  const std::string temp = kPublicTemp;
  ScriptedHost host;
  SimulatedWindows windows(host);
  testing::LoadSampleMachine("thinkpad", "2", host, windows);
  const Text shippedImage = host.Content("c:\\vesk\\korv\\ghost.img");
  EXPECT_EQ(RunProgram(host), 0);

  const Lines tail = Join({
      testing::ListBatch(temp),
      testing::SecondListBatch(kCmd, temp, "3"),
      {"run " + kCmd + "ren c:\\vesk\\korv\\xc* xc.exe"},
      testing::TargetFolder(kCmd, temp, "D:"),
      RightsForXc(kCmd, "D:\\~1"),
      testing::LoaderSwitch(kCmd),
      testing::ThinkPadArrangement(),
      testing::FinishingBlock(kCmd, temp),
      {"end 0"},
  });
  const Lines transcript = host.Transcript();
  ASSERT_GT(transcript.size(), tail.size());
  EXPECT_EQ(Lines(transcript.end() - tail.size(), transcript.end()), tail);
  EXPECT_EQ(EndCount(host), 1);

  EXPECT_EQ(host.Content(kDrv), "[part]\r\npt_1=2\r\npt_2=D:\r\ntype=NTFS\r\n");
  EXPECT_EQ(host.Content(kPass),
            "[spt_i]\r\nspt_1=1\r\nspt_2=C:\r\n[boot]\r\ndrvc=0\r\na20=0\r\na21=0\r\nogd=1\r\n"
            "[apt_i]\r\napt_1=1\r\napt_2=C:\r\n[mem]\r\nramdrv=1\r\n");
  // Four edits of the same length; every other byte of the image stays.
  Text image = shippedImage;
  for (const auto& [from, to] :
       std::vector<std::pair<Text, Text>>{{"rem device=ramdrive", "device=ramdrive.sys"},
                                          {"xmsdsk.exe 25000", "rem xmsdsk 25000"},
                                          {"set ramdrive=x:", "rem ramdrive=x:"},
                                          {"rem call fdrd", "call fdrd.bat"}}) {
    const size_t at = bench::FindText(image, from, false);
    ASSERT_NE(at, std::string::npos) << from;
    image.replace(at, from.size(), to);
  }
  EXPECT_EQ(host.Content("c:\\vesk\\korv\\ghost.img"), image);
  EXPECT_EQ(image.size(), shippedImage.size());
  EXPECT_EQ(host.Content("c:\\vesk\\korv\\menu1.lst"),
            "title 1. Restore the system partition\r\nchainloader (fd0)\r\n"
            "map --mem (hd0,0)/kvx/ghost.img (fd0)\r\nboot\r\n");
  EXPECT_TRUE(host.Messages().empty());
  ExpectFinished(host, windows, "xc", temp, kLoaderWithoutA20);
}

// No command does anything and not even the scratch folder is there: the run
// still goes through every step, warns about the partition it could not
// find, reaches every line of the finishing block and ends once, with 0.
TEST(InstallRun, RunWhereEveryCommandFailsStillFinishesAndEndsWithZero) {
  ScriptedHost host;
  SimulatedWindows windows(host);
  testing::LoadSampleMachine("xp-zh", "2", host, windows);
  windows.commandsRun = false;
  host.RemovePath("C:\\Documents and Settings\\Administrator\\Local Settings\\Temp");
  host.RemovePath("C:\\DOCU~CNJ\\ADMI~GZ1\\LOCA~ZN4\\Temp");

  EXPECT_EQ(RunProgram(host), 0);

  const Lines transcript = host.Transcript();
  const Lines tail =
      Join({testing::FinishingBlock(kCmd, "C:\\DOCU~CNJ\\ADMI~GZ1\\LOCA~ZN4\\Temp\\"), {"end 0"}});
  ASSERT_GT(transcript.size(), tail.size());
  EXPECT_EQ(Lines(transcript.end() - tail.size(), transcript.end()), tail);
  EXPECT_EQ(EndCount(host), 1);
  ASSERT_EQ(host.Messages().size(), 1u);
  EXPECT_EQ(host.Messages()[0].text, testing::kOnePartitionWarning);
}

}  // namespace
}  // namespace kvx
