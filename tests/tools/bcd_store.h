// The bench's boot configuration store and the bcdedit commands on it.
//
// The store is a text file, bcd_store.txt in the fixture folder; /export
// writes and /import reads the same format:
//
//   # comment
//   refuse-create                   creation fails (a user without rights)
//   unreadable                      every command but /import fails
//   next 3                          counter of the identifiers /create makes
//   create-answer Entry {id} created.
//                                   the answer to a creation, {id} standing
//                                   for the identifier (default: the English
//                                   "The entry {id} was successfully created.")
//   {bootmgr} bootmgr               an entry: identifier and type
//   {1fa4...} bootsector locked     an entry that no delete removes
//     description Windows Boot Manager
//     displayorder {current} {1fa4e2b0-5c9d-11e2-8d37-000000000001}
//     timeout 30
//
// Element lines are indented; the name is one word and the value the rest
// of the line, as bytes. List elements (displayorder, toolsdisplayorder)
// hold their identifiers separated by blanks. A missing store file reads as
// unreadable. /import keeps the refuse-create and create-answer switches of
// the store it replaces, so a machine without rights stays so and bcdedit
// keeps its language; /export writes neither.
#ifndef KVX_BENCH_BCD_STORE_H
#define KVX_BENCH_BCD_STORE_H

#include <string>
#include <utility>
#include <vector>

#include "machine.h"

namespace kvx::bench {

struct BcdEntry {
  std::string id;    // "{bootmgr}", "{current}", "{1fa4e2b0-...}"
  std::string type;  // bootmgr, osloader, bootsector, ... (see EntryHeading)
  std::vector<std::pair<std::string, std::string>> elements;
  bool locked = false;  // every delete of it fails

  const std::string* Find(const std::string& name) const;
  std::string Element(const std::string& name) const;  // empty when not set
  void Set(const std::string& name, const std::string& value);
  bool Remove(const std::string& name);
};

struct BcdStore {
  bool refuseCreate = false;
  bool unreadable = false;
  int next = 1;
  std::string createAnswer;  // empty: the English answer
  std::vector<BcdEntry> entries;

  BcdEntry* Find(const std::string& id);  // ids compare without regard to case
  const BcdEntry* Find(const std::string& id) const;
};

bool ParseBcdStore(const std::string& text, BcdStore* store, std::string* error);
std::string FormatBcdStore(const BcdStore& store);

// The identifier that the n-th creation makes: {1fa4e2b0-5c9d-11e2-8d37-00000000000n}
// with n in twelve hexadecimal digits.
std::string CreatedId(int n);

// The heading of an entry's block in bcdedit's listing ("Windows Boot
// Manager", "Real-mode Boot Sector", ...); unknown types show as they are.
std::string EntryHeading(const std::string& type);

// The listing as bcdedit prints it in English: per entry a blank line, the
// heading, a dashed line as long as the heading, "identifier" and each
// element, names padded to 24 columns; further identifiers of a list element
// on lines of their own, indented to the value column. Elements are shown in
// bcdedit's order (device, path, description, ...), unknown ones last. As
// bcdedit does, the listings show the boot manager's default entry with the
// identifier {default} when it has a GUID of its own.
std::string FormatEntry(const BcdEntry& entry, const std::string& shownId = "");
// "/enum all": every entry in store order. Bare bcdedit ("/enum active"):
// {bootmgr}, then the entries of its display order.
std::string EnumAll(const BcdStore& store);
std::string EnumActive(const BcdStore& store);

// Runs one bcdedit command (its arguments without the program name) on the
// store. Returns the output; sets *changed when the store must be saved.
// *exitCode is 0 on success, 1 on failure (message in *error), 2 for a
// command the bench does not know.
// Import and export go through the machine.
std::string RunBcdCommand(BcdStore* store, const std::vector<std::string>& args, Machine& machine,
                          bool* changed, std::string* error, int* exitCode);

}  // namespace kvx::bench

#endif  // KVX_BENCH_BCD_STORE_H
