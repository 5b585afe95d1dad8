// The product's hidden folder ~1 at the root of the target partition.
//
// A stale file of that name is removed, the folder is created with the marker
// file c_pan.txt in it and hidden, the partition's file system goes into
// krv_drv.ini, and the access-rights tool opens the folder to Everyone. The
// tool is stored without extension as xc or xc1; the name it comes with
// selects the final rights, and it gets that same name back at the end.
#include "deploy/deploy.h"
#include "host/scratch.h"
#include "host/tools.h"

namespace kvx {

void DeployTargetFolder(Host& host, const InstallContext& context, const TargetPartition& target,
                        ProgramContext& program) {
  const Text& shell = context.ShellPrefix;
  const Text& product = context.ProductDirSlash;
  const Text& everyone = context.EveryoneName;
  const Text folder = Concat({target.TargetDrive, context.TildeSuffix});

  const bool storedAsXc1 = host.FileExists(Concat({product, "xc1"}));
  host.RunCommand(RenameCommand(shell, Concat({product, "xc*"}), "xc.exe"));

  // A file (not a folder) named ~1 would keep the folder from being created.
  if (host.FileExists(folder)) {
    host.RunCommand(XcGrantCommand(product, folder, false, everyone, "f"));
    host.SetAttributes(folder, kAttrNormal);
    host.DeleteFile(folder);
  }

  const Text report = Concat({context.TempDirSlash, "vk_001.tmp"});
  host.RunCommand(Concat({shell, "chkntfs ", target.TargetDrive, ">\"", report, "\""}));
  const bool ntfs = ProbeIntoShared(host, program, report, "NTFS", false) != kNotFound;

  host.CreateFolder(folder);
  host.RunCommand(Concat({shell, "attrib -h -s -r ", folder}));
  host.RunCommand(Concat({shell, "attrib -h -s -r ", folder, "\\*.*"}));
  const Text marker = Concat({product, context.PanelTxtName});
  host.RunCommand(CopyCommand(shell, marker, Concat({folder, "\\"})));
  host.RunCommand(Concat({shell, "attrib +h ", folder}));

  if (ntfs) {
    host.RunCommand(FiCommand(product, context.DrvIniPath, "part", "type", "NTFS"));
    host.RunCommand(XcGrantCommand(product, folder, true, everyone, "f"));
  } else {
    host.RunCommand(FiCommand(product, context.DrvIniPath, "part", "type", "FAT"));
    // The marker goes in a second time as c_pan.ini when the root's short
    // names show no " ~1 " entry.
    host.RunCommand(
        Concat({shell, "dir ", target.TargetDrive, "\\ /ad /x|find \" ~1 \" >nul||copy /y ", marker,
                " ", folder, "\\", context.PanelIniName}));
  }

  if (storedAsXc1) {
    host.RunCommand(XcGrantCommand(product, folder, true, everyone, "f"));
    host.RunCommand(RenameCommand(shell, Concat({product, "xc.exe"}), "xc1"));
  } else {
    host.RunCommand(XcGrantCommand(product, folder, true, everyone, "rewx"));
    host.RunCommand(RenameCommand(shell, Concat({product, "xc.exe"}), "xc"));
  }
}

}  // namespace kvx
