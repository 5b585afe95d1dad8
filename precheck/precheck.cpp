#include "precheck/precheck.h"

namespace kvx {

void PreInstallChecks(Host& host) {
  // The checks themselves come with the pre-install work.
  (void)host;
}

}  // namespace kvx
