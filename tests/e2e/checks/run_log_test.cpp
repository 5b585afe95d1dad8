// The configurator's run log on the sample machines, held against the
// bench's trace: kvxcfg.log in the machine's TMP holds one section per run,
// with every command line the tracer saw, in the same order and with the
// same exit codes, the message boxes with their answers and the pauses; its
// copy in the product folder; and the boot configuration kept as it was.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <map>
#include <string>
#include <vector>

#include "tests/e2e/bench/trace_record.h"
#include "tests/e2e/checks/e2e_support.h"
#include "tests/support/expected_blocks.h"
#include "tests/support/run_log_reader.h"
#include "tests/tools/bcd_store.h"
#include "tests/tools/text.h"

namespace kvx::e2e {
namespace {

using bench::StartsWith;

using testing::HoldsNote;
using testing::JoinLines;
using testing::LoggedSteps;
using Entry = testing::LogEntry;
using Section = testing::LogSection;

const std::string kBom = "\xEF\xBB\xBF";
const std::string kBar = "======== ";

// The log as GBK text, cut into its sections; fails the test when the file
// is missing or does not begin with the byte-order mark.
std::vector<Section> Sections(const RunFolder& folder, const std::string& path) {
  std::string bytes;
  EXPECT_TRUE(folder.Read(path, &bytes)) << bench::Utf8(path);
  EXPECT_TRUE(StartsWith(bytes, kBom));
  return testing::ReadLogSections(bench::Gbk(StartsWith(bytes, kBom) ? bytes.substr(3) : bytes));
}

// The style a step passed, from the style the message-box call got: the
// Windows host adds MB_SETFOREGROUND | MB_TOPMOST (0x50000), the log keeps
// the step's. A style without both flags stays as it is, and so differs.
std::string StepStyle(const std::string& traced) {
  const unsigned long style = std::strtoul(traced.c_str(), nullptr, 16);
  if ((style & 0x50000) != 0x50000)
    return traced;
  char text[24];
  std::snprintf(text, sizeof text, "0x%02lX", style & ~0x50000ul);
  return text;
}

Lines TracedSteps(const ProgramRun& run) {
  Lines steps;
  for (const Event& event : run.events) {
    if (event.kind == bench::kRecordRun) {
      steps.push_back("run " + event.Field(0));
    } else if (event.kind == bench::kRecordEnded) {
      steps.push_back("exit " + event.Field(0));
    } else if (event.kind == bench::kRecordNotStarted) {
      steps.push_back("not started " + event.Field(0));
    } else if (event.kind == bench::kRecordBox) {
      // The host gives a box without a caption of its own the program's name.
      const std::string caption = event.Field(1) == "kvxcfg" ? "-" : event.Field(1);
      steps.push_back("box " + StepStyle(event.Field(0)) + " " + caption + " " + event.Field(2));
    } else if (event.kind == bench::kRecordAnswer) {
      steps.push_back("answer " + event.Field(0));
    } else if (event.kind == bench::kRecordPause) {
      steps.push_back("pause " + event.Field(0));
    }
  }
  return steps;
}

// The batch texts the log shows as written, checked against the bytes the
// tracer saw run: a batch that no command named between its writing and its
// run (the joins and the fill-in change theirs) runs as the log shows it.
void ExpectBatchesAsWritten(const Section& section, const ProgramRun& run) {
  std::map<std::string, std::string> written;  // path -> text, while no command named it
  Lines asWritten;                             // per command: the text its batch was written with
  for (const Entry& entry : section.entries) {
    if (StartsWith(entry.head, "write ")) {
      written[entry.head.substr(6, entry.head.size() - 7)] = JoinLines(entry.under);
    } else if (StartsWith(entry.head, "run ")) {
      const std::string line = entry.head.substr(4);
      for (auto it = written.begin(); it != written.end();) {
        const bool named = line != it->first && line.find(it->first) != std::string::npos;
        it = named ? written.erase(it) : std::next(it);
      }
      const auto it = written.find(line);
      asWritten.push_back(it == written.end() ? std::string() : it->second);
    }
  }
  size_t commands = 0, checked = 0;
  for (const Event& event : run.events) {
    if (event.kind == bench::kRecordRun) {
      ++commands;
    } else if (event.kind == bench::kRecordBatch && commands <= asWritten.size() &&
               !asWritten[commands - 1].empty()) {
      EXPECT_TRUE(SameBytes(asWritten[commands - 1], event.Field(1)))
          << bench::Utf8(event.Field(0));
      ++checked;
    }
  }
  EXPECT_GT(checked, 0u);
}

// Every run of the machine has its section, in order, closed with exit code
// 0, and the section holds what the tracer saw. Returns the sections.
std::vector<Section> ExpectLogOfEveryRun(const RunFolder& folder) {
  EXPECT_FALSE(folder.Temp().empty());
  const std::string path = folder.Temp() + "\\kvxcfg.log";
  const std::vector<Section> sections = Sections(folder, path);
  EXPECT_EQ(sections.size(), folder.runs().size());
  for (size_t i = 0; i < sections.size() && i < folder.runs().size(); ++i) {
    const Section& section = sections[i];
    const ProgramRun& run = folder.runs()[i];
    SCOPED_TRACE("run " + std::to_string(i + 1) + " (\"" + run.argument + "\")");
    if (section.head.size() < 3) {
      ADD_FAILURE() << "the section's head is short";
      continue;
    }
    EXPECT_TRUE(
        StartsWith(section.head[0], kBar + "kvxcfg 2013.01.23, job \"" + run.argument + "\", "));
    EXPECT_TRUE(StartsWith(section.head[1], "Windows ")) << section.head[1];
    EXPECT_NE(section.head[1].find("; ANSI code page 936; WOW64: "), std::string::npos);
    EXPECT_EQ(section.head[2], "program folder: C:\\KVX Setup");
    // The install run's copy is the last of its closing lines.
    const std::string end = kBar + "end of job \"" + run.argument + "\": exit code 0 after ";
    EXPECT_EQ(section.closing.size(), run.argument == "2" ? 2u : 1u);
    EXPECT_TRUE(!section.closing.empty() && StartsWith(section.closing[0], end));

    // The batch texts are held against what ran below.
    Lines logged = LoggedSteps(section);
    logged.erase(std::remove_if(logged.begin(), logged.end(),
                                [](const std::string& step) { return StartsWith(step, "write "); }),
                 logged.end());
    const Lines traced = TracedSteps(run);
    EXPECT_EQ(logged.size(), traced.size());
    for (size_t k = 0; k < logged.size() && k < traced.size(); ++k) {
      if (logged[k] != traced[k]) {
        ADD_FAILURE() << "step " << k + 1 << ": the log has\n  " << bench::Utf8(logged[k])
                      << "\nthe tracer saw\n  " << bench::Utf8(traced[k]);
        break;
      }
    }
    if (run.argument == "2")
      ExpectBatchesAsWritten(section, run);
  }
  // The install run leaves the log up to its copy's line in the product
  // folder; that line follows the copy.
  if (folder.Run("2") != nullptr) {
    const std::string copied =
        kBar + "the log up to here is copied to c:\\vesk\\korv\\kvxcfg.log " + "========";
    const std::string log = folder.Text(path);
    const size_t cut = log.size() - std::min(log.size(), copied.size() + 4);
    const Lines last = sections.empty() ? Lines() : sections.back().closing;
    EXPECT_EQ(last.empty() ? "" : last.back(), copied);
    EXPECT_EQ(log.substr(cut), copied + "\r\n\r\n");
    EXPECT_TRUE(SameBytes(folder.Text(kProduct + "kvxcfg.log"), log.substr(0, cut)));
  }
  return sections;
}

// BCD.before in the product folder holds the store as the machine held it
// before the run (the doubles' store file, read as the store), which the
// run then changed.
void ExpectStoreKeptAsItWas(const RunFolder& folder) {
  bench::BcdStore before, saved;
  std::string error;
  ASSERT_TRUE(
      bench::ParseBcdStore(folder.Text("C:\\kvxbench\\before\\bcd_store.txt"), &before, &error))
      << error;
  ASSERT_TRUE(bench::ParseBcdStore(folder.Text(kProduct + "BCD.before"), &saved, &error)) << error;
  EXPECT_EQ(bench::FormatBcdStore(saved), bench::FormatBcdStore(before));
  EXPECT_NE(folder.Text("C:\\kvxbench\\fixture\\bcd_store.txt"), bench::FormatBcdStore(before));
  EXPECT_EQ(folder.Attributes(kProduct + "BCD.before"), "");
}

TEST(Windows7English, RunLogHoldsWhatTheTracerSawAndTheStoreIsKeptAsItWas) {
  const RunFolder& folder = Machine("win7-en");
  const std::vector<Section> sections = ExpectLogOfEveryRun(folder);
  ASSERT_EQ(sections.size(), 2u);
  EXPECT_TRUE(HoldsNote(sections[0], "verdict: the marker keeps its name win_lan"));
  EXPECT_TRUE(HoldsNote(sections[1],
                        "survey: Windows family \"vt\", system drive C:, boot disk 0, "
                        "active drive C:"));
  EXPECT_TRUE(HoldsNote(sections[1], "target partition 5, drive D:"));
  EXPECT_TRUE(HoldsNote(sections[1],
                        "entry identifier read back: "
                        "\"{1fa4e2b0-5c9d-11e2-8d37-000000000001}\""));
  EXPECT_TRUE(HoldsNote(sections[1],
                        "the store as it was before the product: exported to "
                        "c:\\vesk\\korv\\BCD.before"));
  // A 32-bit program on 64-bit Windows: the store check and the import fail
  // until bcdedit is copied into syswow64; the export follows the copy.
  EXPECT_TRUE(InOrder(Steps(RunOf(folder, "2")),
                      {"batch \r\nbcdedit /import C:\\boot\\bcd\r\n",
                       "batch \r\nsubst b: C:\\windows\\system32&&echo d|xcopy b:\\bcdedit.exe "
                       "C:\\windows\\syswow64 /k /r /h /c /y&subst b: /d\r\n",
                       "batch \r\nbcdedit /export c:\\vesk\\korv\\BCD.before\r\n",
                       "batch \r\nbcdedit /timeout 5\r\n"}));

  ExpectStoreKeptAsItWas(folder);
}

TEST(WindowsXpChinese, RunLogHoldsWhatTheTracerSawAndBootIniIsKeptAsItWas) {
  const RunFolder& folder = Machine("xp-zh");
  const std::vector<Section> sections = ExpectLogOfEveryRun(folder);
  ASSERT_EQ(sections.size(), 2u);
  EXPECT_TRUE(HoldsNote(sections[1],
                        "boot.ini as it was before the product: copied to "
                        "c:\\vesk\\korv\\boot.ini.before"));
  // TMP has blanks: the scratch files go to its short form, the log stays in TMP.
  bool shortForm = false;
  for (const Entry& entry : sections[1].entries) {
    shortForm =
        shortForm || StartsWith(entry.head, "note: TMP \"" + folder.Temp() +
                                                "\" holds a blank: the scratch files go to ");
  }
  EXPECT_TRUE(shortForm);

  // Copied before the first change of boot.ini, its copy's attributes cleared.
  const std::string copy = "host copy C:\\boot.ini c:\\vesk\\korv\\boot.ini.before";
  const Lines steps = Steps(RunOf(folder, "2"));
  const auto at = std::find(steps.begin(), steps.end(), copy);
  ASSERT_NE(at, steps.end());
  for (auto it = steps.begin(); it != at; ++it)
    EXPECT_EQ(it->find("boot.ini"), std::string::npos) << bench::Utf8(*it);
  EXPECT_TRUE(InOrder(steps, {copy, "host attributes c:\\vesk\\korv\\boot.ini.before 128",
                              "host attributes C:\\boot.ini 128"}));

  // The old boot.ini, with the product as its default and its older line.
  const std::string before = folder.Text("C:\\kvxbench\\before\\boot.ini");
  EXPECT_NE(before.find("default=C:\\KVLDR"), std::string::npos);
  EXPECT_TRUE(SameBytes(folder.Text(kProduct + "boot.ini.before"), before));
  EXPECT_EQ(folder.Attributes(kProduct + "boot.ini.before"), "");
  EXPECT_NE(folder.Text("C:\\boot.ini"), before);
}

// --- win7-en installed twice (KVX_RUNS_2=2, run folder win7-en-twice) ---

TEST(Windows7InstalledTwice, TheSecondRunKeepsTheFirstRunsCopyOfTheStore) {
  const RunFolder& folder = Machine("win7-en-twice");
  const std::vector<Section> sections = ExpectLogOfEveryRun(folder);
  ASSERT_EQ(sections.size(), 3u);  // "1", "2", "2"
  ASSERT_EQ(folder.runs().size(), 3u);
  EXPECT_TRUE(HoldsNote(sections[1],
                        "the store as it was before the product: exported to "
                        "c:\\vesk\\korv\\BCD.before"));
  EXPECT_TRUE(HoldsNote(sections[2],
                        "the store as it was before the product: kept in "
                        "c:\\vesk\\korv\\BCD.before"));
  EXPECT_TRUE(InOrder(Calls(folder.runs()[1], "bcdedit"),
                      {"bcdedit /export c:\\vesk\\korv\\BCD.before", "bcdedit /timeout 5"}));
  for (const std::string& call : Calls(folder.runs()[2], "bcdedit"))
    EXPECT_EQ(call.find("BCD.before"), std::string::npos) << call;
  // The second run removed the first one's entry and made its own.
  EXPECT_TRUE(InOrder(Calls(folder.runs()[2], "bcdedit"),
                      {"bcdedit /delete {1fa4e2b0-5c9d-11e2-8d37-000000000001} /cleanup",
                       "bcdedit /create /d \"KORVAX v2013.01.23\" /application bootsector"}));

  // The copy is still the store as the machine held it before the first run.
  ExpectStoreKeptAsItWas(folder);
}

// --- The firmware's answers and the decision, on the PCs of today ---
// Wine reports no firmware type and fails the variable read as legacy BIOS
// does; on win11-uefi the tracer answers as UEFI. The 32-bit program's first
// plain bcdedit finds no bcdedit.exe, so the store's listing says nothing.

TEST(Windows10OnLegacyBios, RunLogNamesTheFirmwareAnswersAndTheDecision) {
  const std::vector<Section> sections = ExpectLogOfEveryRun(Machine("win10-bios"));
  ASSERT_EQ(sections.size(), 2u);
  EXPECT_TRUE(HoldsNote(sections[1],
                        "firmware: reported type not known, variable probe legacy BIOS, loader in "
                        "the store listing not known; decided: not UEFI"));
}

TEST(Windows11OnUefi, RunLogNamesTheFirmwareAnswersAndTheDecision) {
  const std::vector<Section> sections = ExpectLogOfEveryRun(Machine("win11-uefi"));
  ASSERT_EQ(sections.size(), 2u);
  EXPECT_TRUE(HoldsNote(sections[1],
                        "firmware: reported type UEFI, variable probe UEFI, loader in the store "
                        "listing not known; decided: UEFI"));
}

TEST(ProductOnAnotherWindows, RunLogClosesTheRunTheUserEnded) {
  const RunFolder& folder = Machine("other-windows");
  const std::vector<Section> sections = ExpectLogOfEveryRun(folder);
  ASSERT_EQ(sections.size(), 1u);
  EXPECT_TRUE(HoldsNote(sections[0], "verdict: the marker becomes win_lan1"));
  EXPECT_TRUE(InOrder(
      LoggedSteps(sections[0]),
      {"box 0x34 警告 " + std::string("警告：发现在另外一个WINDOWS里已经安装了本软件。\r\n"
                                      "请不要继续安装本软件，以避免造成冲突和误恢复。\r\n"
                                      "如果继续安装，建议仅使用GHOST英文手动模式。\r\n\r\n"
                                      "是否继续安装本软件？\r\n\r\n是=继续安装\r\n否=放弃安装"),
       "answer 7"}));
}

// --- The sample setup package (package/), run silently on two machines
// (run-machine.sh --package; run folders package-win7-en and
// package-uninstall-pending). The configurator runs untraced there: its run
// log is the record of what it did. ---

// The installer's one run, as the launcher saw it.
const ProgramRun& InstallerRun(const RunFolder& folder) {
  static const ProgramRun kNone;
  EXPECT_EQ(folder.runs().size(), 1u);
  if (folder.runs().empty())
    return kNone;
  EXPECT_EQ(folder.runs()[0].commandLine, "\"C:\\KVX Setup\\kvxsetup.exe\" /S");
  return folder.runs()[0];
}

// The folder a section's run was started from. The installer starts the
// configurator from its own temporary folder, in TMP.
std::string ProgramFolder(const Section& section) {
  const std::string head = "program folder: ";
  return section.head.size() > 2 && StartsWith(section.head[2], head)
             ? section.head[2].substr(head.size())
             : std::string();
}

// The section's steps as from the setup folder of a direct run: its program
// folder, and the short form Wine gives "C:\KVX Setup" where a batch line
// names the folder unquoted (the spare bcdedit's copy, such as
// "C:\KVX_~PRR"), both read as "C:\KVX Setup". The installer's folder has no
// blank and keeps its name there.
Lines StepsAsFromTheSetupFolder(const Section& section) {
  const std::string setup = "C:\\KVX Setup";
  const std::string folder = ProgramFolder(section);
  EXPECT_FALSE(folder.empty());
  Lines steps = LoggedSteps(section);
  for (std::string& step : steps) {
    for (size_t at = 0; !folder.empty() && (at = step.find(folder, at)) != std::string::npos;
         at += setup.size())
      step.replace(at, folder.size(), setup);
    for (size_t at = 0; (at = step.find("C:\\KVX", at)) != std::string::npos; ++at) {
      const size_t end = std::min(step.size(), step.find_first_of("\\ \r\n", at + 6));
      if (step.find('~', at) < end)
        step.replace(at, end - at, setup);
    }
  }
  return steps;
}

// The bench's records of the boxes that opened: "CAPTION TEXT BUTTONS" and
// "pressed CODE", in order.
Lines BoxesShown(const ProgramRun& run) {
  Lines boxes;
  for (const Event& event : run.events) {
    if (event.kind == bench::kRecordShown)
      boxes.push_back(event.Field(0) + " " + event.Field(1) + " " + event.Field(2));
    else if (event.kind == bench::kRecordPress)
      boxes.push_back("pressed " + event.Field(0));
  }
  return boxes;
}

// Nothing of the installer is left in TMP: its folder goes when it ends.
void ExpectInstallerFolderGone(const RunFolder& folder) {
  for (const std::string& name : folder.List(folder.Temp()))
    EXPECT_FALSE(StartsWith(name, "ns") && name.size() > 4 &&
                 name.compare(name.size() - 4, 4, ".tmp") == 0)
        << name;
}

TEST(PackagedWindows7English, InstallsAsTheDirectRunsDo) {
  const RunFolder& packaged = Machine("package-win7-en");
  const RunFolder& direct = Machine("win7-en");
  EXPECT_EQ(InstallerRun(packaged).exitCode, "0");
  EXPECT_TRUE(BoxesShown(InstallerRun(packaged)).empty());

  // The configurator ran "1" and "2" and did what it does in the direct runs,
  // command for command with the same exit codes, but one: the installer
  // writes the family marker vt itself on Windows 7, where the direct run's
  // setup folder left nt, so the configurator's rename of nt to vt finds
  // nothing there.
  const std::vector<Section> sections = Sections(packaged, packaged.Temp() + "\\kvxcfg.log");
  const std::vector<Section> directSections = Sections(direct, direct.Temp() + "\\kvxcfg.log");
  ASSERT_EQ(sections.size(), 2u);
  ASSERT_EQ(directSections.size(), 2u);
  const std::string familyRename =
      "run " + kCmd + "ver|find \" 6.\" >nul&&ren c:\\vesk\\korv\\nt vt";
  for (size_t i = 0; i < 2; ++i) {
    SCOPED_TRACE("run " + std::to_string(i + 1));
    EXPECT_TRUE(StartsWith(sections[i].head[0],
                           kBar + "kvxcfg 2013.01.23, job \"" + std::to_string(i + 1) + "\", "));
    EXPECT_TRUE(!sections[i].closing.empty() &&
                StartsWith(sections[i].closing[0], kBar + "end of job"));
    EXPECT_TRUE(StartsWith(ProgramFolder(sections[i]), packaged.Temp() + "\\ns"));
    const Lines steps = StepsAsFromTheSetupFolder(sections[i]);
    const Lines directSteps = StepsAsFromTheSetupFolder(directSections[i]);
    EXPECT_EQ(steps.size(), directSteps.size());
    for (size_t k = 0; k < steps.size() && k < directSteps.size(); ++k) {
      if (steps[k] != directSteps[k] && !(k > 0 && steps[k - 1] == familyRename)) {
        ADD_FAILURE() << "step " << k + 1 << ": through the installer\n  " << bench::Utf8(steps[k])
                      << "\nin the direct run\n  " << bench::Utf8(directSteps[k]);
        break;
      }
    }
  }
  EXPECT_TRUE(HoldsNote(sections[0], "verdict: the marker keeps its name win_lan"));

  // The machine as the direct runs leave it: the product folder (but the
  // run log's copy and the launcher shortcut, which hold times of their
  // own), the boot entry in the store, the loader files, the hidden folder,
  // the spare bcdedit in syswow64.
  std::vector<std::string> names = packaged.List("C:\\vesk\\korv");
  std::vector<std::string> directNames = direct.List("C:\\vesk\\korv");
  std::sort(names.begin(), names.end());
  std::sort(directNames.begin(), directNames.end());
  EXPECT_EQ(names, directNames);
  for (const std::string& name : names) {
    if (name != "kvxcfg.log" && name != "KVX_SU") {
      EXPECT_TRUE(SameBytes(packaged.Text(kProduct + name), direct.Text(kProduct + name))) << name;
    }
    EXPECT_EQ(packaged.Attributes(kProduct + name), "") << name;
  }
  for (const std::string path : {"C:\\kvxbench\\fixture\\bcd_store.txt", "C:\\KVLDR",
                                 "C:\\kvldr.mbr", "C:\\windows\\syswow64\\bcdedit.exe",
                                 "D:\\~1\\c_pan.txt", "C:\\kvxbench\\fixture\\xc_grants.txt"}) {
    EXPECT_TRUE(packaged.Exists(path)) << path;
    EXPECT_TRUE(SameBytes(packaged.Text(path), direct.Text(path))) << path;
    EXPECT_EQ(packaged.Attributes(path), direct.Attributes(path)) << path;
  }
  EXPECT_EQ(packaged.Attributes("D:\\~1"), "H");
  EXPECT_EQ(packaged.List("D:\\~1"), direct.List("D:\\~1"));
  EXPECT_EQ(packaged.Registry(), direct.Registry());
  for (const std::string& name : packaged.List(packaged.Temp()))
    EXPECT_NE(bench::FoldCase(name).compare(0, 3, "vk_"), 0) << name;
  ExpectInstallerFolderGone(packaged);
}

TEST(PackagedUnfinishedUninstall, RefusesAndLeavesTheProductFolderAsItWas) {
  const RunFolder& folder = Machine("package-uninstall-pending");
  EXPECT_EQ(InstallerRun(folder).exitCode, "11");
  // The configurator's box, in front of a silent installer, read and answered.
  const std::string refusal = testing::UnfinishedUninstallRefusal("珂瓦克斯");
  EXPECT_EQ(BoxesShown(InstallerRun(folder)),
            (Lines{"kvxcfg " + refusal + " 1=确定", "pressed 1"}));

  const std::vector<Section> sections = Sections(folder, folder.Temp() + "\\kvxcfg.log");
  ASSERT_EQ(sections.size(), 1u);
  EXPECT_TRUE(HoldsNote(sections[0], "verdict: the marker becomes win_lan2"));
  EXPECT_TRUE(StartsWith(ProgramFolder(sections[0]), folder.Temp() + "\\ns"));
  EXPECT_TRUE(InOrder(StepsAsFromTheSetupFolder(sections[0]),
                      {"run " + kCmd + "ren \"C:\\KVX Setup\\win_lan\" win_lan2",
                       "box 0x10 - " + refusal, "answer 1"}));

  // Nothing written: the product folder of the unfinished uninstall byte for
  // byte as it was, no loader files at the root of C:.
  std::vector<std::string> names = folder.List("C:\\vesk\\korv");
  std::vector<std::string> before = folder.List("C:\\kvxbench\\before\\korv");
  std::sort(names.begin(), names.end());
  std::sort(before.begin(), before.end());
  EXPECT_EQ(names, (Lines{"krv_pass.ini", "uninstall.xml"}));
  EXPECT_EQ(names, before);
  for (const std::string& name : names) {
    EXPECT_TRUE(
        SameBytes(folder.Text(kProduct + name), folder.Text("C:\\kvxbench\\before\\korv\\" + name)))
        << name;
  }
  EXPECT_FALSE(folder.Exists("C:\\KVLDR"));
  EXPECT_FALSE(folder.Exists("C:\\kvldr.mbr"));
  ExpectInstallerFolderGone(folder);
}

}  // namespace
}  // namespace kvx::e2e
