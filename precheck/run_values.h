// The values of the pre-install run and the one way a check refuses.
#ifndef KVXCFG_PRECHECK_RUN_VALUES_H
#define KVXCFG_PRECHECK_RUN_VALUES_H

#include "host/host.h"
#include "host/text.h"

namespace kvx {

// Built once at the start of the run, in this order, before any command.
struct PreInstallValues {
  Text ProductName;          // "珂瓦克斯" on a Chinese install language, else "KORVAX"
  Text VersionText;          // "v2013.01.23"
  Text ProductAbbrev;        // "KVX"
  Text OldIniPath;           // "c:\boot\korv\korv.ini"
  Text OldProductDir;        // "c:\boot\korv"
  Text ProductDir;           // "c:\vesk\korv"
  Text OldUninstallXmlPath;  // "c:\boot\korv\uninstall.xml"
  Text UninstallXmlPath;     // "c:\vesk\korv\uninstall.xml"
  Text ProductDirSlash;      // "c:\vesk\korv\"
  Text ProductDirNoDrive;    // "\vesk\korv\"
  Text VerdictMarker;        // the marker "win_lan" in the program folder, quoted
  Text StartupDirSlash;      // the user's Startup folder from the registry + "\"
  Text AllUsersStartupDir;   // ALLUSERSPROFILE + the Chinese Startup folder + "\"
  Text CommandInterpreter;   // COMSPEC, or Systemroot + "\system32\cmd.exe"
  Text ShellPrefix;          // CommandInterpreter + " /c "
  Text TempDir;              // scratch folder (TMP, short form when it holds a blank)
};

PreInstallValues BuildPreInstallValues(Host& host);

// The marker's names for the two verdicts that refuse the installation.
inline const Text kForeignVersionVerdict = "win_lan1";
inline const Text kUnfinishedUninstallVerdict = "win_lan2";

// Renames the marker so that the setup package reads the verdict.
void RenameVerdictMarker(Host& host, const PreInstallValues& values, const Text& verdictName);

// Renames the marker, tells the user why (OK, stop icon, default caption) and
// ends the program once the user has pressed OK. Does not return.
void RefuseInstall(Host& host, const PreInstallValues& values, const Text& verdictName,
                   const Text& message);

}  // namespace kvx

#endif  // KVXCFG_PRECHECK_RUN_VALUES_H
