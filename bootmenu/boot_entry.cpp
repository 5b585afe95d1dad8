// The merge of the disk scans, and the choice of the boot entry registration
// by the Windows family.
#include "bootmenu/bootmenu.h"

#include <vector>

namespace kvx {

// Appends the scans of the disks after disk 1, up to and including the boot
// disk, to zp_all.txt, so that it covers disks 1 to the boot disk for the
// product's other components.
void MergeDiskScans(Host& host, const InstallContext& context) {
  std::vector<Text> scans;
  if (TextEquals(context.BootDiskIndex, "1")) {
    scans = {"zp_all2.txt"};
  } else if (TextEquals(context.BootDiskIndex, "2")) {
    scans = {"zp_all2.txt", "zp_all3.txt"};
  } else if (TextEquals(context.BootDiskIndex, "3")) {
    scans = {"zp_all2.txt", "zp_all3.txt", "zp_all4.txt"};
  }
  for (const Text& scan : scans) {
    host.RunCommand(Concat({context.ShellPrefix, "type ", context.ProductDirSlash, scan, ">>",
                            context.ProductDirSlash, "zp_all.txt"}));
  }
}

void RegisterBootEntry(Host& host, const InstallContext& context, const BootConfigPaths& paths,
                       ProgramContext& program) {
  if (TextEquals(program.WinFamily, "nt")) {
    RegisterLegacyBootMenu(host, context, paths, program);
  } else if (TextEquals(program.WinFamily, "vt")) {
    RegisterBcdEntry(host, context, paths, program);
  }
}

}  // namespace kvx
