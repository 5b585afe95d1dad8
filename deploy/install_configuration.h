// The install configuration (argument "2"): survey, boot entry, deployment
// and finishing, one fixed sequence that nothing stops once it has started.
#ifndef KVXCFG_DEPLOY_INSTALL_CONFIGURATION_H
#define KVXCFG_DEPLOY_INSTALL_CONFIGURATION_H

#include "host/host.h"
#include "host/program_values.h"

namespace kvx {

void InstallConfiguration(Host& host, ProgramContext& program);

}  // namespace kvx

#endif  // KVXCFG_DEPLOY_INSTALL_CONFIGURATION_H
