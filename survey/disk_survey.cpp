// Partition scans of the first four disks, their merge, and the Windows
// family from the command interpreter's version text.
#include "host/tools.h"
#include "survey/survey.h"

namespace kvx {

void RunDiskSurvey(Host& host, const InstallContext& context, ProgramContext& program) {
  const Text& shell = context.ShellPrefix;
  const Text& dir = context.ProductDirSlash;

  // Disk 1 goes into two files: zp_all.txt (later grown up to the boot disk)
  // and zp_all0.txt (which receives every disk).
  host.RunCommand(ZptlxScanCommand(shell, dir, "1", Concat({dir, "zp_all.txt"})));
  host.RunCommand(ZptlxScanCommand(shell, dir, "1", Concat({dir, "zp_all0.txt"})));
  host.RunCommand(ZptlxScanCommand(shell, dir, "2", Concat({dir, "zp_all2.txt"})));
  host.RunCommand(ZptlxScanCommand(shell, dir, "3", Concat({dir, "zp_all3.txt"})));
  host.RunCommand(ZptlxScanCommand(shell, dir, "4", Concat({dir, "zp_all4.txt"})));

  for (const char* piece : {"zp_all2.txt>>", "zp_all3.txt>>", "zp_all4.txt>>"}) {
    host.RunCommand(Concat({shell, "type ", dir, piece, dir, "zp_all0.txt"}));
  }

  // The setup package leaves the marker nt or vt; make it match the running
  // Windows where its version text tells (6.x: vt, 5.x: nt). On any other
  // version the marker stays as the setup package put it.
  host.RunCommand(
      RenameCommand(Concat({shell, "ver|find \" 6.\" >nul&&"}), Concat({dir, "nt"}), "vt"));
  host.RunCommand(
      RenameCommand(Concat({shell, "ver|find \" 5.\" >nul&&"}), Concat({dir, "vt"}), "nt"));
  program.WinFamily = host.FileExists(Concat({dir, "vt"})) ? "vt" : "nt";
}

}  // namespace kvx
