#include "precheck/run_values.h"

#include "host/scratch.h"
#include "host/tools.h"

namespace kvx {

PreInstallValues BuildPreInstallValues(Host& host) {
  PreInstallValues v;
  // A machine without the value is taken for a Chinese one.
  const Text language = host.ReadRegistryText(
      kRootLocalMachine, "SYSTEM\\CurrentControlSet\\Control\\Nls\\Language\\InstallLanguage",
      "0804");
  v.ProductName = TextEquals(language, "0804") ? "珂瓦克斯" : "KORVAX";
  v.VersionText = "v2013.01.23";
  v.ProductAbbrev = "KVX";
  v.OldIniPath = "c:\\boot\\korv\\korv.ini";
  v.OldProductDir = "c:\\boot\\korv";
  v.ProductDir = "c:\\vesk\\korv";
  v.OldUninstallXmlPath = "c:\\boot\\korv\\uninstall.xml";
  v.UninstallXmlPath = "c:\\vesk\\korv\\uninstall.xml";
  v.ProductDirSlash = "c:\\vesk\\korv\\";
  v.ProductDirNoDrive = "\\vesk\\korv\\";
  // Quoted, so that the rename works in a program folder with blanks.
  v.VerdictMarker = Concat({"\"", host.ProgramFolder(), "\\win_lan\""});
  v.StartupDirSlash =
      Concat({host.ReadRegistryText(
                  kRootCurrentUser,
                  "Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\Shell Folders\\Startup"),
              "\\"});
  v.AllUsersStartupDir = Concat({host.GetEnv("ALLUSERSPROFILE"), "\\「开始」菜单\\程序\\启动\\"});
  v.CommandInterpreter = BuildCommandInterpreter(host);
  v.ShellPrefix = BuildShellPrefix(v.CommandInterpreter);
  v.TempDir = ScratchFolder(host);
  return v;
}

void RenameVerdictMarker(Host& host, const PreInstallValues& values, const Text& verdictName) {
  host.Note(Concat({"verdict: the marker becomes ", verdictName}));
  host.RunCommand(RenameCommand(values.ShellPrefix, values.VerdictMarker, verdictName));
}

void RefuseInstall(Host& host, const PreInstallValues& values, const Text& verdictName,
                   const Text& message) {
  RenameVerdictMarker(host, values, verdictName);
  host.ShowMessage(message, kStyleStop);
  host.EndProgram(0);
}

}  // namespace kvx
