// The boot disk's normal-partition list (zp_nor.txt) and the signs of a
// maker's recovery partition in it.
#include "host/scratch.h"
#include "host/tools.h"
#include "survey/survey.h"

namespace kvx {

NormalPartitionFindings SurveyNormalPartitions(Host& host, const InstallContext& context,
                                               const SurveySettings& settings,
                                               ProgramContext& program) {
  const Text& shell = context.ShellPrefix;
  const Text& dir = context.ProductDirSlash;
  const Text bootScan = Concat({dir, "zp_all", settings.BootDiskSuffix, ".txt"});
  const Text normalList = Concat({dir, "zp_nor.txt"});

  host.RunCommand(CopyCommand(shell, bootScan, Concat({dir, "zp_nor_d.txt"})));
  ReadIntoShared(host, program, Concat({dir, "zp_nor_d.txt"}), kReadWrite);
  if (FindInShared(program, "Dynamic_Disk", true) != kNotFound) {
    // The survey tool cannot list the normal partitions of a dynamic disk;
    // its full scan serves instead.
    host.RunCommand(CopyCommand(shell, bootScan, normalList));
  } else {
    // The tool takes the recorded 0-based disk number here.
    host.RunCommand(ZptlxNormalCommand(shell, dir, context.BootDiskIndex, normalList));
  }

  ReadIntoShared(host, program, normalList, kReadWrite);
  NormalPartitionFindings findings;
  findings.PresarioPos = FindInShared(program, "presario_r", true);
  findings.FactoryImPos = FindInShared(program, "factory_im", true);
  findings.HpRecoverPos = FindInShared(program, "hp_recover", true);
  findings.LenovoParPos = FindInShared(program, "lenovo_par", true);
  findings.LenovoRecPos = FindInShared(program, "lenovo_rec", true);
  findings.RecoveryPos = FindInShared(program, " RECOVERY", true);
  findings.Part3Pos = FindInShared(program, Concat({context.BootDiskIndex, ":3"}), true);

  // The first line naming RECOVERY goes to vk_hp01.txt ("goto :eof" stops
  // after it); a ":2 " in that line marks it as the disk's second partition.
  // The batch writes the file only on a hit, so one left by an interrupted
  // earlier run is deleted first: it must not pass for a recovery partition.
  // One that the delete leaves (read-only) has its attributes cleared and is
  // deleted again, as a read-only batch file is written again.
  const Text recoveryLine = Concat({context.TempDirSlash, "vk_hp01.txt"});
  host.DeleteFile(recoveryLine);
  if (host.FileExists(recoveryLine)) {
    host.SetAttributes(recoveryLine, kAttrNormal);
    host.DeleteFile(recoveryLine);
  }
  ScratchBatchRun(host, context.TempDirSlash, "vk_hp01.bat",
                  Concat({"\r\nfor /f \"delims=\" %%a in ('findstr /i \" RECOVERY\" ", normalList,
                          "') do echo %%a>", recoveryLine, "&goto :eof\r\n"}));
  ReadIntoShared(host, program, recoveryLine, kReadOnly);
  findings.RecoveryLineMarkPos = FindInShared(program, ":2 ", false);
  return findings;
}

}  // namespace kvx
