// Whole runs in which one host operation fails, each one in turn: a command
// that does nothing, a change that changes nothing, a read that gives the
// empty text or the default. Every such run must still end with code 0,
// reach its last step, stay within its command bounds and change nothing
// outside the product's places (fault_runs.h). Each machine is swept once,
// with every further check that applies to it.
//
// The further checks guard where a wrong step could harm the user's machine:
// the boot menu, the BCD store, the product's settings and the clean-up. They
// hold on a clean run and with every host operation failing in turn.
#include <gtest/gtest.h>

#include "tests/support/fault_runs.h"
#include "tests/support/sample_machines.h"
#include "tests/tools/text.h"

namespace kvx {
namespace {

using bench::FindText;
using testing::ExpectEveryOperationMayFail;
using testing::Machine;
using testing::Mode;
using testing::Op;
using Problems = std::vector<std::string>;

const Text kProduct = "c:\\vesk\\korv\\";

// --- The pre-install run ---

TEST(EachOperationFailing, PreInstallRuns) {
  const struct {
    const char* name;
    testing::Recipe recipe;
  } machines[] = {
      {"win7-stale: the question answered Yes, every check passes",
       [](Machine& m) { testing::PreInstallPassing(m, "win7-stale"); }},
      {"other-windows: the question answered No",
       [](Machine& m) { testing::PreInstallPassing(m, "other-windows"); }},
      {"win7-en with another version",
       [](Machine& m) {
         testing::LoadSampleMachine("win7-en", "1", m.host, *m.windows);
         m.host.PutFile(kProduct + "uninstall.xml", "<v>v2012.05.01</v>");
       }},
      {"uninstall-pending: an unfinished uninstall",
       [](Machine& m) {
         testing::LoadSampleMachine("uninstall-pending", "1", m.host, *m.windows);
       }},
  };
  for (const auto& machine : machines) {
    SCOPED_TRACE(machine.name);
    EXPECT_GT(ExpectEveryOperationMayFail(machine.recipe, Mode::PreInstall), 10u);
  }
}

// --- boot.ini ---

const Text kProductLine = "C:\\KVLDR=珂瓦克斯 v2013.01.23";

// xp-zh with boot.ini as given (missing when not), with or without the
// package's spare boot0.ini, which names Windows, and a saved copy boot.kvx.
testing::Recipe XpWithBootIni(const std::optional<Text>& bootIni, bool spare,
                              const Text& saved = Text()) {
  return [bootIni, spare, saved](Machine& m) {
    testing::LoadSampleMachine("xp-zh", "2", m.host, *m.windows);
    if (!spare)
      m.host.RemovePath(kProduct + "boot0.ini");
    m.host.RemovePath("C:\\boot.ini");
    if (bootIni)
      m.host.PutFile("C:\\boot.ini", *bootIni, kAttrHiddenSystemReadOnly);
    if (!saved.empty())
      m.host.PutFile("C:\\boot.kvx", saved, kAttrHiddenSystemReadOnly);
  };
}

// The boot.ini that the run registered in: on the drive it took for the
// active one, as its loader copy names it.
Text RegisteredBootIni(const Machine& m) {
  const Text copy = "xcopy c:\\KVLDR ";
  for (const Text& command : m.host.Commands()) {
    const size_t at = command.find(copy);
    if (at != Text::npos) {
      const size_t drive = at + copy.size();
      return command.substr(drive, command.find('\\', drive) - drive) + "\\boot.ini";
    }
  }
  return "C:\\boot.ini";
}

// What a run leaves in boot.ini, whatever failed: it is there, unless it was
// missing and there was no spare or it could not be copied; a Windows entry
// it had is not lost; and it holds the product's line exactly when it names
// a Windows, for the product's line alone would leave no way to start
// Windows. Without a fault and with the spare, it always names a Windows.
struct BootIniRules {
  bool hadBootIni = true;
  bool hadSpare = true;
  bool hadWindows = false;

  void operator()(const Machine& m, Problems& problems) const {
    const Text path = RegisteredBootIni(m);
    const Text bootIni = m.host.Content(path);
    const bool namesWindows = FindText(bootIni, "multi(", true) != Text::npos;
    const bool productLine = FindText(bootIni, kProductLine, false) != Text::npos;
    if (!m.host.Exists(path) &&
        (hadBootIni || (hadSpare && !m.CommandFailed("copy /y c:\\vesk\\korv\\boot0.ini")))) {
      problems.push_back(path + " is missing");
    }
    if ((hadWindows || (hadSpare && m.failAt == 0)) && !namesWindows)
      problems.push_back(path + " names no Windows");
    if (namesWindows != productLine)
      problems.push_back(path +
                         (productLine ? " has the product's line alone" : " has no product line"));
  }
};

const Text kInOrder =
    "[boot loader]\r\ntimeout=30\r\n[operating systems]\r\n"
    "multi(0)disk(0)rdisk(1)partition(1)\\WINDOWS=\"Microsoft Windows XP\"\r\n";
const Text kSaved =
    "[boot loader]\r\ntimeout=10\r\ndefault=multi(0)disk(0)rdisk(1)partition(2)\\WINDOWS\r\n"
    "[operating systems]\r\nmulti(0)disk(0)rdisk(1)partition(2)\\WINDOWS=\"Saved XP\"\r\n";

TEST(DataSafety, BootIniHoldsTheProductLineBesideWindowsAndNeverAlone) {
  const Text withoutWindows = "[boot loader]\r\ntimeout=3\r\n";
  const struct {
    const char* name;
    std::optional<Text> bootIni;
    bool spare;
    bool everyOperation;  // also with each operation failing in turn
  } cases[] = {
      {"boot.ini missing", std::nullopt, true, true},
      {"boot.ini empty", Text(), true, false},
      {"boot.ini without a Windows entry", withoutWindows, true, false},
      {"boot.ini of binary junk", Text("\x01\xfe\x00\x7f\x81", 5), true, false},
      // Swept with a saved copy beside it, below.
      {"boot.ini in order", kInOrder, true, false},
      {"boot.ini and the spare missing", std::nullopt, false, true},
      {"no Windows entry and no spare", withoutWindows, false, false},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    BootIniRules rules;
    rules.hadBootIni = c.bootIni.has_value();
    rules.hadSpare = c.spare;
    rules.hadWindows = c.bootIni && FindText(*c.bootIni, "multi(", true) != Text::npos;
    if (c.everyOperation) {
      ExpectEveryOperationMayFail(XpWithBootIni(c.bootIni, c.spare), Mode::Install, rules);
      continue;  // the sweep's first run is the clean one
    }
    const testing::RunReport clean =
        testing::CheckedRun(XpWithBootIni(c.bootIni, c.spare), Mode::Install, 0, rules);
    EXPECT_TRUE(clean.problems.empty()) << testing::Problems(clean);
  }
}

// A saved boot.ini goes away only once boot.ini holds its text. Swept on
// boot.ini in order (a Windows, no product line) with the saved copy beside it.
TEST(DataSafety, SavedBootIniIsRemovedOnlyOnceRestored) {
  BootIniRules rules;
  rules.hadWindows = true;
  ExpectEveryOperationMayFail(
      XpWithBootIni(kInOrder, true, kSaved), Mode::Install,
      [rules](const Machine& m, Problems& problems) {
        rules(m, problems);
        if (!m.host.Exists("C:\\boot.kvx") &&
            FindText(m.host.Content(RegisteredBootIni(m)), "\"Saved XP\"", false) == Text::npos) {
          problems.push_back("boot.kvx is gone, but boot.ini does not hold it");
        }
      });
}

TEST(DataSafety, SavedBootIniWithoutWindowsIsNeitherRestoredNorRemoved) {
  BootIniRules rules;
  rules.hadWindows = true;
  for (const Text& saved :
       {Text("\r\n"), Text("\x00\x00\x00 damaged", 11), Text("[boot loader]\r\ntimeout=10\r\n")}) {
    const testing::RunReport report =
        testing::CheckedRun(XpWithBootIni(kInOrder, true, saved), Mode::Install, 0,
                            [&](const Machine& m, Problems& problems) {
                              rules(m, problems);
                              if (m.host.Content("C:\\boot.kvx") != saved)
                                problems.push_back("the saved copy was not kept as it was");
                            });
    EXPECT_TRUE(report.problems.empty()) << testing::Problems(report);
  }
}

// --- Settings and clean-up ---

// Keys of krv_pass.ini that no step writes, and a settings file of the
// product that no step touches, come through every run unchanged.
const Text kUserIni = "[user]\r\n名字=李伟\r\nlast=2012-05-01\r\n";

void PutSettingsNoStepWrites(Machine& m) {
  m.host.SetIniValue(kProduct + "krv_pass.ini", "sec", "sec2", "7");
  m.host.SetIniValue(kProduct + "krv_pass.ini", "boot", "rei", "1");
  m.host.SetIniValue(kProduct + "krv_pass.ini", "用户", "键", "值 with blanks ");
  m.host.PutFile(kProduct + "krv_user.ini", kUserIni);
}

void ExpectSettingsKept(const Machine& m, Problems& problems) {
  const Text pass = kProduct + "krv_pass.ini";
  if (m.host.IniValue(pass, "sec", "sec2") != "7" || m.host.IniValue(pass, "boot", "rei") != "1" ||
      m.host.IniValue(pass, "用户", "键") != "值 with blanks") {
    problems.push_back("krv_pass.ini lost a key: " + m.host.Content(pass));
  }
  if (m.host.Content(kProduct + "krv_user.ini") != kUserIni)
    problems.push_back("krv_user.ini changed");
}

// The final clean-up removes the scratch files "vk_*" of the scratch folder
// (the folder the run uses: TMP's short form where TMP has a blank) and the
// files directly in the run folder, nothing else: not the scratch folder's
// other files, not a subfolder of the run folder, not the product files
// whose names begin like the run folder's.
Text ScratchFolderOf(const Machine& m) {
  return m.host.ShortFormOf(m.host.EnvValue("TMP"));
}

std::vector<Text> KeptByTheCleanUp(const Machine& m) {
  const Text scratch = ScratchFolderOf(m);
  return {scratch + "\\setup.log",  scratch + "\\vk\\inner.txt", kProduct + "krv_run\\sub\\b.tmp",
          kProduct + "krv_run.log", kProduct + "krv_runner.ini", "c:\\vesk\\krv_run\\c.tmp",
          "C:\\krv_run\\d.tmp"};
}

void PutFilesAroundTheRunFolder(Machine& m) {
  for (const Text& path : KeptByTheCleanUp(m))
    m.host.PutFile(path, "user data");
  m.host.PutFile(kProduct + "krv_run\\a.tmp", "run data");
  m.host.PutFile(ScratchFolderOf(m) + "\\vk_old.txt", "scratch of an earlier run");
}

// Whatever failed, nothing outside the run folder and the scratch files is
// removed; without a fault, those are.
void ExpectCleanUpRemovedOnlyItsOwn(const Machine& m, Problems& problems) {
  for (const Text& path : KeptByTheCleanUp(m)) {
    if (!m.host.Exists(path))
      problems.push_back("removed: " + path);
  }
  if (m.failAt != 0)
    return;
  for (const Text& gone : {kProduct + "krv_run\\a.tmp", ScratchFolderOf(m) + "\\vk_old.txt"}) {
    if (m.host.Exists(gone))
      problems.push_back("not cleaned up: " + gone);
  }
}

// --- The install run on each family ---

// The NT5 machine, with the settings and the files around the run folder.
// boot.ini names a Windows and holds an older product line.
TEST(EachOperationFailing, InstallOnWindowsXp) {
  BootIniRules rules;
  rules.hadWindows = true;
  const size_t runs = ExpectEveryOperationMayFail(
      [](Machine& m) {
        testing::XpAloneOnItsDisk(m);
        PutSettingsNoStepWrites(m);
        PutFilesAroundTheRunFolder(m);
      },
      Mode::Install,
      [rules](const Machine& m, Problems& problems) {
        rules(m, problems);
        ExpectSettingsKept(m, problems);
        ExpectCleanUpRemovedOnlyItsOwn(m, problems);
      });
  EXPECT_GT(runs, 150u);
}

// The NT6 machine, whose store holds beside the boot manager, the running
// Windows, the memory tester and the two old product entries: an earlier
// Windows (NT loader), a hibernation resume entry and another boot loader's
// boot sector; several of them refer to other entries. The previous run's
// enumeration holds them all.
void Windows7WithForeignEntries(Machine& m) {
  testing::Windows7OverEarlierInstall(m);
  bench::BcdStore store = m.windows->Store();
  const Text earlier = "{466f5a88-0af2-4f76-9038-095b170dc21c}";
  const Text resume = "{1f0e7b2c-5d11-4e1b-9a0c-3b5f7d9e2a41}";
  store.Find("{current}")->Set("resumeobject", resume);
  store.Find("{current}")->Set("inherit", "{bootloadersettings}");
  store.entries.push_back({earlier,
                           "ntldr",
                           {{"device", "partition=D:"},
                            {"path", "\\ntldr"},
                            {"description", "Earlier Version of Windows"}}});
  store.entries.push_back({resume,
                           "resume",
                           {{"device", "partition=C:"},
                            {"path", "\\Windows\\system32\\winresume.exe"},
                            {"description", "Windows Resume Application"},
                            {"inherit", "{resumeloadersettings}"}}});
  testing::AddBootSector(store, "GRUB", "\\grldr.mbr");
  std::vector<Text> order = testing::DisplayOrder(store);
  order.push_back(earlier);
  testing::SetDisplayOrder(store, order);
  m.windows->PutStore(store);
  m.host.PutFile(kProduct + "bcd_all.ini", bench::EnumAll(store));
}

// The NT6 machine with the foreign entries and the settings. The stale-entry
// removal and the template never touch a foreign entry: checked on every run
// (fault_runs.h).
TEST(EachOperationFailing, InstallOnSixtyFourBitWindows7) {
  const size_t runs = ExpectEveryOperationMayFail(
      [](Machine& m) {
        Windows7WithForeignEntries(m);
        PutSettingsNoStepWrites(m);
      },
      Mode::Install, ExpectSettingsKept);
  EXPECT_GT(runs, 150u);
}

// The PCs of today: Windows 10 on legacy BIOS whose setup package shipped
// the marker nt, and Windows 11 on UEFI with the dead entry of an earlier
// version. On the first a clean run makes the product's entry. On the
// second, whatever fails, no entry is made, the menu keeps its timeout and
// krv_id.ini names no entry that is gone; unless the firmware could not be
// asked at all (the run then knows no more than on legacy BIOS) or the one
// delete of krv_id.ini failed.
TEST(EachOperationFailing, InstallOnWindows10BiosAndWindows11Uefi) {
  for (const std::string name : {"win10-bios", "win11-uefi"}) {
    SCOPED_TRACE(name);
    const auto check = [name](const Machine& m, Problems& problems) {
      const Op* failed = m.failAt == 0 ? nullptr : &m.host.Log()[m.failAt - 1];
      const bench::BcdStore store = m.windows->Store();
      const bool made = store.Find(bench::CreatedId(1)) != nullptr;
      if (name == "win10-bios" || (failed != nullptr && failed->name == "QueryFirmware")) {
        if (failed == nullptr && !made)
          problems.push_back("no entry made on legacy BIOS");
        return;
      }
      if (made || store.Find("{bootmgr}")->Element("timeout") != "30")
        problems.push_back("an entry made or the timeout changed on UEFI");
      const std::vector<std::string> id =
          bench::SplitLines(m.host.Content(kProduct + "krv_id.ini"));
      if (!id.empty() && store.Find(bench::Trim(id[0])) == nullptr &&
          !(failed != nullptr && FindText(failed->path, "krv_id.ini", true) != Text::npos)) {
        problems.push_back("krv_id.ini names an entry that is gone: " + id[0]);
      }
    };
    const size_t runs = ExpectEveryOperationMayFail(
        [name](Machine& m) { testing::LoadSampleMachine(name, "2", m.host, *m.windows); },
        Mode::Install, check);
    EXPECT_GT(runs, 150u);
  }
}

// krv_id.ini names the earlier Windows' entry and no enumeration is kept: at
// the first pass the extraction finds nothing and leaves that identifier.
TEST(DataSafety, KeptIdentifierOfAForeignEntryIsNeverDeleted) {
  const testing::RunReport report = testing::CheckedRun(
      [](Machine& m) {
        Windows7WithForeignEntries(m);
        m.host.PutFile(kProduct + "krv_id.ini", "{466f5a88-0af2-4f76-9038-095b170dc21c}\r\n");
        m.host.RemovePath(kProduct + "bcd_all.ini");
      },
      Mode::Install);
  EXPECT_TRUE(report.problems.empty()) << testing::Problems(report);
}

// krv_id.ini always reads empty: every identifier read back is empty. The
// deletes name no entry, and the template, which would set the running
// Windows' device and path, is left out; the user hears of the missing path.
// The store answers a creation with the identifier as its second word, so
// that the settings batch names the new entry and any bcdedit /set without
// an identifier would be the template's.
TEST(DataSafety, EmptyIdentifierNeverReachesTheTemplate) {
  const testing::Recipe recipe = [](Machine& m) {
    Windows7WithForeignEntries(m);
    bench::BcdStore store = m.windows->Store();
    store.createAnswer = "Entry {id} created.";
    m.windows->PutStore(store);
    m.host.readText = [](const Text& path, const Text& text) {
      return FindText(path, "krv_id.ini", true) == Text::npos ? text : Text();
    };
  };
  const testing::RunReport report =
      testing::CheckedRun(recipe, Mode::Install, 0, [](const Machine& m, Problems& problems) {
        for (const Text& run : m.windows->bcdeditRuns) {
          if (run.find("/set ") == 0 && run.find("{") == Text::npos)
            problems.push_back("bcdedit " + run);
        }
        for (const Text& command : m.host.Commands()) {
          if (FindText(command, "vk_vt01s.bat", true) != Text::npos)
            problems.push_back("the template ran: " + command);
        }
      });
  EXPECT_TRUE(report.problems.empty()) << testing::Problems(report);
}

}  // namespace
}  // namespace kvx
