// The first half of the install configuration: install context, disk
// survey, boot partitions, loader placement, machine model, normal
// partitions, start-up scripts. Each step runs in this order and hands its
// findings on in the records of records.h.
#ifndef KVXCFG_SURVEY_SURVEY_H
#define KVXCFG_SURVEY_SURVEY_H

#include "host/host.h"
#include "host/program_values.h"
#include "survey/records.h"

namespace kvx {

// Builds the install context from the registry and the environment, in the
// fixed order of its values. Runs no command.
InstallContext BuildInstallContext(Host& host);

// Gives zp, fi and fr their .exe names, runs the imaging tool's status probe
// and keeps its status file in the product folder.
void PrepareCompanionTools(Host& host, const InstallContext& context);

// Scans disks 1 to 4 into the product folder, merges them and settles the
// Windows family (program.WinFamily).
void RunDiskSurvey(Host& host, const InstallContext& context, ProgramContext& program);

// Finds the system partition, the boot disk and the active partition, records
// them in krv_pass.ini and updates SystemDrive, BootDiskIndex and ActiveDrive.
SurveySettings FindBootPartitions(Host& host, InstallContext& context);

// Copies the loader files to the active partition, protects them and sets
// the boot configuration paths by the Windows family.
BootConfigPaths PlaceLoader(Host& host, const InstallContext& context,
                            const ProgramContext& program);

// Gathers the machine's descriptions and finds the four model tags.
ModelFindings DetectMachineModel(Host& host, InstallContext& context, ProgramContext& program);

// Writes the boot disk's normal-partition list and looks in it for OEM
// recovery partitions.
NormalPartitionFindings SurveyNormalPartitions(Host& host, const InstallContext& context,
                                               const SurveySettings& settings,
                                               ProgramContext& program);

// Writes KVX_rd0 and KVX_rd1 and the launcher shortcut.
void WriteStartupScripts(Host& host, const InstallContext& context);

}  // namespace kvx

#endif  // KVXCFG_SURVEY_SURVEY_H
