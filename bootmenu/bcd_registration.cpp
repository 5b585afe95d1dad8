// The product's entry in the BCD store: store access and timeout, removal of
// the entries that earlier installations left, creation of the new entry from
// the product's template, and its verification; on a PC that started through
// UEFI, no new entry and a notice instead.
#include "bootmenu/bcd_access.h"
#include "bootmenu/bootmenu.h"
#include "host/scratch.h"
#include "host/tools.h"

namespace kvx {
namespace {

bool IsHexDigit(char c) {
  return (c >= '0' && c <= '9') || (c >= 'a' && c <= 'f') || (c >= 'A' && c <= 'F');
}

// The text read back from krv_id.ini without the line breaks and blanks that
// end it.
Text IdentifierOf(const Text& entryIdText) {
  const size_t end = entryIdText.find_last_not_of(" \r\n");
  return end == Text::npos ? Text() : entryIdText.substr(0, end + 1);
}

// True when the text read back from krv_id.ini is one identifier as bcdedit
// gives a created entry: a GUID in braces, then nothing but line breaks or
// blanks.
bool IsEntryGuid(const Text& entryIdText) {
  const Text id = IdentifierOf(entryIdText);
  const char shape[] = "{........-....-....-....-............}";
  if (id.size() != sizeof shape - 1)
    return false;
  for (size_t i = 0; i < id.size(); ++i) {
    if (shape[i] == '.' ? !IsHexDigit(id[i]) : id[i] != shape[i])
      return false;
  }
  return true;
}

// True when the text read back names an entry whose lines, in the
// enumeration that the extraction searched, hold the search text (in any
// case): the lines from an occurrence of the identifier to the blank line
// that ends its entry. An identifier that krv_id.ini kept from before, or a
// damaged one, names no such entry.
bool ListedWith(const Text& enumeration, const Text& entryIdText, const Text& searchText) {
  const Text id = IdentifierOf(entryIdText);
  if (id.empty())
    return false;
  for (size_t from = 0;;) {
    const int at = FindText(enumeration.substr(from), id, false);
    if (at == kNotFound)
      return false;
    const size_t start = from + static_cast<size_t>(at);
    const size_t end = enumeration.find("\r\n\r\n", start);
    const Text lines = enumeration.substr(start, end == Text::npos ? Text::npos : end - start);
    if (FindText(lines, searchText, true) != kNotFound)
      return true;
    from = start + id.size();
  }
}

// Guards against a delete that names another entry, or runs further lines.
// The identifier text that a delete may name is the text read back when it
// names an entry of the product, listed with the search text, by a GUID or "{default}" (how bcdedit
// lists a default entry); else the empty text, which names no entry, as at a
// first installation. Anything else is what krv_id.ini kept from before, or
// damage: its further lines would run as commands, and another entry's
// identifier (the running Windows' {current}) would delete that entry.
Text DeletableIdentifier(const Text& entryIdText, const Text& enumeration, const Text& searchText) {
  const bool deletable = IsEntryGuid(entryIdText) || IdentifierOf(entryIdText) == "{default}";
  return deletable && ListedWith(enumeration, entryIdText, searchText) ? entryIdText : Text();
}

// A delete that does not take effect is tried again, but not for ever.
constexpr int kMostStalePasses = 21;

// Deletes the entries whose enumeration lines hold searchText: extract the
// identifier, write the delete batch, join the identifier's line break away,
// run it, enumerate again. At least one pass, even when the enumeration of the
// previous run no longer holds the text; at most kMostStalePasses.
void RemoveStaleEntries(Host& host, const InstallContext& context, ProgramContext& program,
                        const Text& searchText, const Text& idBatch, const Text& deleteBatch) {
  int stalePos = 1;
  int passCount = 0;
  // The enumeration that the extraction searches: at the first pass what the
  // file already holds, then each pass's fresh one.
  Text enumeration = ReadIntoShared(host, program, context.BcdAllIniPath, kReadOnly);
  while (stalePos != kNotFound) {
    const Text readBack = ExtractEntryId(host, context, program, idBatch, searchText);
    const Text entryIdText = DeletableIdentifier(readBack, enumeration, searchText);
    if (entryIdText != readBack && !IdentifierOf(readBack).empty()) {
      host.Note(Concat({"identifier ", IdentifierOf(readBack), " not deleted: ",
                        IsEntryGuid(readBack) || IdentifierOf(readBack) == "{default}"
                            ? Concat({"not listed with \"", searchText, "\""})
                            : Text("not an entry's identifier")}));
    }
    const Text deletePath = Concat({context.TempDirSlash, deleteBatch});
    host.WriteWholeFile(
        deletePath,
        TextToBytes(OneLineBatch(Concat({"bcdedit /delete ", entryIdText, " /cleanup"}))));
    JoinAfterBrace(host, context, deleteBatch);
    host.RunCommand(deletePath);
    stalePos = ListBcdStore(host, context, program, searchText);
    enumeration = program.SharedFileText;
    ++passCount;
    if (passCount >= kMostStalePasses)
      break;
  }
}

// Guards against the batch's interpreter taking the loop's ">" and "&&".
// The one batch line run through the interpreter prefix; its loop variable
// keeps the doubled percent signs of a batch file. Unquoted, the interpreter
// that runs the batch would empty krv_id.ini before the loop reads it and run
// the bcdedit commands outside the loop, without an identifier, so that the
// entry never reached the display order; the loop therefore goes to the inner
// interpreter in quotation marks.
Text EntrySettingsLine(const InstallContext& context) {
  return Concat({context.ShellPrefix, "\"for /f \"tokens=2\" %%i in (", context.IdIniPath,
                 ") do echo %%i>", context.IdIniPath,
                 "&&bcdedit /set %%i device partition=C:&&bcdedit /set %%i path ",
                 context.LoaderMbrNameRooted, "&&bcdedit /displayorder %%i /addlast\""});
}

// Guards against the template's settings acting on another entry.
// They go only to the entry that the identifier names, a GUID listed with the
// title.
// With an empty identifier "bcdedit /set  path \kvldr.mbr" acts on the
// running Windows' own entry. Without one they are left out, and the loader
// check tells the user.
bool MayCompleteFromTemplate(const Text& entryIdText, const Text& enumeration, const Text& title) {
  return IsEntryGuid(entryIdText) && ListedWith(enumeration, entryIdText, title);
}

// The new entry's identifier read back from the enumeration, when the
// template may complete the entry it names; else empty. The log names it.
Text TemplateEntryId(Host& host, const InstallContext& context, ProgramContext& program,
                     const Text& enumeration) {
  const Text entryIdText =
      ExtractEntryId(host, context, program, "vk_vt01a.bat", context.ProductTitle);
  host.Note(Concat({"entry identifier read back: \"", IdentifierOf(entryIdText), "\""}));
  if (MayCompleteFromTemplate(entryIdText, enumeration, context.ProductTitle))
    return entryIdText;
  host.Note("the template BCD_SET is left out: the identifier names no entry with the title");
  return Text();
}

void ShowEntryNotWritten(Host& host, const Text& name) {
  host.ShowMessage(Concat({"BCD的本软件启动项 ", name,
                           " 写入失败，按【确认】继续\r\n"
                           "请保证当前用户属于管理员组并且已经关闭UAC，再尝试重新安装本软件"}),
                   kStyleInformation);
}

// Creates the product's boot-sector entry, completes it from the BCD_SET
// template with the identifier read back from the store, checks it twice and
// exports the store.
void CreateEntry(Host& host, const InstallContext& context, ProgramContext& program) {
  BcdBatchStep(host, context, kBcdCommandBatch,
               Concat({"bcdedit /create /d \"", context.ProductTitle, "\" /application bootsector>",
                       context.IdIniPath}));
  BcdBatchStep(host, context, "vk_vt024.bat", EntrySettingsLine(context));

  const bool titleListed = ListBcdStore(host, context, program, context.ProductTitle) != kNotFound;
  const Text enumeration = program.SharedFileText;
  if (!titleListed) {
    ShowEntryNotWritten(host, context.ProductName);
  } else if (const Text entryIdText = TemplateEntryId(host, context, program, enumeration);
             !entryIdText.empty()) {
    const Text templateBatch = Concat({context.TempDirSlash, "vk_vt01s.bat"});
    host.RunCommand(CopyCommand(context.ShellPrefix, Concat({context.ProductDirSlash, "BCD_SET"}),
                                templateBatch));
    // Every {REALID} becomes the identifier with its line break; the join then
    // closes those line breaks again.
    host.RunCommand(FrCommand(context.ProductDirSlash, templateBatch, "{REALID}", entryIdText));
    JoinAfterBrace(host, context, "vk_vt01s.bat");
    host.RunCommand(templateBatch);
  }

  if (ListBcdStore(host, context, program, context.LoaderMbrName) == kNotFound) {
    ShowEntryNotWritten(host, context.LoaderMbrName);
  } else {
    BcdBatchStep(host, context, kBcdCommandBatch,
                 Concat({"bcdedit /export ", context.ProductDirSlash, "BCD"}));
  }
}

// The store's last listing, left for the next installation, which starts its
// removal of stale entries on it; and the .sdr files of the active and the
// system drive, kept in the product folder.
void FinishStore(Host& host, const InstallContext& context) {
  BcdBatchStep(host, context, kBcdCommandBatch,
               Concat({"bcdedit /enum all >", context.BcdAllIniPath}));
  for (const Text& drive : {context.ActiveDrive, context.SystemDrive}) {
    host.RunCommand(Concat({context.ShellPrefix, "xcopy /k /h /r /c /y ", drive, "\\*.sdr ",
                            context.ProductDirSlash}));
  }
}

// Guards against an entry that cannot start, reported as installed.
// A boot manager that UEFI firmware started does not run real-mode boot
// sectors (they need BIOS services), so on UEFI no entry is created and the
// menu is left as it was; the user is told once that boot-time restore is
// not available on this PC and that the rest is installed. krv_id.ini held
// the last entry removed, which no longer exists; without it the next
// installation starts as a first one.
void LeaveNoEntryOnUefi(Host& host, const InstallContext& context) {
  host.Note("no boot entry: a boot manager started through UEFI does not start boot sectors");
  host.DeleteFile(context.IdIniPath);
  host.ShowMessage(
      "本机以UEFI方式启动，无法在开机菜单中加入本软件启动项，开机还原功能在本机上不可用。\r\n"
      "本软件的其它部分已正常安装。",
      kStyleInformation);
}

}  // namespace

void RegisterBcdEntry(Host& host, const InstallContext& context, const BootConfigPaths& paths,
                      ProgramContext& program) {
  const bool uefi = PrepareBcdStore(host, context, paths, program);
  RemoveStaleEntries(host, context, program, context.LoaderMbrName, "vk_vt01p.bat", "vk_vt01q.bat");
  RemoveStaleEntries(host, context, program, context.ProductName, "vk_vt01x.bat", "vk_vt01y.bat");
  if (uefi) {
    LeaveNoEntryOnUefi(host, context);
  } else {
    CreateEntry(host, context, program);
  }
  FinishStore(host, context);
}

}  // namespace kvx
