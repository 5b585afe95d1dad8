// The seven steps of the pre-install run, in the order the run takes them.
// A refusing step ends the program itself (see RefuseInstall).
#ifndef KVXCFG_PRECHECK_CHECKS_H
#define KVXCFG_PRECHECK_CHECKS_H

#include "host/host.h"
#include "precheck/run_values.h"

namespace kvx {

// Step 1: looks on drives D: to Z: for the product installed from another
// Windows of this machine and, on a find, asks the user whether to go on.
// A No ends the program with the marker renamed to "win_lan1".
void CheckOtherWindows(Host& host, const PreInstallValues& values);

// Steps 2 to 4: refuses with "win_lan1" when an installed version other than
// this one is found.
void CheckInstalledVersions(Host& host, const PreInstallValues& values);

// Steps 5 and 6: refuses with "win_lan2" while the uninstall shortcut sits in
// the user's or the all-users Startup folder.
void CheckUnfinishedUninstall(Host& host, const PreInstallValues& values);

// Step 7: gives a menu file shipped as "menul.lst" its right name "menu1.lst".
void RepairMenuFileName(Host& host, const PreInstallValues& values);

}  // namespace kvx

#endif  // KVXCFG_PRECHECK_CHECKS_H
