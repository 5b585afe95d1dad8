// Randomized whole runs: machines put together at random from the fault
// matrix's ingredients (Windows family and folders, environment, registry,
// disks and partition lists, machine model, boot.ini, BCD store, settings
// files, read faults, one failing operation), each run held to the rules of
// fault_runs.h.
//
// Seeded and reproducible: run i uses seed kFirstSeed + i, and a failure
// names its seed. KVX_RANDOM_RUNS=<n> makes n runs instead of the usual few;
// KVX_RANDOM_SEED=<s> replays the one run of seed s.
#include <gtest/gtest.h>

#include <cstdlib>
#include <random>

#include "tests/support/fault_runs.h"
#include "tests/support/install_machines.h"

namespace kvx {
namespace {

using testing::Machine;
using testing::Mode;

constexpr unsigned kFirstSeed = 20130123;
constexpr unsigned kUsualRuns = 150;

// The one source of choices of a run. Each choice is its own statement, so
// that the order of the draws, and thus the machine, is the same everywhere.
class Dice {
 public:
  explicit Dice(unsigned seed) : engine_(seed) {}
  size_t Below(size_t n) { return static_cast<size_t>(engine_() % n); }
  bool Chance(unsigned percent) { return Below(100) < percent; }
  template <typename T>
  const T& Pick(const std::vector<T>& options) {
    return options[Below(options.size())];
  }

 private:
  std::mt19937 engine_;
};

Text Junk(Dice& dice, size_t size) {
  Text junk;
  for (size_t i = 0; i < size; ++i)
    junk.push_back(static_cast<char>(dice.Below(256)));
  return junk;
}

const Text kTitle = "珂瓦克斯 v2013.01.23";
const Text kMulti = "multi(0)disk(0)rdisk(0)partition(1)\\WINDOWS=\"Microsoft Windows XP\"\r\n";

// A text that some file of the machine holds: as the product would write it,
// damaged in one of the ways the matrix knows, or missing (nullopt). A file
// that the product runs as a batch never holds junk: whatever it says, runs.
std::optional<Text> Variant(Dice& dice, const Text& good, bool junk = true) {
  switch (dice.Below(8)) {
    case 0:
      return std::nullopt;
    case 1:
      return Text();
    case 2:
      return junk ? Junk(dice, 1 + dice.Below(600)) : good;
    case 3: {
      Text cut = good;
      while (!cut.empty() && (cut.back() == '\n' || cut.back() == '\r'))
        cut.pop_back();
      return cut;
    }
    default:
      return good;
  }
}

void PutVariant(Dice& dice, Machine& m, const Text& path, const Text& good, int attributes = 0,
                bool junk = true) {
  const std::optional<Text> text = Variant(dice, good, junk);
  if (text)
    m.host.PutFile(path, *text, attributes);
}

void VaryEnvironment(Dice& dice, Machine& m) {
  for (const Text name :
       {"TMP", "COMSPEC", "Systemroot", "SystemDrive", "ProgramFiles(x86)", "ALLUSERSPROFILE"}) {
    const size_t how = dice.Below(30);
    if (how == 0)
      m.host.UnsetEnv(name);
    if (how == 1)
      m.host.SetEnv(name, Text());
  }
  m.host.noRegistryValues = dice.Chance(5);
}

// Reads go wrong now and then, as in the matrix (but for the few-megabyte
// case, which is slow in a debug build and has its own row there).
void VaryReads(Dice& dice, Machine& m) {
  switch (dice.Below(20)) {
    case 0:
      m.host.readText = [](const Text&, const Text&) { return Text(); };
      break;
    case 1: {
      const Text junk = Junk(dice, 300);
      m.host.readText = [junk](const Text&, const Text&) { return junk; };
      break;
    }
    case 2:
      m.host.readText = [](const Text&, const Text& t) {
        Text cut = t;
        while (!cut.empty() && (cut.back() == '\n' || cut.back() == '\r'))
          cut.pop_back();
        return cut;
      };
      break;
    case 3: {
      const Text value = Junk(dice, dice.Below(8));
      m.host.iniValue = [value](const Text&, const Text&, const Text&) { return value; };
      break;
    }
    default:
      break;
  }
}

Text Folder(Dice& dice, Machine& m, const std::vector<Text>& choices) {
  const Text folder = dice.Pick(choices);
  if (!folder.empty())
    m.host.PutFolder(folder);
  return folder;
}

void PreInstallMachine(Dice& dice, Machine& m) {
  testing::SetUpPreInstallMachine(m.host);
  const Text program = Folder(
      dice, m, {"C:\\SETUP", "D:\\下载\\珂瓦克斯 安装", "C:\\R&D\\setup", "C:\\SETUP\\嘰塡"});
  m.host.SetProgramFolderPath(program);
  m.host.SetCurrentFolder(program);
  if (dice.Chance(90))
    m.host.PutFile(program + "\\win_lan", "");
  m.host.SetEnv("TMP", Folder(dice, m,
                              {"C:\\TEMP", "C:\\Documents and Settings\\Li Wei\\Temp", "C:\\临时",
                               "C:\\Users\\AT&T\\Temp"}));
  for (const Text drive : {"C:", "D:", "E:", "Z:"}) {
    if (dice.Chance(15))
      m.host.PutFile(drive + "\\vesk\\korv\\ghost.img", "image");
  }
  const std::vector<Text> versions = {"v2013.01.23", "v2012.05.01", "V2013.01.23", ""};
  for (const Text path : {"c:\\boot\\korv\\korv.ini", "c:\\boot\\korv\\uninstall.xml",
                          "c:\\vesk\\korv\\uninstall.xml"}) {
    if (dice.Chance(25)) {
      const Text version = dice.Pick(versions);
      PutVariant(dice, m, path, "<version>" + version + "</version>");
    }
  }
  if (dice.Chance(10))
    m.host.PutFile(Concat({testing::kXpStartup, "\\KVX_UNIS.LNK"}), "link");
  if (dice.Chance(10))
    m.host.PutFile("C:\\Documents and Settings\\All Users\\「开始」菜单\\程序\\启动\\KVX_UNIS.LNK",
                   "link");
  if (dice.Chance(40))
    m.host.PutFile("c:\\vesk\\korv\\menul.lst", "title menu\r\n");
  if (dice.Chance(20))
    m.host.PutFile("C:\\TEMP\\vk_sys2.txt", "sys2\r\n");
  const int answer = dice.Pick(std::vector<int>{kButtonYes, 7, 2});
  m.host.AnswerMessages({answer});
  VaryEnvironment(dice, m);
}

// One disk's scan: partitions with drive letters from the pool, "Pri" or
// "Log" for ones without, the boot flag here and there, a maker's label now
// and then.
Text DiskScan(Dice& dice, int disk, std::vector<Text>& letters, bool holdsSystem) {
  const std::vector<Text> labels = {"DATA",        "BACKUP",      "WIN7",        "RECOVERY",
                                    "LENOVO_PART", "HP_RECOVERY", "PRESARIO_RP", "FACTORY_IMAGE"};
  Text scan = dice.Chance(5) ? Text("Dynamic_Disk\r\n") : Text();
  const size_t partitions = 1 + dice.Below(4);
  for (size_t p = 1; p <= partitions; ++p) {
    Text drive = "Pri";
    if (holdsSystem && p == 1) {
      drive = "C:";
    } else if (!letters.empty() && dice.Chance(75)) {
      drive = letters.back();
      letters.pop_back();
    } else if (dice.Chance(50)) {
      drive = "Log";
    }
    const bool active = dice.Chance(30);
    const Text label = dice.Pick(labels);
    scan += Concat({std::to_string(disk), ":", std::to_string(p), " ", drive, " NTFS ",
                    active ? "Yes" : "No", " 40000MB ", label, "\r\n"});
  }
  return scan;
}

void InstallMachine(Dice& dice, Machine& m) {
  testing::SimulatedWindows& windows = *m.windows;
  const Text windowsFolder =
      dice.Pick(std::vector<Text>{"C:\\WINDOWS", "C:\\Windows", "C:\\My Windows"});
  const Text tmp = dice.Pick(std::vector<Text>{windowsFolder + "\\TEMP", "C:\\TEMP",
                                               "C:\\Users\\Li Wei\\AppData\\Local\\Temp",
                                               "C:\\临时\\嘰塡", "C:\\Users\\AT&T\\Temp"});
  const Text startup = dice.Pick(
      std::vector<Text>{testing::kXpStartup, testing::kWindows7Startup, "C:\\用户\\嘰塡\\启动"});
  const Text systemText = dice.Pick(std::vector<Text>{"", "REM_ThinkPad T4", "TOSHIBA REM_TOSHIBA",
                                                      "rem_asus", "MSI REM_MICRO-STAR", "Dell"});
  testing::SetUpInstallMachine(m.host, windowsFolder, tmp, startup, systemText);
  m.host.PutFolder(tmp);
  if (dice.Chance(50))
    m.host.SetShortForm("C:\\Users\\Li Wei\\AppData\\Local\\Temp",
                        "C:\\Users\\LIWEI~1\\AppData\\Local\\Temp");
  m.host.PutFolder("C:\\Users\\LIWEI~1\\AppData\\Local\\Temp");
  windows.windowsFolder = windowsFolder;
  if (dice.Chance(30))
    m.host.SetRegistry(kRootLocalMachine, testing::kInstallLanguageValue, "0409");

  // Family: the version text, and the marker(s) the setup package left.
  const size_t family = dice.Below(3);
  windows.version = family == 0   ? "Microsoft Windows XP [Version 5.1.2600]"
                    : family == 1 ? "Microsoft Windows [Version 6.1.7601]"
                                  : "Microsoft Windows [Version 10.0.19045]";
  if (dice.Chance(10))
    m.host.RemovePath("c:\\vesk\\korv\\nt");
  if (dice.Chance(10))
    m.host.PutFile("c:\\vesk\\korv\\vt", "");
  const bool sixtyFour = family != 0 && dice.Chance(50);
  if (sixtyFour) {
    m.host.SetEnv("ProgramFiles(x86)", "C:\\Program Files (x86)");
    windows.sixtyFourBit = true;
    m.host.PutFolder(windowsFolder + "\\syswow64");
    if (dice.Chance(80))
      m.host.PutFile(windowsFolder + "\\system32\\bcdedit.exe", "bcdedit");
    if (dice.Chance(50))
      m.host.PutFile("C:\\SETUP\\bcdedit", "product bcdedit");
  }

  // Disks, the system drive on one of them (or none), partition lists.
  std::vector<Text> letters = {"J:", "I:", "H:", "G:", "F:", "E:", "D:"};
  const size_t disks = 1 + dice.Below(4);
  const size_t systemDisk = dice.Below(disks + 1);
  for (size_t disk = 1; disk <= disks; ++disk) {
    const Text scan = DiskScan(dice, static_cast<int>(disk), letters, disk == systemDisk + 1);
    windows.PutFixture("zp_raw_all_" + std::to_string(disk) + ".txt", scan);
    const Text list = dice.Chance(10) ? Text() : "Disk\r\nNo Drv FS Size Label\r\n" + scan;
    windows.PutFixture("zp_raw_normal_" + std::to_string(disk - 1) + ".txt", list);
  }
  Text fileSystems;
  for (const Text drive : {"C:", "D:", "E:", "F:", "G:"}) {
    m.host.AddDrive(drive);
    const Text fileSystem = dice.Pick(std::vector<Text>{"NTFS", "FAT32", ""});
    if (!fileSystem.empty())
      fileSystems += drive + " " + fileSystem + "\r\n";
    if (dice.Chance(8))
      m.host.PutFile(drive + "\\~1", "a file in the way");
    if (dice.Chance(8)) {
      m.host.PutFolder(drive + "\\~1");
      m.host.PutFile(drive + "\\~1\\SYS.GHO", "image");
    }
  }
  windows.PutFixture("chkntfs.txt", fileSystems);
  if (dice.Chance(30))
    windows.PutFixture(
        "wmic_csproduct.txt",
        dice.Pick(std::vector<Text>{"Name=T400 REM_ThinkPad\r\n", "Vendor=ASUSTeK REM_ASUS\r\n",
                                    "Name=Satellite\r\n"}));

  // The product folder's files.
  if (dice.Chance(50))
    m.host.PutFile("c:\\vesk\\korv\\xc", "access tool");
  if (dice.Chance(40))
    m.host.PutFile("c:\\vesk\\korv\\xc1", "access tool");
  PutVariant(dice, m, "c:\\vesk\\korv\\krv_pass.ini",
             dice.Pick(std::vector<Text>{"[sec]\r\nsec1=1\r\n", "[boot]\r\nrei=1\r\ndrvc=7\r\n",
                                         "[apt_i]\r\napt_2=..\r\n[spt_i]\r\nspt_2=\\\\\r\n"}));
  PutVariant(dice, m, "c:\\vesk\\korv\\krv_drv.ini",
             dice.Pick(std::vector<Text>{"[part]\r\npt_1=2\r\npt_2=D:\r\n",
                                         "[part]\r\npt_1=x\"&\r\npt_2=C:\\Windows\r\n"}));
  PutVariant(dice, m, "c:\\vesk\\korv\\boot0.ini",
             "[boot loader]\r\ntimeout=30\r\n[operating systems]\r\n" + kMulti);
  PutVariant(dice, m, "c:\\vesk\\korv\\BCD_SET",
             dice.Pick(std::vector<Text>{
                 "\r\nbcdedit /set {REALID} device partition=C:\r\nbcdedit /set {REALID} path "
                 "\\kvldr.mbr\r\n",
                 "\r\nbcdedit /set {REALID} locale zh-CN\r\n", "\r\nrem nothing to set\r\n"}),
             0, false);

  // boot.ini and its saved copy on C:.
  const std::vector<Text> bootInis = {
      "[boot loader]\r\ntimeout=30\r\ndefault=C:\\KVLDR\r\n[operating systems]\r\n" + kMulti +
          "C:\\KVLDR=珂瓦克斯 v2012.05.01\r\n",
      "[boot loader]\r\ntimeout=30\r\n[operating systems]\r\n" + kMulti + "C:\\KVLDR=" + kTitle +
          "\r\n",
      "[boot loader]\r\ntimeout=3\r\n"};
  const Text bootIni = dice.Pick(bootInis);
  PutVariant(dice, m, "C:\\boot.ini", bootIni, dice.Chance(70) ? kAttrHiddenSystemReadOnly : 0);
  if (dice.Chance(15)) {
    const Text saved = dice.Pick(bootInis);
    PutVariant(dice, m, "C:\\boot.kvx", saved, kAttrHiddenSystemReadOnly);
  }

  // The store: foreign entries, old product entries (some that cannot be
  // deleted), the previous run's enumeration and identifier.
  bench::BcdStore store = windows.Store();
  const bool storeFile = dice.Chance(50);  // the store's file on the active partition
  store.unreadable = !dice.Chance(85);
  store.refuseCreate = dice.Chance(10);
  store.createAnswer =
      dice.Pick(std::vector<Text>{"Entry {id} created.", "", "已成功创建项 {id} created."});
  store.Find("{current}")->Set("inherit", "{bootloadersettings}");
  if (dice.Chance(50))
    testing::AddBootSector(store, "GRUB", "\\grldr.mbr");
  if (dice.Chance(50)) {
    store.entries.push_back(
        {"{memdiag}",
         "memdiag",
         {{"path", "\\boot\\memtest.exe"}, {"description", "Windows Memory Diagnostic"}}});
  }
  std::vector<Text> order = testing::DisplayOrder(store);
  const size_t oldEntries = dice.Chance(20) ? dice.Below(30) : dice.Below(3);
  for (size_t i = 0; i < oldEntries; ++i) {
    const bool locked = dice.Chance(10);
    const size_t kind = dice.Below(3);
    order.push_back(testing::AddBootSector(store, kind == 1 ? "" : "KORVAX v2012.05.01",
                                           kind == 2 ? "" : "\\kvldr.mbr", locked));
  }
  testing::SetDisplayOrder(store, order);
  windows.PutStore(store);
  if (storeFile) {
    bench::BcdStore file = store;
    file.unreadable = false;
    m.host.PutFile("C:\\boot\\bcd", bench::FormatBcdStore(file));
  }
  const size_t enumeration = dice.Below(4);
  if (enumeration == 1)
    m.host.PutFile("c:\\vesk\\korv\\bcd_all.ini", bench::EnumAll(store));
  if (enumeration == 2)
    m.host.PutFile("c:\\vesk\\korv\\bcd_all.ini", Junk(dice, 500));
  const size_t identifier = dice.Below(4);
  if (identifier == 1 && store.entries.size() > 2)
    m.host.PutFile("c:\\vesk\\korv\\krv_id.ini", store.entries.back().id + "\r\n");
  if (identifier == 2)
    m.host.PutFile("c:\\vesk\\korv\\krv_id.ini", bench::CreatedId(store.next) + "\r\n");
  if (identifier == 3)
    m.host.PutFile("c:\\vesk\\korv\\krv_id.ini", Junk(dice, 80));

  VaryEnvironment(dice, m);
  VaryReads(dice, m);
  windows.commandsRun = !dice.Chance(3);
}

// A boot.ini that holds the product's line names a Windows too.
void ExpectNoProductLineAlone(const Machine& m, std::vector<std::string>& problems) {
  for (const Text& path : m.host.Paths()) {
    if (FindText(path, "\\boot.ini", true) == kNotFound ||
        FindText(path, "vesk", true) != kNotFound)
      continue;
    const Text text = m.host.Content(path);
    if (FindText(text, "C:\\KVLDR=", true) != kNotFound &&
        FindText(text, "multi", true) == kNotFound) {
      problems.push_back(path + " holds the product's line alone");
    }
  }
}

unsigned FromEnvironment(const char* name, unsigned otherwise) {
  const char* value = std::getenv(name);
  return value == nullptr || *value == '\0'
             ? otherwise
             : static_cast<unsigned>(std::strtoul(value, nullptr, 10));
}

TEST(RandomRuns, RandomMachinesHoldTheRules) {
  const char* replay = std::getenv("KVX_RANDOM_SEED");
  const unsigned runs = replay != nullptr ? 1 : FromEnvironment("KVX_RANDOM_RUNS", kUsualRuns);
  const unsigned first = replay != nullptr ? FromEnvironment("KVX_RANDOM_SEED", 0) : kFirstSeed;
  size_t failures = 0;
  for (unsigned i = 0; i < runs && failures < 5; ++i) {
    const unsigned seed = first + i;
    Dice dice(seed);
    const Mode mode = dice.Chance(25) ? Mode::PreInstall : Mode::Install;
    const size_t failAt = dice.Chance(35) ? 1 + dice.Below(mode == Mode::Install ? 400 : 40) : 0;
    // The machine draws its own choices, from a second stream of the seed.
    const testing::Recipe recipe = [seed, mode](Machine& m) {
      Dice machineDice(seed ^ 0x5bd1e995u);
      if (mode == Mode::PreInstall) {
        PreInstallMachine(machineDice, m);
      } else {
        InstallMachine(machineDice, m);
      }
    };
    const testing::RunReport report =
        testing::CheckedRun(recipe, mode, failAt, ExpectNoProductLineAlone);
    if (!report.problems.empty()) {
      ++failures;
      ADD_FAILURE() << "seed " << seed << " (replay with KVX_RANDOM_SEED=" << seed
                    << "), operation " << failAt << " failing:\n"
                    << testing::Problems(report);
    }
  }
}

}  // namespace
}  // namespace kvx
