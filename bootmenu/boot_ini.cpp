// The product's line in boot.ini on the NT5 family: a usable boot.ini, the
// boot menu timeout, the default taken away from the product's loader, the
// product's line under [operating systems], a kept copy, and boot.ini marked
// read-only, hidden and system again.
#include "bootmenu/bootmenu.h"
#include "bootmenu/shared_steps.h"
#include "entry/shared_file.h"
#include "host/scratch.h"
#include "host/tools.h"

namespace kvx {
namespace {

// True when a boot.ini text names a Windows to start: an ARC path of any of
// the three kinds NTLDR knows.
bool NamesWindows(const Text& text) {
  return FindText(text, "multi", true) != kNotFound || FindText(text, "scsi(", true) != kNotFound ||
         FindText(text, "signature(", true) != kNotFound;
}

// Reads boot.ini: true when it names a Windows but not yet the product.
bool LacksTitleButNamesWindows(Host& host, const InstallContext& context, ProgramContext& program,
                               const Text& bootIni) {
  return ProbeIntoShared(host, program, bootIni, context.ProductTitle, false) == kNotFound &&
         NamesWindows(program.SharedFileText);
}

}  // namespace

void RegisterLegacyBootMenu(Host& host, const InstallContext& context, const BootConfigPaths& paths,
                            ProgramContext& program) {
  if (!TextEquals(program.WinFamily, "nt"))
    return;
  const Text& bootIni = paths.BootConfigPath;
  const Text spareCopy =
      CopyCommand(context.ShellPrefix, Concat({context.ProductDirSlash, "boot0.ini"}), bootIni);
  const Text keepCopy = CopyCommand(context.ShellPrefix, bootIni, context.ProductDirSlash);

  // A missing boot.ini, or one that names no Windows at all, is replaced by
  // the product's spare; it is made normal first, since "copy" does not
  // overwrite the read-only, hidden and system file that boot.ini is. A
  // boot.ini that starts Windows only through scsi() or signature() paths is
  // kept: the spare's multi() paths might not start that machine.
  if (!host.FileExists(bootIni))
    host.RunCommand(spareCopy);
  if (host.FileExists(bootIni) &&
      !NamesWindows(ReadIntoShared(host, program, bootIni, kReadOnly))) {
    host.SetAttributes(bootIni, kAttrNormal);
    host.RunCommand(spareCopy);
  }
  host.SetAttributes(bootIni, kAttrNormal);

  host.RunCommand(FiCommand(context.ProductDirSlash, bootIni, "boot loader", "timeout",
                            BootMenuTimeout(host, context)));
  host.SetAttributes(bootIni, kAttrNormal);

  // A saved boot.ini on the active drive replaces the current one whole. It
  // must name a Windows: an empty or damaged copy would take the Windows
  // entries out of the boot menu. It is removed only once boot.ini holds its
  // text, so that a copy that failed loses nothing; it then stays for the
  // next installation.
  const Text& saved = paths.BootConfigBackupPath;
  if (host.FileExists(saved)) {
    host.SetAttributes(saved, kAttrNormal);
    if (NamesWindows(ReadIntoShared(host, program, saved, kReadOnly))) {
      const Text savedText = program.SharedFileText;
      host.CopyFile(saved, bootIni);
      if (TextEquals(ReadIntoShared(host, program, bootIni, kReadOnly), savedText))
        host.DeleteFile(saved);
    }
  }

  // When the product's loader is the default, the first "multi" entry becomes
  // the default instead.
  if (ProbeIntoShared(host, program, bootIni, Concat({"default=", context.LoaderAtRoot}), true) !=
      kNotFound) {
    ScratchBatchRun(
        host, context.TempDirSlash, "vk_nt01.bat",
        OneLineBatch(
            Concat({"for /f \"delims==\" %%a in ('findstr /i \"^multi\" ", bootIni, "') do ",
                    FiCommand(context.ProductDirSlash, bootIni, "boot loader", "default", "%%a"),
                    "&goto :eof"})));
  }

  // The title goes unquoted to the end of the line. When the INI writer did
  // not set it, the host writes it and the copy waits for the file to settle.
  // The line goes only into a boot.ini that names a Windows: when
  // neither boot.ini nor the spare gave one, a boot menu holding the product's
  // line alone would offer no way to start Windows.
  if (LacksTitleButNamesWindows(host, context, program, bootIni)) {
    host.RunCommand(FiCommand(context.ProductDirSlash, bootIni, "operating systems",
                              context.LoaderAtRoot, context.ProductTitle));
    host.RunCommand(keepCopy);
  }
  if (LacksTitleButNamesWindows(host, context, program, bootIni)) {
    host.WriteIni(bootIni, "operating systems", context.LoaderAtRoot, context.ProductTitle);
    host.Delay(3000);
    host.RunCommand(keepCopy);
  }
  host.RunCommand(keepCopy);
  host.SetAttributes(bootIni, kAttrHiddenSystemReadOnly);
}

}  // namespace kvx
