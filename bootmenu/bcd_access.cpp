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

namespace {

const char* AnswerText(FirmwareAnswer answer) {
  switch (answer) {
    case FirmwareAnswer::Uefi:
      return "UEFI";
    case FirmwareAnswer::LegacyBios:
      return "legacy BIOS";
    default:
      return "not known";
  }
}

// True when a line of the listing, without its trailing blanks, ends with
// the text (ASCII letters in any case, never inside a double-byte character).
bool SomeLineEndsWith(const Text& listing, const Text& ending) {
  for (size_t start = 0; start < listing.size();) {
    size_t end = listing.find('\n', start);
    if (end == Text::npos)
      end = listing.size();
    const Text line = listing.substr(start, end - start);
    const size_t last = line.find_last_not_of(" \t\r");
    const Text trimmed = last == Text::npos ? Text() : line.substr(0, last + 1);
    for (size_t from = 0;;) {
      const int at = FindText(trimmed.substr(from), ending, true);
      if (at == kNotFound)
        break;
      from += static_cast<size_t>(at) + ending.size();
      if (from == trimmed.size())
        return true;
    }
    start = end + 1;
  }
  return false;
}

// What the store's own listing says: the running Windows' loader is
// winload.efi where the firmware is UEFI, winload.exe where it is legacy BIOS.
FirmwareAnswer StoreEvidence(const Text& listing) {
  if (SomeLineEndsWith(listing, "winload.efi"))
    return FirmwareAnswer::Uefi;
  if (SomeLineEndsWith(listing, "winload.exe"))
    return FirmwareAnswer::LegacyBios;
  return FirmwareAnswer::NotKnown;
}

}  // namespace

bool StartedThroughUefi(Host& host, const Text& listing) {
  const FirmwareAnswers firmware = host.QueryFirmware();
  const FirmwareAnswer store = StoreEvidence(listing);
  const bool uefi = firmware.reportedType == FirmwareAnswer::Uefi ||
                    firmware.variableProbe == FirmwareAnswer::Uefi || store == FirmwareAnswer::Uefi;
  host.Note(
      Concat({"firmware: reported type ", AnswerText(firmware.reportedType), ", variable probe ",
              AnswerText(firmware.variableProbe), ", loader in the store listing ",
              AnswerText(store), uefi ? "; decided: UEFI" : "; decided: not UEFI"}));
  return uefi;
}

bool PrepareBcdStore(Host& host, const InstallContext& context, const BootConfigPaths& paths,
                     ProgramContext& program) {
  // Plain bcdedit prints identifiers in braces only when the store is readable.
  const Text listing = Concat({context.TempDirSlash, "vk_vt020.txt"});
  BcdBatchStep(host, context, kBcdCommandBatch, Concat({"bcdedit>", listing}));
  const bool storeAnswered = ProbeIntoShared(host, program, listing, "{", false) != kNotFound;
  // Decided before the first change of the store: the import below is one.
  const bool uefi = StartedThroughUefi(host, program.SharedFileText);
  if (!storeAnswered) {
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
  // On UEFI the product adds no entry, so the menu that would show it keeps
  // its own timeout.
  if (!uefi) {
    BcdBatchStep(host, context, kBcdCommandBatch,
                 Concat({"bcdedit /timeout ", BootMenuTimeout(host, context)}));
  }
  return uefi;
}

}  // namespace kvx
