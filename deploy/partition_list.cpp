// Choice of the target partition: the partition that will hold the product's
// hidden folder and therefore its disk images.
//
// The survey left the boot disk's normal partitions in zp_nor.txt. A loop
// copies each listed partition in turn into krv_drv.ini [part], so the file
// ends holding the last one. When that one is unsuitable (the last entry of a
// disk with a maker's recovery partition, or the system partition itself) the
// list is filtered and the loop chooses again. When no usable second
// partition is left the user is told so; installation goes on regardless.
#include "deploy/deploy.h"
#include "host/scratch.h"
#include "host/tools.h"

namespace kvx {
namespace {

const Text kOnePartitionWarning =
    "错误信息：只有一个分区或者第二分区被占用，可能无法使用本软件，但仍可以安装。解决办法：\r\n"
    "方法一：咨询电脑厂商或身边高手，要求增加一个新分区。\r\n"
    "方法二：自己解决，用DISKGENIUS4.0以上版本将C盘调小后,再在C盘后面新建扩展分区和逻辑分区。\r\n"
    "方法三：安装后运行本软件->【报告】->【保存到文件】->【上传到论坛】，以获得在线帮助。";

// The loop over a partition list: skips the two header lines and rewrites
// krv_drv.ini from tokens 2 (partition number) and 3 (drive letter) of every
// further line. Inside a batch file the loop variables need doubled percent
// signs, on an interpreter command line single ones.
Text ListLoop(const InstallContext& context, const Text& listName, const Text& percent) {
  const Text& ini = context.DrvIniPath;
  return Concat({"for /f \"skip=2 tokens=2,3 delims=: \" ", percent, "i in (",
                 context.ProductDirSlash, listName, ") do echo [part]>", ini,
                 "&& echo pt_1=", percent, "i>>", ini, "&& echo pt_2=", percent, "j:>>", ini});
}

// A list batch: a leading line break, then the loop, with no line break at the end.
Text ListBatch(const InstallContext& context, const Text& listName) {
  return Concat({"\r\n", ListLoop(context, listName, "%%")});
}

// Partitions without a drive letter are listed as "Log" or "Pri"; the file
// records them under the marker "8:".
void MarkPartitionsWithoutLetter(Host& host, const InstallContext& context) {
  host.RunCommand(FrCommand(context.ProductDirSlash, context.DrvIniPath, "Log:", "8:"));
  host.RunCommand(FrCommand(context.ProductDirSlash, context.DrvIniPath, "Pri:", "8:"));
}

// Writes zp_nor_z.txt: the list without every line that holds a colon, the
// given partition number and a blank.
void FilterOutPartition(Host& host, const InstallContext& context, const Text& partNo) {
  host.RunCommand(
      Concat({context.ShellPrefix, "type ", context.ProductDirSlash,
              "zp_nor.txt|find /v \":", partNo, " \">", context.ProductDirSlash, "zp_nor_z.txt"}));
}

// Guards against damaged values read back from krv_drv.ini.
// Both go unquoted into command lines. A partition number that is not one reads as a missing
// pt_1; a drive that is neither a drive letter nor a mark of a partition
// without one ("8:", or "Log:" and "Pri:" as the list gives them) reads as a
// missing pt_2.
TargetPartition UsableTargetPartition(Host& host, TargetPartition target) {
  if (!IsDigits(target.TargetPartNo)) {
    host.Note(Concat({"krv_drv.ini [part] pt_1 read back as \"", target.TargetPartNo,
                      "\" is no partition number: 1 stands in"}));
    target.TargetPartNo = "1";
  }
  if (!IsDriveLetter(target.TargetDrive) && !TextEquals(target.TargetDrive, "8:") &&
      !TextEquals(target.TargetDrive, "Log:") && !TextEquals(target.TargetDrive, "Pri:")) {
    host.Note(Concat({"krv_drv.ini [part] pt_2 read back as \"", target.TargetDrive,
                      "\" is no drive: 8: stands in"}));
    target.TargetDrive = "8:";
  }
  return target;
}

TargetPartition ReadTargetPartition(Host& host, const InstallContext& context) {
  TargetPartition target;
  target.TargetPartNo = host.ReadIni(context.DrvIniPath, "part", "pt_1", "1");
  target.TargetDrive = host.ReadIni(context.DrvIniPath, "part", "pt_2", "8:");
  return UsableTargetPartition(host, target);
}

// Guards against images kept, without a word, on the partition they restore.
// When the final target is still the system partition and no warning was
// shown yet, the user hears the one-partition warning.
void WarnWhenTargetIsSystemPartition(Host& host, const InstallContext& context,
                                     const TargetPartition& target, bool warned) {
  if (!warned && TextEquals(target.TargetDrive, context.SystemDrive)) {
    host.Note("the target is the system partition: the one-partition warning is shown");
    host.ShowMessage(kOnePartitionWarning, kStyleInformation);
  }
}

bool OemRecoveryFound(const NormalPartitionFindings& findings) {
  if (findings.PresarioPos != kNotFound || findings.FactoryImPos != kNotFound ||
      findings.HpRecoverPos != kNotFound || findings.LenovoParPos != kNotFound ||
      findings.LenovoRecPos != kNotFound) {
    return true;
  }
  // A RECOVERY partition counts only when its line does not hold ":2 ".
  return findings.RecoveryPos != kNotFound && findings.RecoveryLineMarkPos == kNotFound;
}

}  // namespace

TargetPartition ChooseTargetPartition(Host& host, const InstallContext& context,
                                      const NormalPartitionFindings& findings) {
  const bool oemRecovery = OemRecoveryFound(findings);
  const bool thirdPartition = findings.Part3Pos != kNotFound;

  // First choice: the last listed partition.
  ScratchBatchRun(host, context.TempDirSlash, "vk_lpt01.bat", ListBatch(context, "zp_nor.txt"));
  MarkPartitionsWithoutLetter(host, context);
  const TargetPartition first = ReadTargetPartition(host, context);

  // Second choice, from the list without the first choice's partition number.
  if (thirdPartition && oemRecovery) {
    // The last entry is taken to be the maker's recovery partition.
    FilterOutPartition(host, context, first.TargetPartNo);
    ScratchBatchRun(host, context.TempDirSlash, "vk_lpt02.bat", ListBatch(context, "zp_nor_z.txt"));
  } else if (TextEquals(context.SystemDrive, first.TargetDrive) &&
             !TextEquals(first.TargetPartNo, "1")) {
    // The last entry is the running Windows' own partition.
    FilterOutPartition(host, context, first.TargetPartNo);
    host.RunCommand(Concat({context.ShellPrefix, ListLoop(context, "zp_nor_z.txt", "%")}));
  }
  // The Log and Pri edits are not repeated after a second choice: the product's
  // boot-time part has always read such an entry as it stands.

  bool warned = false;
  if ((!thirdPartition && oemRecovery) || TextEquals(first.TargetPartNo, "1")) {
    host.ShowMessage(kOnePartitionWarning, kStyleInformation);
    warned = true;
  }

  const TargetPartition target = ReadTargetPartition(host, context);
  WarnWhenTargetIsSystemPartition(host, context, target, warned);
  return target;
}

}  // namespace kvx
