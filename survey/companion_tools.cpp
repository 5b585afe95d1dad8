// The companion tools get their working names, and the imaging tool leaves
// its status file in the product folder.
#include "host/tools.h"
#include "survey/survey.h"

namespace kvx {

void PrepareCompanionTools(Host& host, const InstallContext& context) {
  // On a second run the tools already carry their .exe names; the renames
  // then fail quietly and the tools stay usable.
  host.RunCommand(
      RenameCommand(context.ShellPrefix, Concat({context.ProductDirSlash, "zp"}), "zptlx.exe"));
  host.RunCommand(
      RenameCommand(context.ShellPrefix, Concat({context.ProductDirSlash, "fi"}), "fi.exe"));
  host.RunCommand(
      RenameCommand(context.ShellPrefix, Concat({context.ProductDirSlash, "fr"}), "fr.exe"));

  // The imaging tool writes GHSTSTAT.TXT into the current folder; keep a
  // copy in the product folder and remove the original.
  host.RunCommand(GhostStatusCommand(context.ProductDirSlash));
  host.CopyFile("GHSTSTAT.TXT", Concat({context.ProductDirSlash, "GHSTSTAT.TXT"}));
  host.DeleteFile("GHSTSTAT.TXT");
}

}  // namespace kvx
