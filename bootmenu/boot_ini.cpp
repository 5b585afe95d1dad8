// The product's line in boot.ini on the NT5 family: a usable boot.ini, the
// boot menu timeout, the default taken away from the product's loader, the
// product's line under [operating systems], a kept copy, and boot.ini marked
// read-only, hidden and system again.
#include "bootmenu/bootmenu.h"
#include "host/scratch.h"
#include "host/tools.h"

namespace kvx {
namespace {

// Guards against replacing a boot.ini that starts Windows by scsi() or signature().
// Any of the three kinds of ARC path NTLDR knows counts as naming a Windows,
// not "multi" alone, so the spare's multi() paths never take the place of
// entries that may be the only way to start this machine.
bool NamesWindows(const Text& text) {
  return FindText(text, "multi", true) != kNotFound || FindText(text, "scsi(", true) != kNotFound ||
         FindText(text, "signature(", true) != kNotFound;
}

// Guards against a spare copy that cannot replace the protected boot.ini.
// boot.ini is read-only, hidden and system, which "copy" never overwrites,
// so it is made normal first.
void ReplaceWithSpare(Host& host, const Text& bootIni, const Text& spareCopy) {
  host.Note(Concat({bootIni, " names no Windows: the product's spare boot0.ini replaces it"}));
  host.SetAttributes(bootIni, kAttrNormal);
  host.RunCommand(spareCopy);
}

// Guards against losing the Windows entries to a damaged or failed restore.
// The saved copy replaces boot.ini only when it names a Windows (an empty or
// damaged copy would take them out of the boot menu), and is deleted only
// once boot.ini holds its text, so that a copy that failed loses nothing; it
// then stays for the next installation.
void RestoreSavedBootIni(Host& host, ProgramContext& program, const Text& saved,
                         const Text& bootIni) {
  host.SetAttributes(saved, kAttrNormal);
  if (!NamesWindows(ReadIntoShared(host, program, saved, kReadOnly))) {
    host.Note(Concat({saved, " names no Windows: it does not replace ", bootIni}));
    return;
  }
  const Text savedText = program.SharedFileText;
  host.CopyFile(saved, bootIni);
  if (TextEquals(ReadIntoShared(host, program, bootIni, kReadOnly), savedText)) {
    host.Note(Concat({saved, " replaced ", bootIni, " and is deleted"}));
    host.DeleteFile(saved);
  } else {
    host.Note(Concat({saved, " did not replace ", bootIni, ": it stays"}));
  }
}

// Guards against a boot menu that holds the product's line alone.
// Reads boot.ini: true when it lacks the product's title and names a Windows.
// When boot.ini names no Windows (neither it nor the spare gave one), the
// line does not go in, since such a menu would offer no way to start Windows.
bool LacksTitleButNamesWindows(Host& host, const InstallContext& context, ProgramContext& program,
                               const Text& bootIni) {
  if (ProbeIntoShared(host, program, bootIni, context.ProductTitle, false) != kNotFound)
    return false;
  if (NamesWindows(program.SharedFileText))
    return true;
  host.Note(Concat({bootIni, " names no Windows: the product's line is not added"}));
  return false;
}

// The boot.ini as it was before the product ever changed it, copied once into
// the product folder with its attributes cleared, so that it can be copied
// back. A later installation keeps the first copy. The note says what the
// copy left, once it is made.
void KeepBootIniAsItWas(Host& host, const InstallContext& context, const Text& bootIni) {
  const Text saved = Concat({context.ProductDirSlash, "boot.ini.before"});
  if (host.FileExists(saved)) {
    host.Note(Concat({"boot.ini as it was before the product: kept in ", saved}));
  } else if (!host.FileExists(bootIni)) {
    host.Note(Concat({"no ", bootIni, " to keep as it was"}));
  } else {
    host.CopyFile(bootIni, saved);
    host.SetAttributes(saved, kAttrNormal);
    host.Note(Concat({"boot.ini as it was before the product: ",
                      host.FileExists(saved) ? "copied to " : "copy failed, no copy kept in ",
                      saved}));
  }
}

}  // namespace

Text BootMenuTimeout(Host& host, const InstallContext& context) {
  const Text sec1 = host.ReadIni(Concat({context.ProductDirSlash, "krv_pass.ini"}), "sec", "sec1");
  return TextEquals(sec1, "1") ? Text("1") : Text("5");
}

void RegisterLegacyBootMenu(Host& host, const InstallContext& context, const BootConfigPaths& paths,
                            ProgramContext& program) {
  const Text& bootIni = paths.BootConfigPath;
  const Text spareCopy =
      CopyCommand(context.ShellPrefix, Concat({context.ProductDirSlash, "boot0.ini"}), bootIni);
  const Text keepCopy = CopyCommand(context.ShellPrefix, bootIni, context.ProductDirSlash);
  KeepBootIniAsItWas(host, context, bootIni);

  // A missing boot.ini, or one that names no Windows, is replaced by the
  // product's spare.
  if (!host.FileExists(bootIni))
    host.RunCommand(spareCopy);
  if (host.FileExists(bootIni) &&
      !NamesWindows(ReadIntoShared(host, program, bootIni, kReadOnly))) {
    ReplaceWithSpare(host, bootIni, spareCopy);
  }
  host.SetAttributes(bootIni, kAttrNormal);

  host.RunCommand(FiCommand(context.ProductDirSlash, bootIni, "boot loader", "timeout",
                            BootMenuTimeout(host, context)));
  host.SetAttributes(bootIni, kAttrNormal);

  // A saved boot.ini on the active drive replaces the current one whole.
  const Text& saved = paths.BootConfigBackupPath;
  if (host.FileExists(saved))
    RestoreSavedBootIni(host, program, saved, bootIni);

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
