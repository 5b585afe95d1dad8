// The product's entry in the BCD store, whole runs on the scripted machine
// with a simulated store: store access, stale entries, creation, checks.
#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "bootmenu/bootmenu.h"
#include "tests/support/bootmenu_bench.h"
#include "tests/support/expected_blocks.h"
#include "tests/support/sample_context.h"
#include "tests/support/scripted_host.h"

namespace kvx {
namespace {

using testing::ScriptedHost;
using Lines = std::vector<std::string>;

const Text kTemplate =
    "\r\nbcdedit /set {REALID} device partition=C:\r\n"
    "bcdedit /set {REALID} path \\kvldr.mbr\r\n"
    "bcdedit /set {REALID} locale zh-CN\r\n";

// The identifiers the simulated store hands out, in order.
const Text kId1 = bench::CreatedId(1);
const Text kId2 = bench::CreatedId(2);
const Text kId3 = bench::CreatedId(3);

class BcdRegistration : public ::testing::Test, protected testing::BootMenuBench {
 protected:
  BcdRegistration() {
    host.PutFolder("C:\\TEMP");
    host.PutFolder("C:\\WINDOWS\\system32");
    host.PutFolder("C:\\WINDOWS\\syswow64");
    host.PutFile("c:\\vesk\\korv\\BCD_SET", kTemplate);
    host.PutFile("C:\\boot\\bcd", machine.Fixture("bcd_store.txt"));
    program.WinFamily = "vt";
    paths.BootConfigPath = "C:\\boot\\bcd";
    paths.BootConfigBackupPath = "C:\\bcd.kvx";
    // As after an earlier installation: the store as it was is kept already.
    host.PutFile("c:\\vesk\\korv\\BCD.before", "the store before the product");
  }

  void Run() { RegisterBcdEntry(host, context, paths, program); }

  // The store as the run left it, and one of its entries' elements.
  bench::BcdStore Store() const { return machine.Store(); }
  Text Element(const Text& id, const Text& name) const {
    const bench::BcdStore store = Store();
    const bench::BcdEntry* entry = store.Find(id);
    return entry == nullptr ? Text("(no entry)") : entry->Element(name);
  }
  bool Has(const Text& id) const { return Store().Find(id) != nullptr; }

  size_t Count(const Text& commandLine) const {
    const std::vector<Text> commands = host.Commands();
    return std::count(commands.begin(), commands.end(), commandLine);
  }

  std::vector<Text> Written(const Text& path) const {
    std::vector<Text> texts;
    for (const auto& op : host.Log()) {
      if (op.name == "WriteWholeFile" && op.path == path)
        texts.push_back(op.text);
    }
    return texts;
  }
};

TEST_F(BcdRegistration, FirstInstallRunsEveryStepOnceAndCreatesTheEntry) {
  host.RemovePath("c:\\vesk\\korv\\BCD.before");
  Run();

  const Text idBatch1 =
      "\r\nfor /f \"delims=:\" %%a in ('findstr /n \"kvldr.mbr\" c:\\vesk\\korv\\bcd_all.ini') do "
      "for /f \"tokens=1,3 delims=: \" %%i in ('findstr /n \"{\" c:\\vesk\\korv\\bcd_all.ini') do "
      "if %%i lss %%a echo %%j>c:\\vesk\\korv\\krv_id.ini\r\n";
  const Text idBatch2 =
      "\r\nfor /f \"delims=:\" %%a in ('findstr /n \"珂瓦克斯\" c:\\vesk\\korv\\bcd_all.ini') do "
      "for /f \"tokens=1,3 delims=: \" %%i in ('findstr /n \"{\" c:\\vesk\\korv\\bcd_all.ini') do "
      "if %%i lss %%a echo %%j>c:\\vesk\\korv\\krv_id.ini\r\n";
  const Text idBatchTitle =
      "\r\nfor /f \"delims=:\" %%a in ('findstr /n \"珂瓦克斯 v2013.01.23\" "
      "c:\\vesk\\korv\\bcd_all.ini') do "
      "for /f \"tokens=1,3 delims=: \" %%i in ('findstr /n \"{\" c:\\vesk\\korv\\bcd_all.ini') do "
      "if %%i lss %%a echo %%j>c:\\vesk\\korv\\krv_id.ini\r\n";
  const std::string enumerate =
      "write C:\\TEMP\\vk_vt020.bat \r\nbcdedit /enum all >c:\\vesk\\korv\\bcd_all.ini\r\n";
  const std::string runBatch = "run C:\\TEMP\\vk_vt020.bat";
  const Lines expected = {
      "write C:\\TEMP\\vk_vt020.bat \r\nbcdedit>C:\\TEMP\\vk_vt020.txt\r\n",
      runBatch,
      "write C:\\TEMP\\vk_vt020.bat \r\nbcdedit /export c:\\vesk\\korv\\BCD.before\r\n",
      runBatch,
      "write C:\\TEMP\\vk_vt020.bat \r\nbcdedit /timeout 5\r\n",
      runBatch,
      // First loop: one pass, no identifier found, so none to delete.
      "write C:\\TEMP\\vk_vt01p.bat " + idBatch1,
      "run C:\\TEMP\\vk_vt01p.bat",
      "write C:\\TEMP\\vk_vt01q.bat \r\nbcdedit /delete  /cleanup\r\n",
      "run c:\\vesk\\korv\\fr C:\\TEMP\\vk_vt01q.bat -r:\"}\\r\\n\" -t:\"}\"",
      "run C:\\TEMP\\vk_vt01q.bat",
      enumerate,
      runBatch,
      // Second loop: the same with the product name.
      "write C:\\TEMP\\vk_vt01x.bat " + idBatch2,
      "run C:\\TEMP\\vk_vt01x.bat",
      "write C:\\TEMP\\vk_vt01y.bat \r\nbcdedit /delete  /cleanup\r\n",
      "run c:\\vesk\\korv\\fr C:\\TEMP\\vk_vt01y.bat -r:\"}\\r\\n\" -t:\"}\"",
      "run C:\\TEMP\\vk_vt01y.bat",
      enumerate,
      runBatch,
      // Creation, settings, title check.
      "write C:\\TEMP\\vk_vt020.bat \r\nbcdedit /create /d \"珂瓦克斯 v2013.01.23\" /application "
      "bootsector>c:\\vesk\\korv\\krv_id.ini\r\n",
      runBatch,
      "write C:\\TEMP\\vk_vt024.bat \r\nC:\\WINDOWS\\system32\\cmd.exe /c \"for /f \"tokens=2\" "
      "%%i in (c:\\vesk\\korv\\krv_id.ini) do echo %%i>c:\\vesk\\korv\\krv_id.ini&&bcdedit /set "
      "%%i "
      "device partition=C:&&bcdedit /set %%i path \\kvldr.mbr&&bcdedit /displayorder %%i "
      "/addlast\"\r\n",
      "run C:\\TEMP\\vk_vt024.bat",
      enumerate,
      runBatch,
      // Identifier, template copy, fill-in with the identifier's line break, join, run.
      "write C:\\TEMP\\vk_vt01a.bat " + idBatchTitle,
      "run C:\\TEMP\\vk_vt01a.bat",
      "run C:\\WINDOWS\\system32\\cmd.exe /c copy /y c:\\vesk\\korv\\BCD_SET "
      "C:\\TEMP\\vk_vt01s.bat",
      "run c:\\vesk\\korv\\fr C:\\TEMP\\vk_vt01s.bat -f:\"{REALID}\" "
      "-t:\"" +
          kId1 + "\r\n\"",
      "run c:\\vesk\\korv\\fr C:\\TEMP\\vk_vt01s.bat -r:\"}\\r\\n\" -t:\"}\"",
      "run C:\\TEMP\\vk_vt01s.bat",
      // Loader check, export, final enumeration, the .sdr copies.
      enumerate,
      runBatch,
      "write C:\\TEMP\\vk_vt020.bat \r\nbcdedit /export c:\\vesk\\korv\\BCD\r\n",
      runBatch,
      enumerate,
      runBatch,
      "run C:\\WINDOWS\\system32\\cmd.exe /c xcopy /k /h /r /c /y C:\\*.sdr c:\\vesk\\korv\\",
      "run C:\\WINDOWS\\system32\\cmd.exe /c xcopy /k /h /r /c /y C:\\*.sdr c:\\vesk\\korv\\",
  };
  EXPECT_EQ(host.Transcript(), expected);
  EXPECT_TRUE(machine.unhandled.empty()) << machine.unhandled.front();

  // The filled-in template is one command per line again.
  EXPECT_EQ(host.Content("C:\\TEMP\\vk_vt01s.bat"),
            "\r\nbcdedit /set " + kId1 + " device partition=C:\r\n" + "bcdedit /set " + kId1 +
                " path \\kvldr.mbr\r\n" + "bcdedit /set " + kId1 + " locale zh-CN\r\n");
  EXPECT_EQ(Element(kId1, "description"), "珂瓦克斯 v2013.01.23");
  EXPECT_EQ(Element(kId1, "path"), "\\kvldr.mbr");
  EXPECT_EQ(Element(kId1, "locale"), "zh-CN");
  EXPECT_EQ(testing::DisplayOrder(Store()), (std::vector<Text>{"{current}", kId1}));
  EXPECT_EQ(Element("{bootmgr}", "timeout"), "5");
  EXPECT_EQ(host.Content("c:\\vesk\\korv\\krv_id.ini"), kId1 + "\r\n");
  EXPECT_TRUE(host.Exists("c:\\vesk\\korv\\BCD"));
  EXPECT_EQ(host.Content("c:\\vesk\\korv\\bcd_all.ini"), bench::EnumAll(Store()));
  EXPECT_TRUE(host.Messages().empty());
  // The last probe is the loader check on the enumeration.
  EXPECT_NE(program.SharedFindResult, kNotFound);
  EXPECT_EQ(program.SharedFileText, host.Content("c:\\vesk\\korv\\bcd_all.ini"));
}

TEST_F(BcdRegistration, TwoStaleEntriesTakeTwoPassesLastMatchFirst) {
  context = testing::SampleEnglishInstallContext();
  bench::BcdStore store = Store();
  const Text older = testing::AddBootSector(store, "KORVAX v2011.02.03", "\\kvldr.mbr");
  const Text newer = testing::AddBootSector(store, "KORVAX v2012.05.01", "\\kvldr.mbr");
  testing::SetDisplayOrder(store, {"{current}", older, newer});
  machine.PutStore(store);
  host.PutFile("c:\\vesk\\korv\\bcd_all.ini", bench::EnumAll(store));
  host.PutFile("c:\\vesk\\korv\\krv_id.ini", newer + "\r\n");

  Run();

  EXPECT_EQ(Written("C:\\TEMP\\vk_vt01q.bat"),
            (std::vector<Text>{"\r\nbcdedit /delete " + newer + "\r\n /cleanup\r\n",
                               "\r\nbcdedit /delete " + older + "\r\n /cleanup\r\n"}));
  EXPECT_EQ(Count("C:\\TEMP\\vk_vt01q.bat"), 2u);
  // The second loop finds nothing left; the identifier the file still holds
  // names no entry listed with the name, so the delete names none.
  EXPECT_EQ(Written("C:\\TEMP\\vk_vt01y.bat"),
            (std::vector<Text>{"\r\nbcdedit /delete  /cleanup\r\n"}));
  EXPECT_EQ(Count("C:\\TEMP\\vk_vt01y.bat"), 1u);
  EXPECT_FALSE(Has(older));
  EXPECT_FALSE(Has(newer));
  // The new entry takes the next identifier and is the only product entry left.
  EXPECT_EQ(testing::DisplayOrder(Store()), (std::vector<Text>{"{current}", kId3}));
  EXPECT_EQ(host.Content("c:\\vesk\\korv\\krv_id.ini"), kId3 + "\r\n");
  EXPECT_TRUE(machine.unhandled.empty());
}

TEST_F(BcdRegistration, AnEntryThatCannotBeDeletedEndsTheLoopAfterTwentyOnePasses) {
  bench::BcdStore store = Store();
  const Text stuck = testing::AddBootSector(store, "Rescue", "\\kvldr.mbr", true);
  machine.PutStore(store);
  host.PutFile("c:\\vesk\\korv\\bcd_all.ini", bench::EnumAll(store));

  Run();

  EXPECT_EQ(Count("C:\\TEMP\\vk_vt01p.bat"), 21u);
  EXPECT_EQ(Count("c:\\vesk\\korv\\fr C:\\TEMP\\vk_vt01q.bat -r:\"}\\r\\n\" -t:\"}\""), 21u);
  EXPECT_EQ(Count("C:\\TEMP\\vk_vt01q.bat"), 21u);
  EXPECT_EQ(Count("C:\\TEMP\\vk_vt01y.bat"), 1u);
  // Store check, timeout, 21 + 1 passes of 4 commands, then 13 for the creation.
  EXPECT_EQ(host.Commands().size(), 2u + 22u * 4u + 13u);
  EXPECT_EQ(Written("C:\\TEMP\\vk_vt01q.bat").back(),
            "\r\nbcdedit /delete " + stuck + "\r\n /cleanup\r\n");
  // The run goes on: the new entry is created and the store exported.
  ASSERT_TRUE(Has(kId2));
  EXPECT_TRUE(Has(stuck));
  EXPECT_TRUE(host.Exists("c:\\vesk\\korv\\BCD"));
  EXPECT_TRUE(host.Messages().empty());
}

TEST_F(BcdRegistration, NameFoundOnlyInAnotherCaseIsNeverExtractedAndTakesAllPasses) {
  context = testing::SampleEnglishInstallContext();
  bench::BcdStore store = Store();
  const Text other = testing::AddBootSector(store, "korvax v2010.01.01", "\\old.mbr");
  machine.PutStore(store);

  Run();

  EXPECT_EQ(Count("C:\\TEMP\\vk_vt01q.bat"), 1u);
  EXPECT_EQ(Count("C:\\TEMP\\vk_vt01x.bat"), 21u);
  EXPECT_EQ(Count("C:\\TEMP\\vk_vt01y.bat"), 21u);
  const std::vector<Text> deletes = Written("C:\\TEMP\\vk_vt01y.bat");
  ASSERT_EQ(deletes.size(), 21u);
  for (const Text& text : deletes)
    EXPECT_EQ(text, "\r\nbcdedit /delete  /cleanup\r\n");
  EXPECT_TRUE(Has(other));
  EXPECT_TRUE(Has(kId2));
}

// The first delete batch on a machine whose store holds an old product entry
// that findstr's case-sensitive search misses (its path in capitals), one
// listed as the default entry ({default}), and another loader's boot sector
// (kId3); the previous run's enumeration lists them all, and krv_id.ini holds
// the given text, which the extraction leaves as it is.
Text FirstDeleteWithKeptIdentifier(const Text& kept) {
  testing::BootMenuBench bench;
  bench.host.PutFolder("C:\\TEMP");
  bench::BcdStore store = bench.machine.Store();
  testing::AddBootSector(store, "", "\\KVLDR.MBR");
  store.Find("{bootmgr}")->Set("default", testing::AddBootSector(store, "", "\\KVLDR.MBR"));
  testing::AddBootSector(store, "GRUB", "\\grldr.mbr");
  bench.machine.PutStore(store);
  bench.host.PutFile("c:\\vesk\\korv\\bcd_all.ini", bench::EnumAll(store));
  bench.host.PutFile("c:\\vesk\\korv\\krv_id.ini", kept);
  RegisterBcdEntry(bench.host, bench.context, bench.paths, bench.program);
  const bench::BcdStore after = bench.machine.Store();
  EXPECT_NE(after.Find("{current}"), nullptr);
  EXPECT_NE(after.Find(kId3), nullptr);  // the other loader's entry
  for (const auto& op : bench.host.Log()) {
    if (op.name == "WriteWholeFile" && op.path == "C:\\TEMP\\vk_vt01q.bat")
      return op.text;
  }
  return Text();
}

// krv_id.ini is read back whole into the delete batch, and when the
// extraction finds nothing it holds what it held before. Only an identifier
// of an entry that the enumeration lists with the search text goes in:
// another entry's would delete that entry ({current} the running Windows'),
// and further lines would run as commands.
TEST(BcdStaleEntries, KeptIdentifierIsDeletedOnlyWhenListedWithTheSearchText) {
  for (const Text& kept : {kId3 + "\r\n", Text("{current}\r\n"),
                           Text("x\r\ndel /q c:\\boot.ini\r\n"), kId1 + "\r\n\r\ncopy a b\r\n"}) {
    EXPECT_EQ(FirstDeleteWithKeptIdentifier(kept), "\r\nbcdedit /delete  /cleanup\r\n") << kept;
  }
  for (const Text& kept : {kId1 + "\r\n", Text("{default}\r\n")}) {
    EXPECT_EQ(FirstDeleteWithKeptIdentifier(kept), "\r\nbcdedit /delete " + kept + " /cleanup\r\n");
  }
}

TEST_F(BcdRegistration, SixtyFourBitWindowsGetsBcdeditThroughTheShortProgramFolder) {
  context.ProgramFilesX86 = "C:\\Program Files (x86)";
  machine.sixtyFourBit = true;
  host.SetProgramFolderPath("C:\\Program Files\\KV Setup");
  host.SetShortForm("C:\\Program Files\\KV Setup", "C:\\PROGRA~1\\KVSETU~1");
  // The short form names the same file.
  host.PutFile("C:\\PROGRA~1\\KVSETU~1\\bcdedit", "product bcdedit");

  Run();

  // bcdedit cannot run before the copies: the store check finds nothing and
  // the import is tried; the system32 copy finds no bcdedit.exe, so the
  // product's own copy goes to syswow64.
  const Lines transcript = host.Transcript();
  const Lines head(transcript.begin(), transcript.begin() + 10);
  EXPECT_EQ(head,
            (Lines{"write C:\\TEMP\\vk_vt020.bat \r\nbcdedit>C:\\TEMP\\vk_vt020.txt\r\n",
                   "run C:\\TEMP\\vk_vt020.bat",
                   "write C:\\TEMP\\vk_vt020.bat \r\nbcdedit /import C:\\boot\\bcd\r\n",
                   "run C:\\TEMP\\vk_vt020.bat",
                   "write C:\\TEMP\\vk_vt020.bat \r\nsubst b: C:\\WINDOWS\\system32&&echo "
                   "d|xcopy b:\\bcdedit.exe C:\\WINDOWS\\syswow64 /k /r /h /c /y&subst b: /d\r\n",
                   "run C:\\TEMP\\vk_vt020.bat",
                   "write C:\\TEMP\\vk_vt020.bat \r\nbcdedit.exe||echo f|xcopy "
                   "C:\\PROGRA~1\\KVSETU~1\\bcdedit C:\\WINDOWS\\syswow64\\bcdedit.exe /k /r /h /c "
                   "/y\r\n",
                   "run C:\\TEMP\\vk_vt020.bat",
                   "write C:\\TEMP\\vk_vt020.bat \r\nbcdedit /timeout 5\r\n",
                   "run C:\\TEMP\\vk_vt020.bat"}));
  EXPECT_EQ(host.Content("C:\\WINDOWS\\syswow64\\bcdedit.exe"), "product bcdedit");
  EXPECT_TRUE(Has(kId1));
  EXPECT_TRUE(host.Messages().empty());
  EXPECT_TRUE(machine.unhandled.empty());
}

TEST_F(BcdRegistration, SixtyFourBitWindowsCopiesItsOwnBcdeditFirst) {
  context.ProgramFilesX86 = "C:\\Program Files (x86)";
  machine.sixtyFourBit = true;
  host.PutFile("C:\\WINDOWS\\system32\\bcdedit.exe", "system bcdedit");
  host.PutFile("C:\\SETUP\\bcdedit", "product bcdedit");

  Run();

  EXPECT_EQ(Written("C:\\TEMP\\vk_vt020.bat")[3],
            "\r\nbcdedit.exe||echo f|xcopy C:\\SETUP\\bcdedit C:\\WINDOWS\\syswow64\\bcdedit.exe "
            "/k /r /h /c /y\r\n");
  EXPECT_EQ(host.Content("C:\\WINDOWS\\syswow64\\bcdedit.exe"), "system bcdedit");
  EXPECT_TRUE(Has(kId1));
}

TEST_F(BcdRegistration, TimeoutIsOneSecondOnlyForExactlyOne) {
  for (const auto& [sec1, line] :
       std::vector<std::pair<Text, Text>>{{"1", "\r\nbcdedit /timeout 1\r\n"},
                                          {"01", "\r\nbcdedit /timeout 5\r\n"},
                                          {"", "\r\nbcdedit /timeout 5\r\n"}}) {
    ScriptedHost machineHost;
    machineHost.PutFolder("C:\\TEMP");
    machineHost.PutFolder("c:\\vesk\\korv");
    machineHost.SetIniValue("c:\\vesk\\korv\\krv_pass.ini", "sec", "sec1", sec1);
    machineHost.PutFile("c:\\vesk\\korv\\BCD.before", "the store before the product");
    testing::SimulatedWindows simulated(machineHost);
    RegisterBcdEntry(machineHost, context, paths, program);
    std::vector<Text> batches;
    for (const auto& op : machineHost.Log()) {
      if (op.name == "WriteWholeFile")
        batches.push_back(op.text);
    }
    ASSERT_GE(batches.size(), 2u);
    EXPECT_EQ(batches[1], line) << "sec1=" << sec1;
    EXPECT_EQ(simulated.Store().Find("{bootmgr}")->Element("timeout"), sec1 == "1" ? "1" : "5");
  }
}

TEST_F(BcdRegistration, UnreadableStoreIsImportedFromTheActivePartition) {
  bench::BcdStore store = Store();
  store.unreadable = true;
  machine.PutStore(store);

  Run();

  EXPECT_EQ(Written("C:\\TEMP\\vk_vt020.bat")[1], "\r\nbcdedit /import C:\\boot\\bcd\r\n");
  EXPECT_TRUE(Has(kId1));
  EXPECT_TRUE(host.Messages().empty());
}

TEST_F(BcdRegistration, RefusedCreationShowsBothMessagesAndSkipsTemplateAndExport) {
  bench::BcdStore store = Store();
  store.refuseCreate = true;
  machine.PutStore(store);

  Run();

  const std::vector<testing::Message> messages = host.Messages();
  ASSERT_EQ(messages.size(), 2u);
  EXPECT_EQ(messages[0].text, testing::EntryNotWritten("珂瓦克斯"));
  EXPECT_EQ(messages[1].text, testing::EntryNotWritten("kvldr.mbr"));
  for (const auto& message : messages) {
    EXPECT_EQ(message.style, 0x40);
    EXPECT_FALSE(message.caption.has_value());
  }
  // The second message comes after the loader check's enumeration; then the
  // final enumeration and the .sdr copies follow, with no export between.
  const std::string enumerate =
      "write C:\\TEMP\\vk_vt020.bat \r\nbcdedit /enum all >c:\\vesk\\korv\\bcd_all.ini\r\n";
  const std::string sdrCopy =
      "run C:\\WINDOWS\\system32\\cmd.exe /c xcopy /k /h /r /c /y C:\\*.sdr c:\\vesk\\korv\\";
  const Lines transcript = host.Transcript();
  ASSERT_GE(transcript.size(), 10u);
  EXPECT_EQ(Lines(transcript.end() - 10, transcript.end()),
            (Lines{enumerate, "run C:\\TEMP\\vk_vt020.bat", "message 0x40 - " + messages[0].text,
                   enumerate, "run C:\\TEMP\\vk_vt020.bat", "message 0x40 - " + messages[1].text,
                   enumerate, "run C:\\TEMP\\vk_vt020.bat", sdrCopy, sdrCopy}));
  EXPECT_EQ(Count("C:\\TEMP\\vk_vt01s.bat"), 0u);
  for (const Text& text : Written("C:\\TEMP\\vk_vt020.bat")) {
    EXPECT_EQ(text.find("/export"), Text::npos);
  }
  EXPECT_FALSE(host.Exists("c:\\vesk\\korv\\BCD"));
}

TEST_F(BcdRegistration, TemplateWithoutPlaceholderRunsAsShipped) {
  host.PutFile("c:\\vesk\\korv\\BCD_SET", "\r\nbcdedit /timeout 7\r\n");

  Run();

  EXPECT_EQ(host.Content("C:\\TEMP\\vk_vt01s.bat"), "\r\nbcdedit /timeout 7\r\n");
  EXPECT_EQ(Count("C:\\TEMP\\vk_vt01s.bat"), 1u);
  EXPECT_EQ(Element("{bootmgr}", "timeout"), "7");
  // The settings batch alone gave the entry its loader path and its place in
  // the menu (its loop runs every bcdedit command with the identifier): no
  // message, export done.
  EXPECT_EQ(Element(kId1, "path"), "\\kvldr.mbr");
  EXPECT_EQ(testing::DisplayOrder(Store()), (std::vector<Text>{"{current}", kId1}));
  EXPECT_TRUE(host.Messages().empty());
  EXPECT_TRUE(host.Exists("c:\\vesk\\korv\\BCD"));
}

TEST_F(BcdRegistration, EntryWithoutLoaderPathShowsOneMessageAndSkipsTheExport) {
  // bcdedit answers with the identifier as third word: the settings batch
  // takes a wrong word and sets nothing; the template sets no path either.
  bench::BcdStore store = Store();
  store.createAnswer.clear();  // bcdedit's English answer
  machine.PutStore(store);
  host.PutFile("c:\\vesk\\korv\\BCD_SET", "\r\nbcdedit /set {REALID} locale zh-CN\r\n");

  Run();

  const std::vector<testing::Message> messages = host.Messages();
  ASSERT_EQ(messages.size(), 1u);
  EXPECT_EQ(messages[0].text, testing::EntryNotWritten("kvldr.mbr"));
  // The identifier came from the enumeration, not from the settings batch.
  EXPECT_EQ(Element(kId1, "locale"), "zh-CN");
  EXPECT_EQ(host.Content("c:\\vesk\\korv\\krv_id.ini"), kId1 + "\r\n");
  EXPECT_FALSE(host.Exists("c:\\vesk\\korv\\BCD"));
}

// A PC counts as started through UEFI on any one answer that says so: the
// firmware's type, its variable probe, or a winload.efi (in any case) in the
// store's listing. Then the stale entry still goes, but no entry is made and
// the menu keeps its timeout; the notice is shown once. Without any such
// answer the entry is made as on legacy BIOS.
TEST(BcdOnUefi, AnyOneAnswerOfUefiKeepsTheEntryOut) {
  const FirmwareAnswer no = FirmwareAnswer::NotKnown;
  const FirmwareAnswer bios = FirmwareAnswer::LegacyBios;
  const FirmwareAnswer uefi = FirmwareAnswer::Uefi;
  const struct {
    FirmwareAnswers firmware;
    const char* loader;
    bool startedThroughUefi;
  } cases[] = {
      {{uefi, no}, "winload.exe", true},
      {{no, uefi}, "winload.exe", true},
      {{no, bios}, "WINLOAD.EFI", true},
      {{bios, bios}, "winload.exe", false},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.loader);
    testing::BootMenuBench bench;
    bench.host.PutFolder("C:\\TEMP");
    bench.host.SetFirmware(c.firmware);
    bench::BcdStore store = bench.machine.Store();
    store.Find("{current}")->Set("path", Text("\\Windows\\system32\\") + c.loader);
    const Text stale = testing::AddBootSector(store, "珂瓦克斯 v2012.05.01", "\\kvldr.mbr");
    testing::SetDisplayOrder(store, {"{current}", stale});
    bench.machine.PutStore(store);
    RegisterBcdEntry(bench.host, bench.context, bench.paths, bench.program);

    const bench::BcdStore after = bench.machine.Store();
    EXPECT_EQ(after.Find(stale), nullptr);
    EXPECT_EQ(testing::DisplayOrder(after).size(), c.startedThroughUefi ? 1u : 2u);
    EXPECT_EQ(after.Find("{bootmgr}")->Element("timeout"), c.startedThroughUefi ? "30" : "5");
    EXPECT_EQ(bench.host.Messages().size(), c.startedThroughUefi ? 1u : 0u);
  }
}

}  // namespace
}  // namespace kvx
