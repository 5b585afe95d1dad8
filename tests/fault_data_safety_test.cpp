// Where a wrong step could harm the user's machine: the boot menu, the BCD
// store, the product's settings and the clean-up. Each check holds on a clean
// run and with every host operation of the run failing in turn.
#include <gtest/gtest.h>

#include "tests/support/fault_runs.h"
#include "tests/support/install_machines.h"

namespace kvx {
namespace {

using testing::ExpectEveryOperationMayFail;
using testing::Machine;
using testing::Mode;
using Problems = std::vector<std::string>;

const Text kSpare =
    "[boot loader]\r\ntimeout=30\r\ndefault=multi(0)disk(0)rdisk(0)partition(1)\\WINDOWS\r\n"
    "[operating systems]\r\n"
    "multi(0)disk(0)rdisk(0)partition(1)\\WINDOWS=\"Microsoft Windows XP\" /fastdetect\r\n";
const Text kSaved =
    "[boot loader]\r\ntimeout=10\r\ndefault=multi(0)disk(0)rdisk(1)partition(2)\\WINDOWS\r\n"
    "[operating systems]\r\nmulti(0)disk(0)rdisk(1)partition(2)\\WINDOWS=\"Saved XP\"\r\n";
const Text kProductLine = "C:\\KVLDR=珂瓦克斯 v2013.01.23";

// The XP machine with boot.ini as given (missing when not), with or without
// the product's spare, which names Windows, and a saved copy boot.kvx.
testing::Recipe XpWithBootIni(const std::optional<Text>& bootIni, bool spare = true,
                              const Text& saved = Text()) {
  return [bootIni, spare, saved](Machine& m) {
    testing::SetUpXpOnSecondDisk(m.host, *m.windows);
    m.host.RemovePath("c:\\vesk\\korv\\boot0.ini");
    if (spare)
      m.host.PutFile("c:\\vesk\\korv\\boot0.ini", kSpare);
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
  for (const Text& command : m.host.Commands()) {
    const size_t at = command.find("xcopy c:\\KVLDR ");
    if (at != Text::npos)
      return Concat({command.substr(at + 15, command.find('\\', at + 15) - at - 15), "\\boot.ini"});
  }
  return "C:\\boot.ini";
}

// What a run leaves in boot.ini, whatever failed: it is there, unless it was
// missing and there was no spare or it could not be copied; a Windows entry it had is not
// lost; and it holds the product's line exactly when it names a Windows, for
// the product's line alone would leave no way to start Windows. Without a
// fault and with the spare, it always names a Windows.
struct BootIniRules {
  bool hadBootIni = true;
  bool hadSpare = true;
  bool hadWindows = false;
  bool mustNameWindows = false;

  void operator()(const Machine& m, Problems& problems) const {
    const Text path = RegisteredBootIni(m);
    const Text bootIni = m.host.Content(path);
    const bool namesWindows = FindText(bootIni, "multi(", true) != kNotFound;
    const bool productLine = FindText(bootIni, kProductLine, false) != kNotFound;
    if (!m.host.Exists(path) &&
        (hadBootIni || (hadSpare && !m.CommandFailed("copy /y c:\\vesk\\korv\\boot0.ini")))) {
      problems.push_back(path + " is missing");
    }
    if ((hadWindows || mustNameWindows) && !namesWindows)
      problems.push_back(path + " names no Windows");
    if (namesWindows != productLine)
      problems.push_back(path +
                         (productLine ? " has the product's line alone" : " has no product line"));
  }
};

TEST(DataSafety, BootIniHoldsTheProductLineBesideWindowsAndNeverAlone) {
  const Text current =
      "[boot loader]\r\ntimeout=30\r\n[operating systems]\r\n"
      "multi(0)disk(0)rdisk(1)partition(1)\\WINDOWS=\"Microsoft Windows XP\"\r\n";
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
      {"boot.ini in order", current, true, true},
      {"boot.ini and the spare missing", std::nullopt, false, true},
      {"no Windows entry and no spare", withoutWindows, false, false},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    BootIniRules rules;
    rules.hadBootIni = c.bootIni.has_value();
    rules.hadSpare = c.spare;
    rules.hadWindows = c.bootIni && FindText(*c.bootIni, "multi(", true) != kNotFound;
    if (c.everyOperation)
      ExpectEveryOperationMayFail(XpWithBootIni(c.bootIni, c.spare), Mode::Install, rules);
    rules.mustNameWindows = c.spare;
    const testing::RunReport clean =
        testing::CheckedRun(XpWithBootIni(c.bootIni, c.spare), Mode::Install, 0, rules);
    EXPECT_TRUE(clean.problems.empty()) << testing::Problems(clean);
  }
}

// A saved boot.ini goes away only once boot.ini holds its text.
void ExpectSavedCopyKeptUnlessRestored(const Machine& m, Problems& problems) {
  if (!m.host.Exists("C:\\boot.kvx") &&
      FindText(m.host.Content(RegisteredBootIni(m)), "\"Saved XP\"", false) == kNotFound) {
    problems.push_back("boot.kvx is gone, but boot.ini does not hold it");
  }
}

TEST(DataSafety, SavedBootIniIsRemovedOnlyOnceRestored) {
  BootIniRules rules;
  rules.hadWindows = true;
  ExpectEveryOperationMayFail(XpWithBootIni(kSpare, true, kSaved), Mode::Install,
                              [rules](const Machine& m, Problems& problems) {
                                ExpectSavedCopyKeptUnlessRestored(m, problems);
                                rules(m, problems);
                              });
}

TEST(DataSafety, SavedBootIniWithoutWindowsIsNeitherRestoredNorRemoved) {
  BootIniRules rules;
  rules.hadWindows = true;
  for (const Text& saved :
       {Text("\r\n"), Text("\x00\x00\x00 damaged", 11), Text("[boot loader]\r\ntimeout=10\r\n")}) {
    const testing::RunReport report =
        testing::CheckedRun(XpWithBootIni(kSpare, true, saved), Mode::Install, 0,
                            [&](const Machine& m, Problems& problems) {
                              rules(m, problems);
                              if (m.host.Content("C:\\boot.kvx") != saved)
                                problems.push_back("the saved copy was not kept as it was");
                            });
    EXPECT_TRUE(report.problems.empty()) << testing::Problems(report);
  }
}

// The 64-bit Windows 7 machine, whose store holds beside the boot manager,
// the running Windows and the two old product entries: an earlier Windows
// (NT loader), the memory tester, a hibernation resume entry and another
// boot loader's boot sector; several of them refer to other entries. The
// previous run's enumeration holds them all.
void Windows7WithForeignEntries(Machine& m) {
  testing::SetUpWindows7OverEarlierInstall(m.host, *m.windows);
  bench::BcdStore store = m.windows->Store();
  const Text resume = "{1f0e7b2c-5d11-4e1b-9a0c-3b5f7d9e2a41}";
  store.Find("{current}")->Set("resumeobject", resume);
  store.Find("{current}")->Set("inherit", "{bootloadersettings}");
  store.entries.push_back({"{466f5a88-0af2-4f76-9038-095b170dc21c}",
                           "ntldr",
                           {{"device", "partition=D:"},
                            {"path", "\\ntldr"},
                            {"description", "Earlier Version of Windows"}}});
  store.entries.push_back({"{memdiag}",
                           "memdiag",
                           {{"device", "partition=C:"},
                            {"path", "\\boot\\memtest.exe"},
                            {"description", "Windows Memory Diagnostic"}}});
  store.entries.push_back({resume,
                           "resume",
                           {{"device", "partition=C:"},
                            {"path", "\\Windows\\system32\\winresume.exe"},
                            {"description", "Windows Resume Application"},
                            {"inherit", "{resumeloadersettings}"}}});
  testing::AddBootSector(store, "GRUB", "\\grldr.mbr");
  std::vector<Text> order = testing::DisplayOrder(store);
  order.push_back("{466f5a88-0af2-4f76-9038-095b170dc21c}");
  testing::SetDisplayOrder(store, order);
  m.windows->PutStore(store);
  m.host.PutFile("c:\\vesk\\korv\\bcd_all.ini", bench::EnumAll(store));
}

// The foreign entries untouched and no delete or set naming them: checked
// on every run (see fault_runs.h).
TEST(DataSafety, StaleEntryRemovalAndTheTemplateNeverTouchForeignEntries) {
  ExpectEveryOperationMayFail(Windows7WithForeignEntries, Mode::Install);
}

// krv_id.ini names the earlier Windows' entry and no enumeration is kept: at
// the first pass the extraction finds nothing and leaves that identifier.
TEST(DataSafety, KeptIdentifierOfAForeignEntryIsNeverDeleted) {
  const testing::RunReport report = testing::CheckedRun(
      [](Machine& m) {
        Windows7WithForeignEntries(m);
        m.host.PutFile("c:\\vesk\\korv\\krv_id.ini", "{466f5a88-0af2-4f76-9038-095b170dc21c}\r\n");
        m.host.RemovePath("c:\\vesk\\korv\\bcd_all.ini");
      },
      Mode::Install);
  EXPECT_TRUE(report.problems.empty()) << testing::Problems(report);
}

// krv_id.ini always reads empty: every identifier read back is empty. The
// deletes name no entry, and the template, which would set the running
// Windows' device and path, is left out; the user hears of the missing path.
TEST(DataSafety, EmptyIdentifierNeverReachesTheTemplate) {
  const testing::Recipe recipe = [](Machine& m) {
    Windows7WithForeignEntries(m);
    m.host.readText = [](const Text& path, const Text& text) {
      return FindText(path, "krv_id.ini", true) == kNotFound ? text : Text();
    };
  };
  const testing::RunReport report =
      testing::CheckedRun(recipe, Mode::Install, 0, [](const Machine& m, Problems& problems) {
        for (const Text& run : m.windows->bcdeditRuns) {
          if (run.find("/set ") == 0 && run.find("{") == Text::npos)
            problems.push_back("bcdedit " + run);
        }
        for (const Text& command : m.host.Commands()) {
          if (FindText(command, "vk_vt01s.bat", true) != kNotFound)
            problems.push_back("the template ran: " + command);
        }
      });
  EXPECT_TRUE(report.problems.empty()) << testing::Problems(report);
}

// Keys of krv_pass.ini that no step writes, and a settings file of the
// product that no step touches, come through every run unchanged.
TEST(DataSafety, SettingsKeepWhatNoStepRewrote) {
  const Text userIni = "[user]\r\n名字=李伟\r\nlast=2012-05-01\r\n";
  const auto keep = [&](testing::Recipe base) {
    return [base, userIni](Machine& m) {
      base(m);
      m.host.SetIniValue("c:\\vesk\\korv\\krv_pass.ini", "sec", "sec2", "7");
      m.host.SetIniValue("c:\\vesk\\korv\\krv_pass.ini", "boot", "rei", "1");
      m.host.SetIniValue("c:\\vesk\\korv\\krv_pass.ini", "用户", "键", "值 with blanks ");
      m.host.PutFile("c:\\vesk\\korv\\krv_user.ini", userIni);
    };
  };
  const testing::ExtraCheck kept = [&](const Machine& m, Problems& problems) {
    const Text pass = "c:\\vesk\\korv\\krv_pass.ini";
    if (m.host.IniValue(pass, "sec", "sec2") != "7" ||
        m.host.IniValue(pass, "boot", "rei") != "1" ||
        m.host.IniValue(pass, "用户", "键") != "值 with blanks") {
      problems.push_back("krv_pass.ini lost a key: " + m.host.Content(pass));
    }
    if (m.host.Content("c:\\vesk\\korv\\krv_user.ini") != userIni)
      problems.push_back("krv_user.ini changed");
  };
  ExpectEveryOperationMayFail(
      keep([](Machine& m) { testing::SetUpXpOnSecondDisk(m.host, *m.windows); }), Mode::Install,
      kept);
  ExpectEveryOperationMayFail(
      keep([](Machine& m) { testing::SetUpWindows7OverEarlierInstall(m.host, *m.windows); }),
      Mode::Install, kept);
}

// The final clean-up removes the scratch files "vk_*" of the scratch folder
// and the files directly in the run folder, nothing else: not the scratch
// folder's other files, not a subfolder of the run folder, not the product
// files whose names begin like the run folder's.
TEST(DataSafety, FinalCleanUpRemovesNothingOutsideTheRunFolder) {
  const std::vector<Text> kept = {
      "C:\\WINDOWS\\TEMP\\setup.log",
      "C:\\WINDOWS\\TEMP\\vk\\inner.txt",
      "c:\\vesk\\korv\\krv_run\\sub\\b.tmp",
      "c:\\vesk\\korv\\krv_run.log",
      "c:\\vesk\\korv\\krv_runner.ini",
      "c:\\vesk\\krv_run\\c.tmp",
      "C:\\krv_run\\d.tmp",
  };
  const testing::Recipe recipe = [kept](Machine& m) {
    testing::SetUpXpOnSecondDisk(m.host, *m.windows);
    for (const Text& path : kept)
      m.host.PutFile(path, "user data");
    m.host.PutFile("c:\\vesk\\korv\\krv_run\\a.tmp", "run data");
    m.host.PutFile("C:\\WINDOWS\\TEMP\\vk_old.txt", "scratch of an earlier run");
  };
  const testing::ExtraCheck check = [kept](const Machine& m, Problems& problems) {
    for (const Text& path : kept) {
      if (!m.host.Exists(path))
        problems.push_back("removed: " + path);
    }
  };
  ExpectEveryOperationMayFail(recipe, Mode::Install, check);
  const testing::RunReport clean =
      testing::CheckedRun(recipe, Mode::Install, 0, [](const Machine& m, Problems& problems) {
        for (const Text gone :
             {"c:\\vesk\\korv\\krv_run\\a.tmp", "C:\\WINDOWS\\TEMP\\vk_old.txt"}) {
          if (m.host.Exists(gone))
            problems.push_back("not cleaned up: " + gone);
        }
      });
  EXPECT_TRUE(clean.problems.empty()) << testing::Problems(clean);
}

}  // namespace
}  // namespace kvx
