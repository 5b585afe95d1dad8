// Registration of the product's boot entry: boot.ini on the NT5 family, the
// BCD store on the NT6 family; and the merge of the boot disk's scans.
#ifndef KVXCFG_BOOTMENU_BOOTMENU_H
#define KVXCFG_BOOTMENU_BOOTMENU_H

#include "entry/program.h"
#include "host/host.h"
#include "survey/records.h"

namespace kvx {

// Appends the scans of disks 2 up to the boot disk to zp_all.txt.
void MergeDiskScans(Host& host, const InstallContext& context);

// The product's line in boot.ini. Does nothing unless WinFamily is exactly "nt".
void RegisterLegacyBootMenu(Host& host, const InstallContext& context, const BootConfigPaths& paths,
                            ProgramContext& program);

// The product's entry in the BCD store: store access and timeout, removal of
// stale entries, creation and verification. Does nothing unless WinFamily is
// exactly "vt".
void RegisterBcdEntry(Host& host, const InstallContext& context, const BootConfigPaths& paths,
                      ProgramContext& program);

}  // namespace kvx

#endif  // KVXCFG_BOOTMENU_BOOTMENU_H
