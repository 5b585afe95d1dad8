// The boot loader and its boot-sector image go from the root of C: to the
// root of the active partition; all four copies are protected, and the boot
// configuration paths on the active partition are fixed by Windows family.
#include "survey/survey.h"

namespace kvx {

BootConfigPaths PlaceLoader(Host& host, const InstallContext& context,
                            const ProgramContext& program) {
  const Text& active = context.ActiveDrive;
  host.RunCommand(Concat({context.ShellPrefix, "xcopy c:", context.LoaderNameRooted, " ", active,
                          "\\ /k /h /r /c /y "}));
  host.RunCommand(Concat({context.ShellPrefix, "xcopy c:", context.LoaderMbrNameRooted, " ", active,
                          "\\ /k /h /r /c /y "}));

  host.SetAttributes(context.LoaderAtRoot, kAttrHiddenSystemReadOnly);
  host.SetAttributes(Concat({"C:", context.LoaderMbrNameRooted}), kAttrHiddenSystemReadOnly);
  host.SetAttributes(Concat({active, context.LoaderNameRooted}), kAttrHiddenSystemReadOnly);
  host.SetAttributes(Concat({active, context.LoaderMbrNameRooted}), kAttrHiddenSystemReadOnly);

  BootConfigPaths paths;
  if (TextEquals(program.WinFamily, "nt")) {
    paths.BootConfigPath = Concat({active, "\\boot.ini"});
    paths.BootConfigBackupPath = Concat({active, "\\boot.kvx"});
  } else {
    paths.BootConfigPath = Concat({active, "\\boot\\bcd"});
    paths.BootConfigBackupPath = Concat({active, "\\bcd.kvx"});
  }
  return paths;
}

}  // namespace kvx
