// Partition scans of the first four disks, their merge, and the Windows
// family from the command interpreter's version text.
#include <string>

#include "host/tools.h"
#include "survey/survey.h"

namespace kvx {
namespace {

// The major number of the Windows version ("10.0.22631": 10); 0 when not
// to be had.
int WindowsMajorVersion(Host& host) {
  SystemInfoRecord info;
  host.QuerySystemInfo(info);
  int major = 0;
  for (size_t i = 0; i < info[0].size() && info[0][i] >= '0' && info[0][i] <= '9' && major < 1000;
       ++i) {
    major = major * 10 + (info[0][i] - '0');
  }
  return major;
}

// Guards against Windows 10 and 11 taking the boot.ini branch.
// Their version text reads 10.0, which neither rename above takes, so a
// marker nt that the setup package shipped would stay; but every Windows
// from 6.0 on keeps its boot entries in the BCD store. True when the marker
// still reads nt on such a Windows; the log says so.
bool MarkerLeftOnLegacyFamily(Host& host, const Text& dir) {
  if (!host.FileExists(Concat({dir, "nt"})))
    return false;
  const int major = WindowsMajorVersion(host);
  if (major < 6)
    return false;
  host.Note(Concat({"Windows version ", std::to_string(major),
                    " keeps its boot entries in the BCD store: the marker nt becomes vt"}));
  return true;
}

}  // namespace

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
  // Windows where its version text tells (6.x: vt, 5.x: nt).
  host.RunCommand(
      RenameCommand(Concat({shell, "ver|find \" 6.\" >nul&&"}), Concat({dir, "nt"}), "vt"));
  host.RunCommand(
      RenameCommand(Concat({shell, "ver|find \" 5.\" >nul&&"}), Concat({dir, "vt"}), "nt"));
  bool bcdFamily = host.FileExists(Concat({dir, "vt"}));
  if (!bcdFamily && MarkerLeftOnLegacyFamily(host, dir)) {
    host.RunCommand(RenameCommand(shell, Concat({dir, "nt"}), "vt"));
    bcdFamily = host.FileExists(Concat({dir, "vt"}));
  }
  program.WinFamily = bcdFamily ? "vt" : "nt";
}

}  // namespace kvx
