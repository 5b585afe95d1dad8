// The pre-install checks (argument "1").
//
// The verdict goes back to the setup package as the name of the marker file
// "win_lan" in the program's folder: unchanged when the product may be
// installed, "win_lan1" or "win_lan2" when it must not.
#ifndef KVXCFG_PRECHECK_PRECHECK_H
#define KVXCFG_PRECHECK_PRECHECK_H

#include "host/host.h"

namespace kvx {

// Runs the checks in order; a refusing check ends the program itself.
void PreInstallChecks(Host& host);

}  // namespace kvx

#endif  // KVXCFG_PRECHECK_PRECHECK_H
