// The shipped kvxcfg.exe on the sample machines (tests/e2e/machines), each
// run once by tests/e2e/run-machine.sh: "1", then "2" when the marker kept
// its name. The checks read what the machine holds afterwards and, where the
// order matters, the configurator's steps as they ran.
#include <gtest/gtest.h>

#include <algorithm>

#include "tests/e2e/bench/trace_record.h"
#include "tests/e2e/checks/e2e_support.h"
#include "tests/support/expected_blocks.h"
#include "tests/tools/bcd_store.h"

namespace kvx::e2e {
namespace {

using testing::kOnePartitionWarning;
using testing::kOtherWindowsQuestion;

const std::string kEnglishTitle = "KORVAX v2013.01.23";
const std::string kChineseTitle = "珂瓦克斯 v2013.01.23";
const std::string kPublicTemp = "C:\\users\\Public\\Temp";
const std::string kPublicStartup = "C:\\users\\Public\\Start Menu\\Programs\\Startup";

bench::BcdStore Store(const RunFolder& folder) {
  bench::BcdStore store;
  std::string error;
  EXPECT_TRUE(
      bench::ParseBcdStore(folder.Text("C:\\kvxbench\\fixture\\bcd_store.txt"), &store, &error))
      << error;
  return store;
}

// The store without the product's entries (the loader's boot sector), the
// boot manager's menu order and timeout: what an installation must leave as
// it found it.
std::string OthersOf(const RunFolder& folder, const std::string& storeFile) {
  bench::BcdStore store;
  std::string error;
  EXPECT_TRUE(bench::ParseBcdStore(folder.Text(storeFile), &store, &error)) << error;
  store.entries.erase(std::remove_if(store.entries.begin(), store.entries.end(),
                                     [](const bench::BcdEntry& entry) {
                                       return entry.Element("path") == "\\kvldr.mbr";
                                     }),
                      store.entries.end());
  store.Find("{bootmgr}")->Remove("displayorder");
  store.Find("{bootmgr}")->Remove("timeout");
  store.next = 0;
  return bench::FormatBcdStore(store);
}
const std::string kStoreNow = "C:\\kvxbench\\fixture\\bcd_store.txt";
const std::string kStoreBefore = "C:\\kvxbench\\before\\bcd_store.txt";

// The identifiers of the store's entries whose description holds the text.
Lines EntriesDescribed(const bench::BcdStore& store, const std::string& text) {
  Lines ids;
  for (const bench::BcdEntry& entry : store.entries) {
    const std::string* description = entry.Find("description");
    if (description != nullptr && description->find(text) != std::string::npos)
      ids.push_back(entry.id);
  }
  return ids;
}

// The product's one boot-sector entry, complete and last in the menu.
void ExpectProductEntry(const RunFolder& folder, const std::string& title,
                        const std::string& timeout) {
  bench::BcdStore store = Store(folder);
  const Lines ids = EntriesDescribed(store, title);
  ASSERT_EQ(ids.size(), 1u);
  const bench::BcdEntry* entry = store.Find(ids[0]);
  EXPECT_EQ(entry->type, "bootsector");
  ASSERT_NE(entry->Find("device"), nullptr);
  EXPECT_EQ(*entry->Find("device"), "partition=C:");
  ASSERT_NE(entry->Find("path"), nullptr);
  EXPECT_EQ(*entry->Find("path"), "\\kvldr.mbr");
  const std::string* order = store.Find("{bootmgr}")->Find("displayorder");
  ASSERT_NE(order, nullptr);
  EXPECT_EQ(order->substr(order->rfind(' ') + 1), ids[0]);
  EXPECT_EQ(*store.Find("{bootmgr}")->Find("timeout"), timeout);
  // The identifier kept for the next installation; the listing and the
  // exported store in the product folder name the entry.
  EXPECT_EQ(folder.Text(kProduct + "krv_id.ini"), ids[0] + "\r\n");
  EXPECT_NE(folder.Text(kProduct + "bcd_all.ini").find("identifier              " + ids[0]),
            std::string::npos);
  EXPECT_NE(folder.Text(kProduct + "BCD").find(ids[0] + " bootsector"), std::string::npos);
  EXPECT_TRUE(folder.Exists(kProduct + "vt"));
  EXPECT_FALSE(folder.Exists(kProduct + "nt"));
}

// The settings batch takes the second word of bcdedit's answer, which in
// English is "entry" ("The entry {...} was successfully created."), so its
// settings fail and the template BCD_SET sets device and path. This is the
// configurator's own text, shown as it ran.
void ExpectSettingsBatchAsRun(const ProgramRun& run) {
  const Lines steps = Steps(run);
  EXPECT_TRUE(InOrder(
      steps, {"batch \r\n" + kCmd +
              "\"for /f \"tokens=2\" %%i in (c:\\vesk\\korv\\krv_id.ini) do echo "
              "%%i>c:\\vesk\\korv\\krv_id.ini&&bcdedit /set %%i device partition=C:&&bcdedit /set "
              "%%i path \\kvldr.mbr&&bcdedit /displayorder %%i /addlast\"\r\n"}));
  EXPECT_TRUE(InOrder(Calls(run, "bcdedit"), {"bcdedit /set entry device partition=C:"}));
}

// A file of the product package as the setup package left it.
std::string Shipped(const RunFolder& folder, const std::string& name) {
  return folder.Text("C:\\kvxbench\\package\\" + name);
}

// Every occurrence of each find text replaced, in order.
std::string Replaced(std::string text,
                     std::initializer_list<std::pair<std::string, std::string>> edits) {
  for (const auto& edit : edits) {
    for (size_t at = text.find(edit.first); at != std::string::npos;
         at = text.find(edit.first, at + edit.second.size())) {
      text.replace(at, edit.first.size(), edit.second);
    }
  }
  return text;
}

// The model boot options of a TOSHIBA, MICRO-STAR, ASUS or ThinkPad machine:
// the loader's "_0" variant at the root of C:, three settings, the menus
// without their A20 options.
void ExpectLoaderSwitched(const RunFolder& folder) {
  EXPECT_EQ(folder.Text("C:\\KVLDR"), Shipped(folder, "KVLDR_0"));
  const std::string pass = folder.Text(kProduct + "krv_pass.ini");
  EXPECT_EQ(bench::IniValue(pass, "boot", "a20"), "0");
  EXPECT_EQ(bench::IniValue(pass, "boot", "a21"), "0");
  EXPECT_EQ(bench::IniValue(pass, "boot", "ogd"), "1");
  for (const std::string menu : {"menu1.lst", "menu2.lst"}) {
    EXPECT_EQ(
        folder.Text(kProduct + menu),
        Replaced(Shipped(folder, menu), {{"chainloader --disable-a20 (fd0)", "chainloader (fd0)"},
                                         {"map --mem --a20-keep-on=0", "map --mem"}}))
        << menu;
  }
  // The loader loses its protection only for the copy.
  EXPECT_TRUE(InOrder(Steps(RunOf(folder, "2")), AsTraced(testing::LoaderSwitch(kCmd))));
}

// No model tag: loader, menus and boot image as shipped.
void ExpectShippedBootFiles(const RunFolder& folder) {
  EXPECT_EQ(folder.Text("C:\\KVLDR"), Shipped(folder, "KVLDR"));
  for (const std::string name : {"menu1.lst", "menu2.lst", "ghost.img"})
    EXPECT_TRUE(SameBytes(folder.Text(kProduct + name), Shipped(folder, name))) << name;
}

void ExpectNoMessage(const RunFolder& folder) {
  for (const std::string argument : {"1", "2"})
    EXPECT_TRUE(bench::Boxes(RunOf(folder, argument)).empty()) << argument;
}

// The box as passed, as shown (read from its window), the button pressed
// and the code the program got. The style as passed is the step's with the
// host's 0x50000: come to the front and stay on top.
void ExpectBox(const Box& box, const std::string& style, const std::string& caption,
               const std::string& text, const std::string& pressed) {
  EXPECT_EQ(box.style, style);
  EXPECT_EQ(box.caption, caption);
  EXPECT_EQ(box.text, text);
  EXPECT_EQ(box.shownCaption, caption);
  EXPECT_EQ(box.shownText, text);
  EXPECT_EQ(box.pressed, pressed);
  EXPECT_EQ(box.returned, pressed);
}

// --- English 64-bit Windows 7, C: and D:, first installation ---

TEST(Windows7English, InstallsTheBootEntryAndTheHiddenFolderOnD) {
  const RunFolder& folder = Machine("win7-en");
  ExpectInstalled(folder, {kPublicTemp, kPublicStartup, "xc", "D:\\~1", false});
  ExpectProductEntry(folder, kEnglishTitle, "5");
  ExpectNoMessage(folder);
  EXPECT_EQ(
      folder.Text(kProduct + "krv_pass.ini"),
      "[spt_i]\r\nspt_1=1\r\nspt_2=C:\r\n[boot]\r\ndrvc=0\r\n[apt_i]\r\napt_1=1\r\napt_2=C:\r\n");
  EXPECT_EQ(folder.Text(kProduct + "krv_drv.ini"), "[part]\r\npt_1=5\r\npt_2=D:\r\ntype=NTFS\r\n");
  ExpectShippedBootFiles(folder);
  // The boot sector image and the loader beside Windows' own boot files.
  EXPECT_EQ(folder.Text("C:\\kvldr.mbr"), folder.Text(kProduct + "kvldr.mbr"));
}

TEST(Windows7English, BcdStepsRunInOrderOnTheRealInterpreter) {
  const RunFolder& folder = Machine("win7-en");
  const ProgramRun& run = RunOf(folder, "2");
  const std::string temp = kPublicTemp + "\\";
  const std::string enumerate = "batch \r\nbcdedit /enum all >c:\\vesk\\korv\\bcd_all.ini\r\n";
  EXPECT_TRUE(InOrder(
      Steps(run),
      {"batch \r\nbcdedit>" + temp + "vk_vt020.txt\r\n",
       // The 32-bit program sees no bcdedit.exe yet: nothing listed, the import tried.
       "batch \r\nbcdedit /import C:\\boot\\bcd\r\n",
       "batch \r\nsubst b: C:\\windows\\system32&&echo d|xcopy b:\\bcdedit.exe "
       "C:\\windows\\syswow64 /k /r /h /c /y&subst b: /d\r\n",
       "batch \r\nbcdedit /timeout 5\r\n",
       // A first installation: no old entry, one pass of each removal loop.
       "batch \r\nbcdedit /delete  /cleanup\r\n", enumerate,
       "batch \r\nbcdedit /delete  /cleanup\r\n", enumerate,
       "batch \r\nbcdedit /create /d \"" + kEnglishTitle +
           "\" /application bootsector>c:\\vesk\\korv\\krv_id.ini\r\n",
       enumerate, "run " + kCmd + "copy /y c:\\vesk\\korv\\BCD_SET " + temp + "vk_vt01s.bat",
       "run c:\\vesk\\korv\\fr " + temp + "vk_vt01s.bat -r:\"}\\r\\n\" -t:\"}\"",
       "run " + temp + "vk_vt01s.bat", enumerate,
       "batch \r\nbcdedit /export c:\\vesk\\korv\\BCD\r\n", enumerate}));
  ExpectSettingsBatchAsRun(run);
  // The template, filled in and joined, as the interpreter ran it.
  EXPECT_TRUE(InOrder(Calls(run, "bcdedit"),
                      {"bcdedit /set {1fa4e2b0-5c9d-11e2-8d37-000000000001} device partition=C:",
                       "bcdedit /set {1fa4e2b0-5c9d-11e2-8d37-000000000001} path \\kvldr.mbr",
                       "bcdedit /displayorder {1fa4e2b0-5c9d-11e2-8d37-000000000001} /addlast"}));
  // Wine's subst answers 0 but maps no drive, so the copy from b: finds
  // nothing (on Windows it copies the 64-bit bcdedit.exe); "bcdedit.exe"
  // then fails and the product's spare takes its place.
  EXPECT_EQ(folder.Text("C:\\windows\\syswow64\\bcdedit.exe"),
            folder.Text("C:\\KVX Setup\\bcdedit"));
}

// --- Chinese 32-bit Windows 7, ASUS tag in the BIOS description, FAT32 E: ---

TEST(Windows7Chinese, ChineseTitleOneSecondMenuAndTheFatFolder) {
  const RunFolder& folder = Machine("win7-zh");
  const std::string profile = "C:\\Users\\李明\\AppData\\";
  ExpectInstalled(folder, {profile + "Local\\Temp",
                           profile + "Roaming\\Microsoft\\Windows\\「开始」菜单\\程序\\启动", "xc",
                           "E:\\~1", true});
  ExpectProductEntry(folder, kChineseTitle, "1");
  ExpectNoMessage(folder);
  EXPECT_EQ(folder.Text(kProduct + "krv_drv.ini"), "[part]\r\npt_1=2\r\npt_2=E:\r\ntype=FAT\r\n");
  EXPECT_TRUE(InOrder(Steps(RunOf(folder, "2")),
                      {"run c:\\vesk\\korv\\fi c:\\vesk\\korv\\krv_drv.ini [part] type=FAT",
                       "run " + kCmd +
                           "dir E:\\ /ad /x|find \" ~1 \" >nul||copy /y c:\\vesk\\korv\\c_pan.txt "
                           "E:\\~1\\c_pan.ini"}));
  // The tag only in the BIOS description the host reads, not in wmic's lists.
  ExpectLoaderSwitched(folder);
  EXPECT_TRUE(SameBytes(folder.Text(kProduct + "ghost.img"), Shipped(folder, "ghost.img")));
  const ProgramRun& run = RunOf(folder, "2");
  ExpectSettingsBatchAsRun(run);
  // 32-bit Windows: no copy of bcdedit.exe into syswow64.
  for (const std::string& step : Steps(run))
    EXPECT_EQ(step.find("syswow64"), std::string::npos) << bench::Utf8(step);
  // The title passed to findstr in one pair of quotes, in GBK.
  EXPECT_TRUE(InOrder(Calls(run, "findstr"),
                      {"findstr /n \"珂瓦克斯\" c:\\vesk\\korv\\bcd_all.ini",
                       "findstr /n \"" + kChineseTitle + "\" c:\\vesk\\korv\\bcd_all.ini"}));
}

// --- Chinese Windows XP, TOSHIBA tag, boot.ini over an older version ---

TEST(WindowsXpChinese, BootIniGetsTheNewLineAndLosesTheProductAsDefault) {
  const RunFolder& folder = Machine("xp-zh");
  const ProgramRun& run = RunOf(folder, "2");
  // The scratch folder has blanks: the configurator works in its short form.
  std::string temp;
  for (const std::string& step : Steps(run)) {
    const size_t batch = step.find("\\vk_spt01.bat");
    if (temp.empty() && step.compare(0, 4, "run ") == 0 && batch != std::string::npos)
      temp = step.substr(4, batch - 4);
  }
  EXPECT_EQ(temp.find(' '), std::string::npos) << temp;
  ExpectInstalled(folder, {"C:\\Documents and Settings\\Administrator\\Local Settings\\Temp",
                           "C:\\Documents and Settings\\Administrator\\「开始」菜单\\程序\\启动",
                           "xc1", "D:\\~1", true, temp});
  ExpectNoMessage(folder);

  const std::string bootIni =
      "[boot loader]\r\ntimeout=5\r\ndefault=multi(0)disk(0)rdisk(0)partition(1)\\WINDOWS\r\n"
      "[operating systems]\r\nmulti(0)disk(0)rdisk(0)partition(1)\\WINDOWS=\"Microsoft Windows XP "
      "Professional\" /noexecute=optin /fastdetect\r\nC:\\KVLDR=" +
      kChineseTitle + "\r\n";
  EXPECT_EQ(folder.Text("C:\\boot.ini"), bootIni);
  EXPECT_EQ(folder.Attributes("C:\\boot.ini"), "RHS");
  EXPECT_EQ(folder.Text(kProduct + "boot.ini"), bootIni);
  EXPECT_TRUE(folder.Exists(kProduct + "nt"));
  EXPECT_FALSE(folder.Exists(kProduct + "vt"));
  // boot.ini is opened before the edits and protected after the last copy.
  EXPECT_TRUE(InOrder(Steps(run), {"host attributes C:\\boot.ini 128",
                                   "run c:\\vesk\\korv\\fi C:\\boot.ini [boot loader] timeout=5",
                                   "run " + temp + "\\vk_nt01.bat",
                                   "run c:\\vesk\\korv\\fi C:\\boot.ini [operating systems] "
                                   "C:\\KVLDR=" +
                                       kChineseTitle,
                                   "run " + kCmd + "copy /y C:\\boot.ini c:\\vesk\\korv\\",
                                   "host attributes C:\\boot.ini 7"}));

  EXPECT_EQ(folder.Text(kProduct + "krv_drv.ini"), "[part]\r\npt_1=5\r\npt_2=D:\r\ntype=FAT\r\n");
  ExpectLoaderSwitched(folder);
}

TEST(WindowsXpChinese, ChecksRepairTheMenuFileName) {
  const RunFolder& folder = Machine("xp-zh");
  EXPECT_FALSE(folder.Exists(kProduct + "menul.lst"));
  EXPECT_TRUE(folder.Exists(kProduct + "menu1.lst"));
  EXPECT_TRUE(InOrder(Steps(RunOf(folder, "1")),
                      {"host move c:\\vesk\\korv\\menul.lst c:\\vesk\\korv\\menu1.lst",
                       "run " + kCmd + "ren c:\\vesk\\korv\\menul.lst menu1.lst"}));
}

// --- Windows 7 over an earlier installation, the product on another Windows ---

TEST(Windows7OverEarlierInstall, UserGoesOnAfterTheQuestion) {
  const RunFolder& folder = Machine("win7-stale");
  const std::vector<Box> boxes = bench::Boxes(RunOf(folder, "1"));
  ASSERT_EQ(boxes.size(), 1u);
  ExpectBox(boxes[0], "0x50034", "警告", kOtherWindowsQuestion, "6");
  EXPECT_EQ(boxes[0].buttons, "6=是(&Y) 7=否(&N)");
  EXPECT_TRUE(bench::Boxes(RunOf(folder, "2")).empty());
  ExpectInstalled(folder, {kPublicTemp, kPublicStartup, "xc", "D:\\~1", false});
}

TEST(Windows7OverEarlierInstall, StaleEntriesGoAndTheOldFolderStays) {
  const RunFolder& folder = Machine("win7-stale");
  const std::string stale = "{5d2e6a1c-3f1b-11e0-9a7c-0024811d0a17}";
  const std::string older = "{a3b8c7d2-1e2f-11df-8b4d-0024811d0a17}";
  bench::BcdStore store = Store(folder);
  EXPECT_EQ(store.Find(stale), nullptr);
  EXPECT_EQ(store.Find(older), nullptr);
  EXPECT_EQ(EntriesDescribed(store, "KORVAX"), Lines{"{1fa4e2b0-5c9d-11e2-8d37-000000000001}"});
  ExpectProductEntry(folder, kEnglishTitle, "5");
  EXPECT_EQ(*store.Find("{bootmgr}")->Find("displayorder"),
            "{current} {1fa4e2b0-5c9d-11e2-8d37-000000000001}");
  // The entry with the boot sector goes at the first pass, found in the last
  // run's listing that the product folder keeps, then the older entry found
  // by the product's name.
  const ProgramRun& run = RunOf(folder, "2");
  EXPECT_TRUE(InOrder(Calls(run, "bcdedit"),
                      {"bcdedit /delete " + stale + " /cleanup", "bcdedit /enum all ",
                       "bcdedit /delete " + older + " /cleanup", "bcdedit /enum all "}));
  // D:\~1 is a folder: granted, made normal, not removed; the image stays.
  EXPECT_TRUE(InOrder(Steps(run),
                      {"run c:\\vesk\\korv\\xc D:\\~1 /c /y /g Everyone:f",
                       "host attributes D:\\~1 128", "host delete D:\\~1", "host mkdir D:\\~1"}));
  EXPECT_EQ(folder.Text("D:\\~1\\SYS.GHO"), "GHOST image of an earlier backup\r\n");
  EXPECT_EQ(folder.Text(kProduct + "krv_drv.ini"), "[part]\r\npt_1=2\r\npt_2=D:\r\ntype=NTFS\r\n");
  // The settings the setup package left stay beside the new ones.
  EXPECT_EQ(bench::IniValue(folder.Text(kProduct + "krv_pass.ini"), "sec", "sec1"), "0");
}

// --- Windows 10 with one partition ---

TEST(Windows10OnePartition, WarnsAndPutsTheFolderOnC) {
  const RunFolder& folder = Machine("one-part");
  ExpectInstalled(folder, {kPublicTemp, kPublicStartup, "xc", "C:\\~1", false});
  const std::vector<Box> boxes = bench::Boxes(RunOf(folder, "2"));
  ASSERT_EQ(boxes.size(), 1u);
  ExpectBox(boxes[0], "0x50040", "kvxcfg", kOnePartitionWarning, "1");
  EXPECT_EQ(folder.Text(kProduct + "krv_drv.ini"), "[part]\r\npt_1=1\r\npt_2=C:\r\ntype=NTFS\r\n");
  // Version 10.0: neither rename applies, the setup package's marker stands.
  EXPECT_TRUE(folder.Exists(kProduct + "vt"));
  ExpectProductEntry(folder, kEnglishTitle, "5");
}

// --- Windows 10 on legacy BIOS, MBR: System Reserved, recovery partition, D: ---
// and Windows 11 on UEFI, GPT, no wmic, a dead entry of an earlier version.
// On both the recovery partition, the last of the boot disk and without a
// letter, is the target, as any such partition is ("8:").

TEST(Windows10OnLegacyBios, MarkerNtBecomesVtAndTheEntryIsCreated) {
  const RunFolder& folder = Machine("win10-bios");
  const std::string user = "C:\\Users\\Alex\\AppData\\";
  ExpectInstalled(folder, {user + "Local\\Temp",
                           user + "Roaming\\Microsoft\\Windows\\Start Menu\\Programs\\Startup",
                           "xc", "8:\\~1"});
  EXPECT_EQ(folder.Text(kProduct + "krv_drv.ini"), "[part]\r\npt_1=3\r\npt_2=8:\r\ntype=FAT\r\n");
  ExpectNoMessage(folder);
  // Version 10.0: neither ver line renames the shipped nt; the one rename
  // after them does, before the branch is chosen.
  EXPECT_TRUE(InOrder(Steps(RunOf(folder, "2")),
                      {"run " + kCmd + "ver|find \" 5.\" >nul&&ren c:\\vesk\\korv\\vt nt",
                       "run " + kCmd + "ren c:\\vesk\\korv\\nt vt",
                       "batch \r\nbcdedit>" + user + "Local\\Temp\\vk_vt020.txt\r\n"}));
  ExpectProductEntry(folder, kEnglishTitle, "5");
  EXPECT_EQ(OthersOf(folder, kStoreNow), OthersOf(folder, kStoreBefore));
}

TEST(Windows11OnUefi, TheDeadEntryGoesNoneIsMadeAndTheUserIsToldOnce) {
  const RunFolder& folder = Machine("win11-uefi");
  const std::string user = "C:\\Users\\wei\\AppData\\";
  ExpectInstalled(folder, {user + "Local\\Temp",
                           user + "Roaming\\Microsoft\\Windows\\Start Menu\\Programs\\Startup",
                           "xc", "8:\\~1"});
  EXPECT_EQ(folder.Text(kProduct + "krv_drv.ini"), "[part]\r\npt_1=4\r\npt_2=8:\r\ntype=FAT\r\n");
  const ProgramRun& run = RunOf(folder, "2");
  const std::vector<Box> boxes = bench::Boxes(run);
  ASSERT_EQ(boxes.size(), 1u);
  ExpectBox(boxes[0], "0x50040", "kvxcfg", testing::kUefiNotice, "1");
  // The dead entry is gone, none is made, the menu keeps its timeout, every
  // other entry is as it was; no export of the store, no identifier kept.
  const bench::BcdStore store = Store(folder);
  EXPECT_TRUE(EntriesDescribed(store, "珂瓦克斯").empty());
  EXPECT_EQ(store.Find("{bootmgr}")->Element("displayorder"), "{current}");
  EXPECT_EQ(store.Find("{bootmgr}")->Element("timeout"), "30");
  EXPECT_EQ(OthersOf(folder, kStoreNow), OthersOf(folder, kStoreBefore));
  EXPECT_TRUE(folder.Exists(kProduct + "BCD.before"));
  EXPECT_FALSE(folder.Exists(kProduct + "BCD"));
  EXPECT_FALSE(folder.Exists(kProduct + "krv_id.ini"));
  EXPECT_EQ(folder.Text(kProduct + "bcd_all.ini"), bench::EnumAll(store));
  // No wmic: the maker's tag comes from the BIOS description alone.
  EXPECT_TRUE(Calls(run, "wmic").empty());
  ExpectLoaderSwitched(folder);
}

// --- ThinkPad with the maker's recovery partition ---

TEST(ThinkPadWithRecoveryPartition, ChoosesAgainWithoutTheRecoveryPartition) {
  const RunFolder& folder = Machine("thinkpad");
  ExpectInstalled(folder, {kPublicTemp, kPublicStartup, "xc", "D:\\~1", false});
  ExpectNoMessage(folder);
  EXPECT_TRUE(InOrder(Steps(RunOf(folder, "2")),
                      AsTraced(testing::SecondListBatch(kCmd, kPublicTemp + "\\", "3"))));
  EXPECT_EQ(folder.Text(kProduct + "zp_nor_z.txt").find(":3 "), std::string::npos);
  EXPECT_EQ(folder.Text(kProduct + "krv_drv.ini"), "[part]\r\npt_1=2\r\npt_2=D:\r\ntype=NTFS\r\n");
}

TEST(ThinkPadWithRecoveryPartition, SwitchesLoaderAndBootImage) {
  const RunFolder& folder = Machine("thinkpad");
  ExpectLoaderSwitched(folder);
  EXPECT_EQ(bench::IniValue(folder.Text(kProduct + "krv_pass.ini"), "mem", "ramdrv"), "1");
  // Four edits of the same length: every other byte of the image stays.
  const std::string image = folder.Text(kProduct + "ghost.img");
  EXPECT_TRUE(SameBytes(
      image, Replaced(Shipped(folder, "ghost.img"), {{"rem device=ramdrive", "device=ramdrive.sys"},
                                                     {"xmsdsk.exe 25000", "rem xmsdsk 25000"},
                                                     {"set ramdrive=x:", "rem ramdrive=x:"},
                                                     {"rem call fdrd", "call fdrd.bat"}})));
  EXPECT_EQ(image.size(), Shipped(folder, "ghost.img").size());
}

// --- The store refuses the new entry ---

TEST(Windows7StoreRefusesEntry, TellsTheUserTwiceAndExportsNothing) {
  const RunFolder& folder = Machine("no-rights");
  ExpectInstalled(folder, {kPublicTemp, kPublicStartup, "xc", "D:\\~1", false});
  const std::vector<Box> boxes = bench::Boxes(RunOf(folder, "2"));
  ASSERT_EQ(boxes.size(), 2u);
  ExpectBox(boxes[0], "0x50040", "kvxcfg", testing::EntryNotWritten("KORVAX"), "1");
  ExpectBox(boxes[1], "0x50040", "kvxcfg", testing::EntryNotWritten("kvldr.mbr"), "1");
  EXPECT_TRUE(EntriesDescribed(Store(folder), "KORVAX").empty());
  EXPECT_FALSE(folder.Exists(kProduct + "BCD"));
}

TEST(Windows7StoreRefusesEntry, RecoveryPartitionBeforeTheDataPartitionIsNoObstacle) {
  const RunFolder& folder = Machine("no-rights");
  // The batch keeps the first " RECOVERY" line; it holds ":2 ", so no second choice.
  EXPECT_TRUE(InOrder(Calls(RunOf(folder, "2"), "findstr"),
                      {"findstr /i \" RECOVERY\" c:\\vesk\\korv\\zp_nor.txt"}));
  EXPECT_FALSE(folder.Exists(kProduct + "zp_nor_z.txt"));
  EXPECT_EQ(folder.Text(kProduct + "krv_drv.ini"), "[part]\r\npt_1=3\r\npt_2=D:\r\ntype=NTFS\r\n");
}

// --- The checks refuse ---

// A run of "1" that refused: its verdict, no run of "2", one message box.
Box RefusalBox(const RunFolder& folder, const std::string& verdict) {
  EXPECT_EQ(folder.Verdict(), verdict);
  EXPECT_EQ(folder.Run("2"), nullptr);
  const std::vector<Box> boxes = bench::Boxes(RunOf(folder, "1"));
  EXPECT_EQ(boxes.size(), 1u);
  return boxes.empty() ? Box() : boxes[0];
}

TEST(UnfinishedUninstall, RefusesWithWinLan2) {
  const RunFolder& folder = Machine("uninstall-pending");
  const Box box = RefusalBox(folder, "win_lan2");
  ExpectBox(box, "0x50010", "kvxcfg", testing::UnfinishedUninstallRefusal("珂瓦克斯"), "1");
  // The marker is renamed before the box opens.
  EXPECT_TRUE(
      InOrder(Steps(RunOf(folder, "1")), {"run " + kCmd + "ren \"C:\\KVX Setup\\win_lan\" win_lan2",
                                          "box 0x50010 kvxcfg " + box.text}));
}

TEST(ProductOnAnotherWindows, AnsweredNoRefusesWithWinLan1) {
  const RunFolder& folder = Machine("other-windows");
  ExpectBox(RefusalBox(folder, "win_lan1"), "0x50034", "警告", kOtherWindowsQuestion, "7");
  EXPECT_TRUE(InOrder(Steps(RunOf(folder, "1")),
                      {"box 0x50034 警告 " + kOtherWindowsQuestion,
                       "run " + kCmd + "del /q \"" + kPublicTemp + "\\vk_sys2.txt\"",
                       "run " + kCmd + "del /q \"" + kPublicTemp + "\\vk_sys2.bat\"",
                       "run " + kCmd + "ren \"C:\\KVX Setup\\win_lan\" win_lan1"}));
  EXPECT_FALSE(folder.Exists(kPublicTemp + "\\vk_sys2.txt"));
}

}  // namespace
}  // namespace kvx::e2e
