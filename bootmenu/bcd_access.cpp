#include "bootmenu/bcd_access.h"

#include "bootmenu/bootmenu.h"
#include "host/scratch.h"
#include "host/tools.h"

namespace kvx {

const char kBcdCommandBatch[] = "vk_vt020.bat";

void BcdBatchStep(Host& host, const InstallContext& context, const Text& fileName,
                  const Text& commandLine) {
  ScratchBatchRun(host, context.TempDirSlash, fileName, OneLineBatch(commandLine));
}

int ListBcdStore(Host& host, const InstallContext& context, ProgramContext& program,
                 const Text& searchText) {
  BcdBatchStep(host, context, kBcdCommandBatch,
               Concat({"bcdedit /enum all >", context.BcdAllIniPath}));
  return ProbeIntoShared(host, program, context.BcdAllIniPath, searchText, true);
}

Text ExtractEntryId(Host& host, const InstallContext& context, ProgramContext& program,
                    const Text& batchFileName, const Text& searchText) {
  // The outer loop takes the number of each line holding the search text; the
  // inner one writes the identifier (third token of a numbered "{" line) of
  // every such line above it, so the last write is the entry's own identifier.
  BcdBatchStep(
      host, context, batchFileName,
      Concat({"for /f \"delims=:\" %%a in ('findstr /n \"", searchText, "\" ",
              context.BcdAllIniPath,
              "') do for /f \"tokens=1,3 delims=: \" %%i in ('findstr /n \"{\" ",
              context.BcdAllIniPath, "') do if %%i lss %%a echo %%j>", context.IdIniPath}));
  return ReadIntoShared(host, program, context.IdIniPath, kReadOnly);
}

void JoinAfterBrace(Host& host, const InstallContext& context, const Text& batchFileName) {
  // The find text holds the four characters \r\n, which the replacer reads as
  // a line break.
  host.RunCommand(FrEscapedCommand(context.ProductDirSlash,
                                   Concat({context.TempDirSlash, batchFileName}), "}\\r\\n", "}"));
}

// The store as it was before the product ever changed it, exported once into
// the product folder so that it can be put back (bcdedit /import). It runs
// just before the timeout, the first change of the product's own: by then
// bcdedit is reachable also for a 32-bit program on 64-bit Windows, and an
// import has only put back the store's own file. A later installation keeps
// the first copy; an export that fails leaves none, and the next one tries.
// The note says what the export left, once it has run.
void KeepStoreAsItWas(Host& host, const InstallContext& context) {
  const Text saved = Concat({context.ProductDirSlash, "BCD.before"});
  if (host.FileExists(saved)) {
    host.Note(Concat({"the store as it was before the product: kept in ", saved}));
    return;
  }
  BcdBatchStep(host, context, kBcdCommandBatch, Concat({"bcdedit /export ", saved}));
  host.Note(Concat({"the store as it was before the product: ",
                    host.FileExists(saved) ? "exported to " : "export failed, no copy kept in ",
                    saved}));
}

void PrepareBcdStore(Host& host, const InstallContext& context, const BootConfigPaths& paths,
                     ProgramContext& program) {
  // Plain bcdedit prints identifiers in braces only when the store is readable.
  const Text listing = Concat({context.TempDirSlash, "vk_vt020.txt"});
  BcdBatchStep(host, context, kBcdCommandBatch, Concat({"bcdedit>", listing}));
  if (ProbeIntoShared(host, program, listing, "{", false) == kNotFound) {
    host.Note(Concat(
        {"plain bcdedit listed no identifier: the store is imported from ", paths.BootConfigPath}));
    BcdBatchStep(host, context, kBcdCommandBatch,
                 Concat({"bcdedit /import ", paths.BootConfigPath}));
  }

  if (!TextEquals(context.ProgramFilesX86, "")) {
    // A 32-bit program sees syswow64 in place of system32, where bcdedit.exe
    // is missing: copy it over through a drive letter mapped to system32, and
    // when bcdedit still cannot run, the product's own copy beside the
    // configurator. The folder goes unquoted into the line, so a folder with
    // a blank is named in its short form.
    BcdBatchStep(
        host, context, kBcdCommandBatch,
        Concat({"subst b: ", context.SystemRootSlash, "system32&&echo d|xcopy b:\\bcdedit.exe ",
                context.SystemRootSlash, "syswow64 /k /r /h /c /y&subst b: /d"}));
    const Text programFolder = WithoutBlanks(host, host.ProgramFolder());
    BcdBatchStep(host, context, kBcdCommandBatch,
                 Concat({"bcdedit.exe||echo f|xcopy ", programFolder, "\\bcdedit ",
                         context.SystemRootSlash, "syswow64\\bcdedit.exe /k /r /h /c /y"}));
  }

  KeepStoreAsItWas(host, context);
  BcdBatchStep(host, context, kBcdCommandBatch,
               Concat({"bcdedit /timeout ", BootMenuTimeout(host, context)}));
}

}  // namespace kvx
