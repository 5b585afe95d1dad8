// The last half of the install configuration: target partition, hidden
// target folder, model boot options and finishing.
#ifndef KVXCFG_DEPLOY_DEPLOY_H
#define KVXCFG_DEPLOY_DEPLOY_H

#include "host/host.h"
#include "host/program_values.h"
#include "survey/records.h"

namespace kvx {

// The target partition as krv_drv.ini [part] holds it after the choice.
struct TargetPartition {
  Text TargetPartNo;  // pt_1, default "1"
  Text TargetDrive;   // pt_2, default "8:" (no usable drive letter)
};

// Chooses the target partition from the normal-partition list, records it in
// krv_drv.ini and warns when there is no usable second partition.
TargetPartition ChooseTargetPartition(Host& host, const InstallContext& context,
                                      const NormalPartitionFindings& findings);

// Prepares the hidden folder ~1 on the target partition and its access rights.
void DeployTargetFolder(Host& host, const InstallContext& context, const TargetPartition& target,
                        ProgramContext& program);

// Loader variant and boot options for the known machine models.
void ApplyModelBootOptions(Host& host, const InstallContext& context,
                           const ModelFindings& findings);

// Attributes, registry import, stored names back, scratch files deleted.
void FinishInstallation(Host& host, const InstallContext& context);

}  // namespace kvx

#endif  // KVXCFG_DEPLOY_DEPLOY_H
