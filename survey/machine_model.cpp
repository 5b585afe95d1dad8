// The machine's maker and model: the BIOS, product and baseboard
// descriptions from wmic plus one system text, searched for four model tags.
#include "host/scratch.h"
#include "survey/survey.h"

namespace kvx {

ModelFindings DetectMachineModel(Host& host, InstallContext& context, ProgramContext& program) {
  const Text& shell = context.ShellPrefix;
  const Text raw = Concat({context.TempDirSlash, "vk_bios1.tmp"});
  const Text typed = Concat({context.TempDirSlash, "vk_bios2.tmp"});

  host.RunCommand(Concat({shell, "wmic exit"}));
  host.RunCommand(Concat({shell, "wmic bios list full>\"", raw, "\""}));
  host.RunCommand(Concat({shell, "wmic csproduct list full>>\"", raw, "\""}));
  host.RunCommand(Concat({shell, "wmic baseboard list full>>\"", raw, "\""}));
  // wmic writes its files in UTF-16; type gives them back in the code page
  // that the search works in.
  host.RunCommand(Concat({shell, "type \"", raw, "\">\"", typed, "\""}));

  host.QuerySystemInfo(context.SystemInfo);
  const Text systemInfoText = context.SystemInfo[5];

  // The system text is appended to the typed copy, and the whole file is
  // what gets searched.
  program.SharedFileNumber = host.OpenFile(typed, kReadWrite);
  host.SeekToEnd(program.SharedFileNumber);
  host.WriteText(program.SharedFileNumber, systemInfoText);
  host.SeekToStart(program.SharedFileNumber);
  program.SharedFileText = host.ReadText(program.SharedFileNumber);
  host.CloseFile(program.SharedFileNumber);

  // Positions, not flags: a tag at the very start of the text is found at 0.
  ModelFindings findings;
  findings.ThinkPadPos = FindInShared(program, "REM_ThinkPad", true);
  findings.ToshibaPos = FindInShared(program, "REM_TOSHIBA", true);
  findings.MicroStarPos = FindInShared(program, "REM_MICRO-STAR", true);
  findings.AsusPos = FindInShared(program, "REM_ASUS", true);
  return findings;
}

}  // namespace kvx
