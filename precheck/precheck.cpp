#include "precheck/precheck.h"

#include "precheck/checks.h"
#include "precheck/run_values.h"

namespace kvx {

void PreInstallChecks(Host& host) {
  const PreInstallValues values = BuildPreInstallValues(host);
  CheckOtherWindows(host, values);
  CheckInstalledVersions(host, values);
  CheckUnfinishedUninstall(host, values);
  RepairMenuFileName(host, values);
  // Nothing refused: the marker keeps its name "win_lan".
  host.Note("verdict: the marker keeps its name win_lan");
}

}  // namespace kvx
