// What the first half of the install configuration finds, held in plain
// records that the later steps receive. No step re-derives another step's
// result.
#ifndef KVXCFG_SURVEY_RECORDS_H
#define KVXCFG_SURVEY_RECORDS_H

#include "host/host.h"
#include "host/text.h"

namespace kvx {

// Names, folders and environment-derived values of one install run, built
// once before any command runs. Only ActiveDrive, SystemDrive and
// BootDiskIndex change later (when the boot partitions are found).
struct InstallContext {
  Text ProductTitle;            // "珂瓦克斯 v2013.01.23" or "KORVAX v2013.01.23"
  Text ProductName;             // "珂瓦克斯" or "KORVAX"
  Text LoaderInProductDir;      // "c:\vesk\korv\KVLDR"
  Text LoaderAtRoot;            // "C:\KVLDR"
  Text LoaderNameRooted;        // "\KVLDR"
  Text LoaderMbrNameRooted;     // "\kvldr.mbr"
  Text LoaderMbrName;           // "kvldr.mbr"
  Text MakerDir;                // "c:\vesk"
  Text ProductRunDir;           // "c:\vesk\korv\krv_run"
  Text ProductDirSlash;         // "c:\vesk\korv\"
  Text ProductDir;              // "c:\vesk\korv"
  Text PanelTxtName;            // "c_pan.txt"
  Text PanelIniName;            // "c_pan.ini"
  Text TildeSuffix;             // "\~1"
  Text Rd0Path;                 // "c:\vesk\korv\KVX_rd0"
  Text Rd1Path;                 // "c:\vesk\korv\KVX_rd1"
  Text DrvIniPath;              // "c:\vesk\korv\krv_drv.ini"
  Text IdIniPath;               // "c:\vesk\korv\krv_id.ini"
  Text BcdAllIniPath;           // "c:\vesk\korv\bcd_all.ini"
  Text PassIniPath;             // "c:\vesk\korv\krv_pass.ini"
  Text SuExePath;               // "c:\vesk\korv\KVX_SU.EXE"
  Text SuPathNoExt;             // "c:\vesk\korv\KVX_SU"
  Text SuName;                  // "KVX_SU"
  Text SystemRootSlash;         // Systemroot + "\"
  Text CommandInterpreter;      // COMSPEC, or Systemroot + "\system32\cmd.exe"
  Text ShellPrefix;             // CommandInterpreter + " /c "
  Text TempDirSlash;            // scratch folder (TMP, short form when it holds a blank) + "\"
  Text StartupDirSlash;         // the user's Startup folder from the registry + "\"
  Text EveryoneName;            // "Everyone"
  Text ActiveDrive;             // "C:" until the active partition is found
  Text SystemDrive;             // SystemDrive until the system partition is found
  Text BootDiskIndex;           // "0" until the boot disk is found
  Text ProgramFilesX86;         // ProgramFiles(x86); empty on 32-bit Windows
  SystemInfoRecord SystemInfo;  // filled by the machine model detection
};

// The boot disk's scan file suffix: "" (zp_all.txt), "2", "3" or "4".
struct SurveySettings {
  Text BootDiskSuffix;
};

// The boot configuration on the active partition and its backup.
struct BootConfigPaths {
  Text BootConfigPath;        // ActiveDrive + "\boot.ini" or "\boot\bcd"
  Text BootConfigBackupPath;  // ActiveDrive + "\boot.kvx" or "\bcd.kvx"
};

// Positions of the four model tags in the machine-model text (kNotFound when absent).
struct ModelFindings {
  int ThinkPadPos = kNotFound;
  int ToshibaPos = kNotFound;
  int MicroStarPos = kNotFound;
  int AsusPos = kNotFound;
};

// Positions found in the boot disk's normal-partition list (kNotFound when absent).
struct NormalPartitionFindings {
  int PresarioPos = kNotFound;
  int FactoryImPos = kNotFound;
  int HpRecoverPos = kNotFound;
  int LenovoParPos = kNotFound;
  int LenovoRecPos = kNotFound;
  int RecoveryPos = kNotFound;
  int Part3Pos = kNotFound;
  int RecoveryLineMarkPos = kNotFound;
};

}  // namespace kvx

#endif  // KVXCFG_SURVEY_RECORDS_H
