// Registration of the product's boot entry: boot.ini on the NT5 family, the
// BCD store on the NT6 family; and the merge of the boot disk's scans.
#ifndef KVXCFG_BOOTMENU_BOOTMENU_H
#define KVXCFG_BOOTMENU_BOOTMENU_H

#include "host/host.h"
#include "host/program_values.h"
#include "survey/records.h"

namespace kvx {

// Appends the scans of disks 2 up to the boot disk to zp_all.txt.
void MergeDiskScans(Host& host, const InstallContext& context);

// The product's boot entry by the Windows family that the disk survey
// settled: boot.ini for exactly "nt", the BCD store for exactly "vt"; a family
// that is neither gets no entry. The one place where the family is decided.
void RegisterBootEntry(Host& host, const InstallContext& context, const BootConfigPaths& paths,
                       ProgramContext& program);

// The product's line in boot.ini (the NT5 family).
void RegisterLegacyBootMenu(Host& host, const InstallContext& context, const BootConfigPaths& paths,
                            ProgramContext& program);

// The product's entry in the BCD store (the NT6 family): store access and
// timeout, removal of stale entries, creation and verification. On a PC that
// started through UEFI the stale entries go, but no entry is created (its
// boot manager would not start it) and the user is told so once.
void RegisterBcdEntry(Host& host, const InstallContext& context, const BootConfigPaths& paths,
                      ProgramContext& program);

// The boot menu timeout in seconds as a text: "1" when krv_pass.ini [sec]
// sec1 is exactly "1", otherwise (missing key included) "5".
Text BootMenuTimeout(Host& host, const InstallContext& context);

}  // namespace kvx

#endif  // KVXCFG_BOOTMENU_BOOTMENU_H
