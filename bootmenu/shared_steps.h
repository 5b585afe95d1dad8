// Small pieces that the boot.ini and the BCD registration both use: one-line
// batch texts and the boot menu timeout setting.
#ifndef KVXCFG_BOOTMENU_SHARED_STEPS_H
#define KVXCFG_BOOTMENU_SHARED_STEPS_H

#include "host/host.h"
#include "survey/records.h"

namespace kvx {

// A batch text of one command: an empty first line, the command, a line break.
Text OneLineBatch(const Text& commandLine);

// The boot menu timeout in seconds as a text: "1" when krv_pass.ini [sec]
// sec1 is exactly "1", otherwise (missing key included) "5".
Text BootMenuTimeout(Host& host, const InstallContext& context);

}  // namespace kvx

#endif  // KVXCFG_BOOTMENU_SHARED_STEPS_H
