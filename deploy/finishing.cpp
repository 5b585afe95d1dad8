// The last block of every install: the product folder visible and the
// maker's folder hidden, the registry file imported, the shortcut and the
// companion tools back under their stored names, the scratch files gone.
// Nothing here is conditional and nothing is reported.
#include "deploy/deploy.h"
#include "host/scratch.h"
#include "host/tools.h"

namespace kvx {

void FinishInstallation(Host& host, const InstallContext& context) {
  const Text& shell = context.ShellPrefix;
  const Text& product = context.ProductDirSlash;

  host.RunCommand(Concat({shell, "attrib -h -r -s ", product, "*.*"}));
  host.RunCommand(Concat({shell, "attrib -h -r -s ", context.ProductDir}));
  host.RunCommand(Concat({shell, "attrib +h -r -s ", context.MakerDir}));

  // "reg import" wants the .reg extension; the file keeps its stored name
  // before and after.
  host.RunCommand(RenameCommand(shell, Concat({product, "ghostexp"}), "ghostexp.reg"));
  host.RunCommand(Concat({shell, "reg import ", product, "ghostexp.reg"}));
  host.RunCommand(RenameCommand(shell, Concat({product, "ghostexp.reg"}), "ghostexp"));

  // The tools were last used by the boot options; they rest without extension.
  host.RunCommand(RenameCommand(shell, Concat({context.SuPathNoExt, ".LNK"}), context.SuName));
  host.RunCommand(RenameCommand(shell, Concat({product, "zptlx.exe"}), "zp"));
  host.RunCommand(RenameCommand(shell, Concat({product, "fi.exe"}), "fi"));
  host.RunCommand(RenameCommand(shell, Concat({product, "fr.exe"}), "fr"));

  host.DeleteFile(Concat({product, "IRIMG2.BMP"}));
  ScratchDelete(host, shell, Concat({context.TempDirSlash, "vk_*.*"}));
  // The files of the run folder; the folder itself and everything outside it stay.
  ScratchDelete(host, shell, Concat({context.ProductRunDir, "\\*.*"}));
}

}  // namespace kvx
