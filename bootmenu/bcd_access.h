// Access to the BCD store through bcdedit, and the four building blocks that
// the removal of stale entries and the creation of the product's entry
// repeat. bcdedit always runs from a scratch batch file; its answers are read
// back from the files it was redirected into.
#ifndef KVXCFG_BOOTMENU_BCD_ACCESS_H
#define KVXCFG_BOOTMENU_BCD_ACCESS_H

#include "host/host.h"
#include "host/program_values.h"
#include "survey/records.h"

namespace kvx {

// The scratch batch that every single bcdedit command runs from.
extern const char kBcdCommandBatch[];  // "vk_vt020.bat"

// The batch step: writes a one-line batch (empty first line, the command, a
// line break) to the scratch folder under fileName and runs it by its path.
void BcdBatchStep(Host& host, const InstallContext& context, const Text& fileName,
                  const Text& commandLine);

// Enumerates the whole store into bcd_all.ini and returns the position of
// searchText in it, ignoring case (kNotFound when absent).
int ListBcdStore(Host& host, const InstallContext& context, ProgramContext& program,
                 const Text& searchText);

// Writes to krv_id.ini the identifier of the store entry that holds the last
// line of bcd_all.ini containing searchText (case-sensitive), and returns the
// whole content of krv_id.ini, line break included. When no line contains
// searchText the file keeps what it held (or stays missing).
Text ExtractEntryId(Host& host, const InstallContext& context, ProgramContext& program,
                    const Text& batchFileName, const Text& searchText);

// Joins every "}" that ends a line of the scratch batch with the line after
// it, so that a command into which an identifier and its line break were
// spliced is one line again.
void JoinAfterBrace(Host& host, const InstallContext& context, const Text& batchFileName);

// Exports the store to BCD.before in the product folder, unless a copy is
// there from an earlier installation.
void KeepStoreAsItWas(Host& host, const InstallContext& context);

// Decides, once, whether this Windows started through UEFI: from the
// firmware's two answers (QueryFirmware) and from the store's listing made by
// plain bcdedit (a loader path ending in winload.efi). Any one answer of UEFI
// is enough. The log gets the three answers and the decision.
bool StartedThroughUefi(Host& host, const Text& listing);

// Makes sure the store answers (imports the active partition's store file
// when plain bcdedit lists no identifier), decides whether this Windows
// started through UEFI, puts a bcdedit.exe where 32-bit programs find it on
// 64-bit Windows, keeps the store as it was, and, unless on UEFI, sets the
// boot menu timeout. Returns whether this Windows started through UEFI.
bool PrepareBcdStore(Host& host, const InstallContext& context, const BootConfigPaths& paths,
                     ProgramContext& program);

}  // namespace kvx

#endif  // KVXCFG_BOOTMENU_BCD_ACCESS_H
