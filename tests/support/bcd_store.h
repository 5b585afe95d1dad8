// A small simulated BCD store for the tests: entries with an identifier, a
// kind and their settings, the display order and the timeout, printed the
// way the tests' bcdedit prints them, and the bcdedit commands that the boot
// menu registration runs.
#ifndef KVXCFG_TESTS_SUPPORT_BCD_STORE_H
#define KVXCFG_TESTS_SUPPORT_BCD_STORE_H

#include <utility>
#include <vector>

#include "host/text.h"

namespace kvx::testing {

struct BcdEntry {
  Text id;                                      // "{...}"
  Text kind;                                    // heading, e.g. "Boot Sector"
  std::vector<std::pair<Text, Text>> settings;  // name and value, in order
  bool locked = false;                          // every delete of it fails

  Text Setting(const Text& name) const;  // empty when not set
};

class BcdStore {
 public:
  // A store with the boot manager and the running Windows ({current}), shown
  // in the menu, timeout 30.
  BcdStore();

  // False: the store cannot be opened, bcdedit prints an error without braces.
  bool readable = true;
  // True: bcdedit refuses to create entries.
  bool refuseCreate = false;
  // The words before the identifier in bcdedit's answer to a creation
  // ("Entry" makes the identifier the second word of the answer).
  Text createAnswerLead = "Entry";

  std::vector<BcdEntry> entries;  // the boot manager first
  std::vector<Text> displayOrder;
  Text timeout = "30";

  // Adds a boot-sector entry with the given description and path (either may
  // be empty to leave it out); returns its identifier.
  Text AddBootSector(const Text& description, const Text& path, bool locked = false);
  // The identifier that the next added or created entry gets.
  Text NextId() const;
  const BcdEntry* Find(const Text& id) const;
  BcdEntry* Find(const Text& id);

  // What plain "bcdedit" prints: the boot manager and the entries of the menu.
  Text Listing() const;
  // What "bcdedit /enum all" prints: every entry.
  Text Enumeration() const;
  // "bcdedit /create /d <description> /application bootsector": the answer.
  Text Create(const Text& description);
  // The other commands: "/timeout N", "/delete ID [/cleanup]",
  // "/set [ID] NAME VALUE", "/displayorder ID /addlast". As with the real
  // tool, a /set whose first word is not an identifier in braces acts on the
  // running Windows ({current}), and NAME must be a known setting. False when
  // bcdedit fails or does not know the form (then *known is false too).
  bool Run(const Text& arguments, bool* known);

  // The identifier of every entry that a delete, set or display-order change
  // acted on, in order.
  std::vector<Text> touched;

 private:
  Text Print(const BcdEntry& entry) const;
  int counter_ = 0;
};

}  // namespace kvx::testing

#endif  // KVXCFG_TESTS_SUPPORT_BCD_STORE_H
