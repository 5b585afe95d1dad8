#include "deploy/install_configuration.h"

#include "bootmenu/bootmenu.h"
#include "deploy/deploy.h"
#include "survey/survey.h"

namespace kvx {

void InstallConfiguration(Host& host, ProgramContext& program) {
  // Survey: names and folders, disks, boot partitions, loader, model,
  // normal partitions, start-up scripts.
  InstallContext context = BuildInstallContext(host);
  PrepareCompanionTools(host, context);
  RunDiskSurvey(host, context, program);
  const SurveySettings settings = FindBootPartitions(host, context);
  host.Note(Concat({"survey: Windows family \"", program.WinFamily, "\", system drive ",
                    context.SystemDrive, ", boot disk ", context.BootDiskIndex, ", active drive ",
                    context.ActiveDrive}));
  const BootConfigPaths bootConfig = PlaceLoader(host, context, program);
  const ModelFindings model = DetectMachineModel(host, context, program);
  const NormalPartitionFindings partitions =
      SurveyNormalPartitions(host, context, settings, program);
  WriteStartupScripts(host, context);

  // Boot entry: boot.ini on the NT5 family, the BCD store on the NT6 family.
  MergeDiskScans(host, context);
  RegisterBootEntry(host, context, bootConfig, program);

  // Deployment and finishing.
  const TargetPartition target = ChooseTargetPartition(host, context, partitions);
  host.Note(Concat({"target partition ", target.TargetPartNo, ", drive ", target.TargetDrive}));
  DeployTargetFolder(host, context, target, program);
  ApplyModelBootOptions(host, context, model);
  FinishInstallation(host, context);
}

}  // namespace kvx
