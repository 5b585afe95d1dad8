// Randomized whole runs: each run draws a sample machine of the bench
// (tests/e2e/machines) and varies it at random with the fault matrix's
// ingredients (Windows folders and family, environment, registry, disks and
// partition lists, file systems, machine model, boot.ini, BCD store, settings
// files, read faults, one failing operation); each run is held to the rules
// of fault_runs.h.
//
// Seeded and reproducible: run i uses seed kFirstSeed + i, and a failure
// names its seed. KVX_RANDOM_RUNS=<n> makes n runs instead of the usual few;
// KVX_RANDOM_SEED=<s> replays the one run of seed s.
#include <gtest/gtest.h>

#include <cstdlib>
#include <random>

#include "tests/support/fault_runs.h"
#include "tests/support/sample_machines.h"
#include "tests/tools/text.h"

namespace kvx {
namespace {

using bench::FindText;
using testing::Machine;
using testing::Mode;
using testing::SampleMachine;

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

const Text kProduct = "c:\\vesk\\korv\\";

Text Junk(Dice& dice, size_t size) {
  Text junk;
  for (size_t i = 0; i < size; ++i)
    junk.push_back(static_cast<char>(dice.Below(256)));
  return junk;
}

const Text kTitle = "珂瓦克斯 v2013.01.23";
const Text kMulti = "multi(0)disk(0)rdisk(0)partition(1)\\WINDOWS=\"Microsoft Windows XP\"\r\n";

// One of the texts, or what the sample's file holds when it has that file.
Text OwnOr(Dice& dice, const Machine& m, const Text& path, std::vector<Text> texts) {
  if (m.host.Exists(path))
    texts.push_back(m.host.Content(path));
  return dice.Pick(texts);
}

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

// The file there with the given chance, else missing.
void PutOrRemove(Dice& dice, Machine& m, const Text& path, unsigned percent,
                 const Text& content = Text()) {
  if (dice.Chance(percent)) {
    m.host.PutFile(path, content);
  } else {
    m.host.RemovePath(path);
  }
}

void PutVariant(Dice& dice, Machine& m, const Text& path, const Text& good, int attributes = 0,
                bool junk = true) {
  const std::optional<Text> text = Variant(dice, good, junk);
  if (text) {
    m.host.PutFile(path, *text, attributes);
  } else {
    m.host.RemovePath(path);
  }
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

// Reads go wrong now and then, as in the matrix (but for the long reads,
// which have their own row there).
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

// "1": the setup package's folder, its marker, the scratch folder, the
// product on other drives, the version files, the uninstall shortcuts, the
// misnamed menu file, a finding of an earlier run and the user's answer.
void VaryPreInstall(Dice& dice, Machine& m, const SampleMachine& sample) {
  const Text program = Folder(dice, m,
                              {testing::kSetupFolder, "C:\\SETUP", "D:\\下载\\珂瓦克斯 安装",
                               "C:\\R&D\\setup", "C:\\SETUP\\嘰塡"});
  m.host.SetProgramFolderPath(program);
  m.host.SetCurrentFolder(program);
  PutOrRemove(dice, m, program + "\\win_lan", 90);
  const Text tmp = Folder(dice, m,
                          {sample.temp, "C:\\TEMP", "C:\\Documents and Settings\\Li Wei\\Temp",
                           "C:\\临时", "C:\\Users\\AT&T\\Temp"});
  m.host.SetEnv("TMP", tmp);
  for (const Text drive : {"C:", "D:", "E:", "Z:"}) {
    if (dice.Chance(15))
      m.host.PutFile(drive + "\\vesk\\korv\\ghost.img", "image");
  }
  const std::vector<Text> versions = {"v2013.01.23", "v2012.05.01", "V2013.01.23", ""};
  for (const Text& path : {Text("c:\\boot\\korv\\korv.ini"), Text("c:\\boot\\korv\\uninstall.xml"),
                           kProduct + "uninstall.xml"}) {
    if (dice.Chance(25)) {
      const Text version = dice.Pick(versions);
      PutVariant(dice, m, path, "<version>" + version + "</version>");
    }
  }
  if (dice.Chance(10))
    m.host.PutFile(sample.startup + "\\KVX_UNIS.LNK", "link");
  if (dice.Chance(10))
    m.host.PutFile(m.host.EnvValue("ALLUSERSPROFILE") + "\\「开始」菜单\\程序\\启动\\KVX_UNIS.LNK",
                   "link");
  if (dice.Chance(40))
    m.windows->RunSetupLine("ren c:\\vesk\\korv\\menu1.lst menul.lst");
  if (dice.Chance(20))
    m.host.PutFile(m.host.ShortFormOf(tmp) + "\\vk_sys2.txt", "sys2\r\n");
  // The sample's own answer where it has one.
  const int answer = dice.Pick(std::vector<int>{kButtonYes, 7, 2});
  if (sample.answers1.empty())
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
    scan += std::to_string(disk) + ":" + std::to_string(p) + " " + drive + " NTFS " +
            (active ? "Yes" : "No") + " 40000MB " + label + "\r\n";
  }
  return scan;
}

// Windows: its folder, family, bits and bcdedit copies; the scratch and
// Startup folders, the machine model and the install language.
void VaryWindows(Dice& dice, Machine& m, const SampleMachine& sample) {
  testing::SimulatedWindows& windows = *m.windows;
  const Text windowsFolder =
      dice.Pick(std::vector<Text>{"C:\\windows", "C:\\WINDOWS", "C:\\Windows", "C:\\My Windows"});
  m.host.SetEnv("Systemroot", windowsFolder);
  m.host.SetEnv("COMSPEC", windowsFolder + "\\system32\\cmd.exe");
  m.host.PutFolder(windowsFolder + "\\system32");
  windows.windowsFolder = windowsFolder;

  // Family: the version text, and the marker(s) the setup package left.
  if (dice.Chance(40)) {
    windows.version = dice.Pick(std::vector<Text>{
        "Microsoft Windows XP [Version 5.1.2600]", "Microsoft Windows XP [版本 5.1.2600]",
        "Microsoft Windows [Version 6.1.7601]", "Microsoft Windows [Version 10.0.19045]"});
  }
  if (dice.Chance(10))
    m.host.RemovePath(kProduct + "nt");
  if (dice.Chance(10))
    m.host.PutFile(kProduct + "vt", "");
  const bool sixtyFour = dice.Chance(20) ? sample.bits != 64 : sample.bits == 64;
  windows.sixtyFourBit = sixtyFour;
  if (sixtyFour) {
    m.host.SetEnv("ProgramFiles(x86)", "C:\\Program Files (x86)");
    m.host.PutFolder(windowsFolder + "\\syswow64");
  } else {
    m.host.UnsetEnv("ProgramFiles(x86)");
  }
  PutOrRemove(dice, m, windowsFolder + "\\system32\\bcdedit.exe", 80, "bcdedit");
  if (dice.Chance(50)) {
    m.host.RemovePath(Text(testing::kSetupFolder) + "\\bcdedit");
    m.host.RemovePath(Text(testing::kSetupFolderShort) + "\\bcdedit");
  }

  const Text tmp = dice.Pick(std::vector<Text>{sample.temp, windowsFolder + "\\TEMP", "C:\\TEMP",
                                               "C:\\Users\\Li Wei\\AppData\\Local\\Temp",
                                               "C:\\临时\\嘰塡", "C:\\Users\\AT&T\\Temp"});
  m.host.SetEnv("TMP", tmp);
  m.host.PutFolder(tmp);
  if (dice.Chance(50))
    m.host.SetShortForm("C:\\Users\\Li Wei\\AppData\\Local\\Temp",
                        "C:\\Users\\LIWEI~1\\AppData\\Local\\Temp");
  m.host.PutFolder("C:\\Users\\LIWEI~1\\AppData\\Local\\Temp");
  const Text startup = dice.Pick(std::vector<Text>{
      sample.startup, "C:\\Documents and Settings\\Administrator\\「开始」菜单\\程序\\启动",
      "C:\\Users\\Li Wei\\AppData\\Roaming\\Microsoft\\Windows\\Start Menu\\Programs\\Startup",
      "C:\\用户\\嘰塡\\启动"});
  m.host.SetRegistry(kRootCurrentUser, testing::kStartupFolderRegistry, startup);
  if (dice.Chance(60)) {
    SystemInfoRecord info;
    info[5] = dice.Pick(std::vector<Text>{"", "REM_ThinkPad T4", "TOSHIBA REM_TOSHIBA", "rem_asus",
                                          "MSI REM_MICRO-STAR", "Dell"});
    m.host.SetSystemInfo(info);
  }
  if (dice.Chance(30)) {
    m.host.SetRegistry(kRootLocalMachine, testing::kInstallLanguageRegistry,
                       sample.language == "0409" ? "0804" : "0409");
  }
}

// Disks, the system drive on one of them (or none), partition lists; file
// systems and what stands in the way of the hidden folder; the model's tag.
void VaryDisks(Dice& dice, Machine& m) {
  testing::SimulatedWindows& windows = *m.windows;
  if (dice.Chance(60)) {
    windows.PutFixture("zp_disks.txt", "");
    std::vector<Text> letters = {"J:", "I:", "H:", "G:", "F:", "E:", "D:"};
    const size_t disks = 1 + dice.Below(4);
    const size_t systemDisk = dice.Below(disks + 1);
    for (size_t disk = 1; disk <= disks; ++disk) {
      const Text scan = DiskScan(dice, static_cast<int>(disk), letters, disk == systemDisk + 1);
      windows.PutFixture("zp_raw_all_" + std::to_string(disk) + ".txt", scan);
      const Text list = dice.Chance(10) ? Text() : "Disk\r\nNo Drv FS Size Label\r\n" + scan;
      windows.PutFixture("zp_raw_normal_" + std::to_string(disk - 1) + ".txt", list);
    }
  }
  const bool ownFileSystems = dice.Chance(50);
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
  if (!ownFileSystems)
    windows.PutFixture("chkntfs.txt", fileSystems);
  if (dice.Chance(30))
    windows.PutFixture(
        "wmic_csproduct.txt",
        dice.Pick(std::vector<Text>{"Name=T400 REM_ThinkPad\r\n", "Vendor=ASUSTeK REM_ASUS\r\n",
                                    "Name=Satellite\r\n"}));
}

// The product folder's files, boot.ini and its saved copy on C:.
void VaryFiles(Dice& dice, Machine& m) {
  if (dice.Chance(50)) {
    PutOrRemove(dice, m, kProduct + "xc", 50, "access tool");
    PutOrRemove(dice, m, kProduct + "xc1", 40, "access tool");
  }
  const auto vary = [&](const Text& path, const std::vector<Text>& texts, bool junk = true) {
    PutVariant(dice, m, path, OwnOr(dice, m, path, texts), 0, junk);
  };
  vary(kProduct + "krv_pass.ini", {"[sec]\r\nsec1=1\r\n", "[boot]\r\nrei=1\r\ndrvc=7\r\n",
                                   "[apt_i]\r\napt_2=..\r\n[spt_i]\r\nspt_2=\\\\\r\n"});
  vary(kProduct + "krv_drv.ini",
       {"[part]\r\npt_1=2\r\npt_2=D:\r\n", "[part]\r\npt_1=x\"&\r\npt_2=C:\\Windows\r\n"});
  vary(kProduct + "boot0.ini", {"[boot loader]\r\ntimeout=30\r\n[operating systems]\r\n" + kMulti});
  vary(kProduct + "BCD_SET",
       {"\r\nbcdedit /set {REALID} device partition=C:\r\nbcdedit /set {REALID} path "
        "\\kvldr.mbr\r\n",
        "\r\nbcdedit /set {REALID} locale zh-CN\r\n", "\r\nrem nothing to set\r\n"},
       false);

  const std::vector<Text> bootInis = {
      "[boot loader]\r\ntimeout=30\r\ndefault=C:\\KVLDR\r\n[operating systems]\r\n" + kMulti +
          "C:\\KVLDR=珂瓦克斯 v2012.05.01\r\n",
      "[boot loader]\r\ntimeout=30\r\n[operating systems]\r\n" + kMulti + "C:\\KVLDR=" + kTitle +
          "\r\n",
      "[boot loader]\r\ntimeout=3\r\n"};
  const Text bootIni = OwnOr(dice, m, "C:\\boot.ini", bootInis);
  PutVariant(dice, m, "C:\\boot.ini", bootIni, dice.Chance(70) ? kAttrHiddenSystemReadOnly : 0);
  if (dice.Chance(15)) {
    const Text saved = dice.Pick(bootInis);
    PutVariant(dice, m, "C:\\boot.kvx", saved, kAttrHiddenSystemReadOnly);
  }
}

// The store: foreign entries, old product entries (some that cannot be
// deleted), the store's file on the active partition, the previous run's
// enumeration and identifier.
void VaryStore(Dice& dice, Machine& m) {
  testing::SimulatedWindows& windows = *m.windows;
  bench::BcdStore store = windows.Store();
  const size_t storeFile = dice.Below(3);
  store.unreadable = store.unreadable || !dice.Chance(85);
  if (dice.Chance(10))
    store.refuseCreate = !store.refuseCreate;
  store.createAnswer = dice.Pick(std::vector<Text>{store.createAnswer, "Entry {id} created.", "",
                                                   "已成功创建项 {id} created."});
  if (bench::BcdEntry* current = store.Find("{current}"))
    current->Set("inherit", "{bootloadersettings}");
  if (dice.Chance(50))
    testing::AddBootSector(store, "GRUB", "\\grldr.mbr");
  if (dice.Chance(50) && store.Find("{memdiag}") == nullptr) {
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
  if (storeFile == 1) {
    bench::BcdStore file = store;
    file.unreadable = false;
    m.host.PutFile("C:\\boot\\bcd", bench::FormatBcdStore(file));
  }
  if (storeFile == 2)
    m.host.RemovePath("C:\\boot\\bcd");

  // 0: as the sample has it.
  const Text enumerationPath = kProduct + "bcd_all.ini";
  const size_t enumeration = dice.Below(4);
  if (enumeration == 1)
    m.host.PutFile(enumerationPath, bench::EnumAll(store));
  if (enumeration == 2)
    m.host.PutFile(enumerationPath, Junk(dice, 500));
  if (enumeration == 3)
    m.host.RemovePath(enumerationPath);
  const Text identifierPath = kProduct + "krv_id.ini";
  const size_t identifier = dice.Below(5);
  if (identifier == 1 && store.entries.size() > 2)
    m.host.PutFile(identifierPath, store.entries.back().id + "\r\n");
  if (identifier == 2)
    m.host.PutFile(identifierPath, bench::CreatedId(store.next) + "\r\n");
  if (identifier == 3)
    m.host.PutFile(identifierPath, Junk(dice, 80));
  if (identifier == 4)
    m.host.RemovePath(identifierPath);
}

void VaryInstall(Dice& dice, Machine& m, const SampleMachine& sample) {
  VaryWindows(dice, m, sample);
  VaryDisks(dice, m);
  VaryFiles(dice, m);
  VaryStore(dice, m);
  VaryEnvironment(dice, m);
  VaryReads(dice, m);
  m.windows->commandsRun = !dice.Chance(3);
}

// A boot.ini that holds the product's line names a Windows too.
void ExpectNoProductLineAlone(const Machine& m, std::vector<std::string>& problems) {
  for (const Text& path : m.host.Paths()) {
    if (FindText(path, "\\boot.ini", true) == Text::npos ||
        FindText(path, "vesk", true) != Text::npos)
      continue;
    const Text text = m.host.Content(path);
    if (FindText(text, "C:\\KVLDR=", true) != Text::npos &&
        FindText(text, "multi", true) == Text::npos) {
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
    const SampleMachine sample =
        testing::ReadSampleMachine(dice.Pick(testing::SampleMachineNames()));
    // The machine draws its own choices, from a second stream of the seed.
    const testing::Recipe recipe = [seed, mode, &sample](Machine& m) {
      Dice machineDice(seed ^ 0x5bd1e995u);
      testing::LoadSampleMachine(sample.name, mode == Mode::PreInstall ? "1" : "2", m.host,
                                 *m.windows);
      if (mode == Mode::PreInstall) {
        VaryPreInstall(machineDice, m, sample);
      } else {
        VaryInstall(machineDice, m, sample);
      }
    };
    const testing::RunReport report =
        testing::CheckedRun(recipe, mode, failAt, ExpectNoProductLineAlone);
    if (!report.problems.empty()) {
      ++failures;
      ADD_FAILURE() << "seed " << seed << " (replay with KVX_RANDOM_SEED=" << seed << "), "
                    << sample.name << " varied, operation " << failAt << " failing:\n"
                    << testing::Problems(report);
    }
  }
}

}  // namespace
}  // namespace kvx
