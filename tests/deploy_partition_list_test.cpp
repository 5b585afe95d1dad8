// Choice of the target partition: which partition ends up in krv_drv.ini,
// and so where the product's images will live, for the disk layouts that
// matter, and when the user is warned that no second partition is usable.
// The loop, the filter and fr run on the simulated machine, over a partition
// list of our own.
#include <gtest/gtest.h>

#include "deploy/deploy.h"
#include "tests/support/expected_blocks.h"
#include "tests/support/sample_context.h"
#include "tests/support/simulated_windows.h"

namespace kvx {
namespace {

using testing::ScriptedHost;

const Text kHeader = "Disk 0  238475MB  WDC WD2500AAKX\r\nNo   Drv  FS     Size       Label\r\n";

const Text kListBatchPath = "C:\\TEMP\\vk_lpt01.bat";
const Text kFilteredBatchPath = "C:\\TEMP\\vk_lpt02.bat";
const Text kDirectLoop =
    "C:\\WINDOWS\\system32\\cmd.exe /c for /f \"skip=2 tokens=2,3 delims=: \" %i in "
    "(c:\\vesk\\korv\\zp_nor_z.txt) do echo [part]>c:\\vesk\\korv\\krv_drv.ini&& echo "
    "pt_1=%i>>c:\\vesk\\korv\\krv_drv.ini&& echo pt_2=%j:>>c:\\vesk\\korv\\krv_drv.ini";
const Text kLogEdit = "c:\\vesk\\korv\\fr c:\\vesk\\korv\\krv_drv.ini -f:\"Log:\" -t:\"8:\"";
const Text kPriEdit = "c:\\vesk\\korv\\fr c:\\vesk\\korv\\krv_drv.ini -f:\"Pri:\" -t:\"8:\"";
const Text kFilterPrefix =
    "C:\\WINDOWS\\system32\\cmd.exe /c type c:\\vesk\\korv\\zp_nor.txt|find /v \":";
const Text kFilterSuffix = " \">c:\\vesk\\korv\\zp_nor_z.txt";

using Commands = std::vector<Text>;

// A machine whose boot disk lists the given partitions after the two header
// lines; an empty list leaves zp_nor.txt missing.
struct PartitionMachine {
  ScriptedHost host;
  testing::SimulatedWindows machine{host};
  InstallContext context = testing::SampleInstallContext();
  NormalPartitionFindings findings;

  explicit PartitionMachine(const Text& partitions, bool listExists = true) {
    host.PutFolder("C:\\TEMP");
    host.PutFile("c:\\vesk\\korv\\fr.exe", "text replacer");
    if (listExists)
      host.PutFile("c:\\vesk\\korv\\zp_nor.txt", kHeader + partitions);
  }

  TargetPartition Choose() { return ChooseTargetPartition(host, context, findings); }

  int Warnings() const {
    int count = 0;
    for (const auto& message : host.Messages()) {
      EXPECT_EQ(message.text, testing::kOnePartitionWarning);
      EXPECT_EQ(message.style, 0x40);
      EXPECT_FALSE(message.caption.has_value());
      ++count;
    }
    return count;
  }
};

void ExpectTarget(const TargetPartition& target, const Text& partNo, const Text& drive) {
  EXPECT_EQ(target.TargetPartNo, partNo);
  EXPECT_EQ(target.TargetDrive, drive);
}

TEST(PartitionList, SecondPartitionOfANormalDiskIsTheLastListedOne) {
  PartitionMachine m(
      "0:1  C:   NTFS   51200MB    WINXP\r\n"
      "0:2  D:   NTFS   102400MB   DATA\r\n"
      "0:5  E:   FAT32  84875MB    SOFT\r\n");
  ExpectTarget(m.Choose(), "5", "E:");
  EXPECT_EQ(m.host.Transcript(), testing::ListBatch("C:\\TEMP\\"));
  EXPECT_EQ(m.host.Content("c:\\vesk\\korv\\krv_drv.ini"), "[part]\r\npt_1=5\r\npt_2=E:\r\n");
  EXPECT_EQ(m.Warnings(), 0);
}

TEST(PartitionList, OnePartitionIsChosenAndWarnedAbout) {
  PartitionMachine m("0:1  C:   NTFS   238475MB   WIN7\r\n");
  ExpectTarget(m.Choose(), "1", "C:");
  EXPECT_EQ(m.host.Commands(), (Commands{kListBatchPath, kLogEdit, kPriEdit}));
  EXPECT_EQ(m.Warnings(), 1);
  EXPECT_EQ(m.host.Transcript().back(), "message 0x40 - " + testing::kOnePartitionWarning);
}

TEST(PartitionList, SystemPartitionLastIsFilteredOutByItsNumber) {
  // Partition 6 holds the running Windows; the filter drops it and the direct
  // loop takes the last remaining entry.
  PartitionMachine m(
      "0:1  D:   FAT32  20480MB    GAMES\r\n"
      "0:5  E:   NTFS   40960MB    WORK\r\n"
      "0:6  C:   NTFS   51200MB    WIN7\r\n");
  m.context.SystemDrive = "C:";
  ExpectTarget(m.Choose(), "5", "E:");
  EXPECT_EQ(m.host.Commands(), (Commands{kListBatchPath, kLogEdit, kPriEdit,
                                         kFilterPrefix + "6" + kFilterSuffix, kDirectLoop}));
  EXPECT_EQ(m.host.Content("c:\\vesk\\korv\\zp_nor_z.txt"),
            kHeader + "0:1  D:   FAT32  20480MB    GAMES\r\n0:5  E:   NTFS   40960MB    WORK\r\n");
  EXPECT_EQ(m.Warnings(), 0);
}

TEST(PartitionList, SystemDriveComparisonIsExact) {
  PartitionMachine m("0:1  D:   NTFS   20480MB    DATA\r\n0:2  C:   NTFS   51200MB    WIN7\r\n");
  m.context.SystemDrive = "c:";
  ExpectTarget(m.Choose(), "2", "C:");
  EXPECT_EQ(m.host.Commands(), (Commands{kListBatchPath, kLogEdit, kPriEdit}));
}

TEST(PartitionList, SystemPartitionLeftAsTheOnlyChoiceIsWarnedAbout) {
  // Nothing remains after the filter: the system partition stays the target,
  // which cannot hold images meant to restore it, so the user is told.
  PartitionMachine m("0:2  C:   NTFS   238375MB   WIN7\r\n");
  ExpectTarget(m.Choose(), "2", "C:");
  EXPECT_EQ(m.host.Commands(), (Commands{kListBatchPath, kLogEdit, kPriEdit,
                                         kFilterPrefix + "2" + kFilterSuffix, kDirectLoop}));
  EXPECT_EQ(m.Warnings(), 1);
}

TEST(PartitionList, OemRecoveryWithThirdPartitionChoosesAgainFromTheFilteredBatch) {
  PartitionMachine m(
      "0:1  C:   NTFS   51200MB    WIN7\r\n"
      "0:2  D:   NTFS   170000MB   DATA\r\n"
      "0:3  Pri  NTFS   17275MB    LENOVO_PART\r\n");
  m.findings.LenovoParPos = 120;
  m.findings.Part3Pos = 101;
  ExpectTarget(m.Choose(), "2", "D:");
  EXPECT_EQ(m.host.Transcript(),
            testing::Join({testing::ListBatch("C:\\TEMP\\"),
                           testing::SecondListBatch("C:\\WINDOWS\\system32\\cmd.exe /c ",
                                                    "C:\\TEMP\\", "3")}));
  EXPECT_EQ(m.Warnings(), 0);
}

TEST(PartitionList, OemRecoveryWithoutThirdPartitionWarnsAndKeepsTheLastEntry) {
  for (int NormalPartitionFindings::*label :
       {&NormalPartitionFindings::PresarioPos, &NormalPartitionFindings::FactoryImPos,
        &NormalPartitionFindings::HpRecoverPos, &NormalPartitionFindings::LenovoParPos,
        &NormalPartitionFindings::LenovoRecPos}) {
    PartitionMachine m(
        "0:1  C:   NTFS   220000MB   WIN7\r\n0:2  Pri  NTFS   18475MB    HP_RECOVERY\r\n");
    m.findings.*label = 0;  // found at the very start still counts
    ExpectTarget(m.Choose(), "2", "8:");
    EXPECT_EQ(m.host.Commands(), (Commands{kListBatchPath, kLogEdit, kPriEdit}));
    EXPECT_EQ(m.Warnings(), 1);
  }
}

TEST(PartitionList, RecoveryLabelCountsOnlyWithoutTheColonTwoMark) {
  const Text list =
      "0:1  C:   NTFS   51200MB    WIN7\r\n"
      "0:2  D:   NTFS   20480MB    RECOVERY\r\n"
      "0:3  E:   NTFS   166795MB   MEDIA\r\n";
  // The RECOVERY line holds ":2 ": not a maker's partition, the last entry stays.
  PartitionMachine marked(list);
  marked.findings.RecoveryPos = 98;
  marked.findings.RecoveryLineMarkPos = 1;
  marked.findings.Part3Pos = 130;
  ExpectTarget(marked.Choose(), "3", "E:");
  EXPECT_EQ(marked.host.Commands(), (Commands{kListBatchPath, kLogEdit, kPriEdit}));
  EXPECT_EQ(marked.Warnings(), 0);

  // Without the mark it counts, and the last entry is filtered out.
  PartitionMachine unmarked(list);
  unmarked.findings.RecoveryPos = 98;
  unmarked.findings.Part3Pos = 130;
  ExpectTarget(unmarked.Choose(), "2", "D:");
  EXPECT_EQ(unmarked.host.Commands(),
            (Commands{kListBatchPath, kLogEdit, kPriEdit, kFilterPrefix + "3" + kFilterSuffix,
                      kFilteredBatchPath}));
}

TEST(PartitionList, PartitionsWithoutDriveLetterAreRecordedAsEight) {
  PartitionMachine logical(
      "0:1  C:   NTFS   51200MB    WIN7\r\n0:5  Log  NTFS   187275MB   DATA\r\n");
  ExpectTarget(logical.Choose(), "5", "8:");
  EXPECT_EQ(logical.host.Content("c:\\vesk\\korv\\krv_drv.ini"), "[part]\r\npt_1=5\r\npt_2=8:\r\n");

  PartitionMachine primary(
      "0:1  C:   NTFS   51200MB    WIN7\r\n0:2  Pri  NTFS   187275MB   DATA\r\n");
  ExpectTarget(primary.Choose(), "2", "8:");

  // Chosen only on the second pass, a logical partition keeps its "Log:": the
  // edits are not repeated after a second choice.
  PartitionMachine second(
      "0:1  D:   NTFS   51200MB    DATA\r\n"
      "0:5  Log  NTFS   87275MB    MEDIA\r\n"
      "0:6  C:   NTFS   100000MB   WIN7\r\n");
  ExpectTarget(second.Choose(), "5", "Log:");
  EXPECT_EQ(second.Warnings(), 0);
}

// A krv_drv.ini left from before (the list gave no line) whose values are no
// partition number or drive: they would go unquoted into the filter command
// and the target folder's paths, and read as missing ones instead.
TEST(PartitionList, KeptValuesThatAreNoNumberOrDriveReadAsMissing) {
  for (const Text& drive : {Text("D: & del x"), Text("C:\\Windows"), Text("..")}) {
    PartitionMachine m("");
    m.host.PutFile("c:\\vesk\\korv\\krv_drv.ini",
                   "[part]\r\npt_1=3\" & del x & echo \"\r\npt_2=" + drive + "\r\n");
    ExpectTarget(m.Choose(), "1", "8:");
  }
  for (const Text drive : {"E:", "8:"}) {
    PartitionMachine m("");
    m.host.PutFile("c:\\vesk\\korv\\krv_drv.ini", "[part]\r\npt_1=12\r\npt_2=" + drive + "\r\n");
    ExpectTarget(m.Choose(), "12", drive);
  }
}

TEST(PartitionList, EmptyOrMissingListFallsBackToDefaultsAndWarns) {
  PartitionMachine missing("", false);
  ExpectTarget(missing.Choose(), "1", "8:");
  EXPECT_FALSE(missing.host.Exists("c:\\vesk\\korv\\krv_drv.ini"));
  EXPECT_EQ(missing.host.Commands(), (Commands{kListBatchPath, kLogEdit, kPriEdit}));
  EXPECT_EQ(missing.Warnings(), 1);

  PartitionMachine headersOnly("");
  ExpectTarget(headersOnly.Choose(), "1", "8:");
  EXPECT_EQ(headersOnly.Warnings(), 1);
}

}  // namespace
}  // namespace kvx
