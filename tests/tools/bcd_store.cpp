#include "bcd_store.h"

#include <algorithm>
#include <cctype>
#include <cstdio>
#include <cstdlib>
#include <sstream>

#include "text.h"

namespace kvx::bench {

namespace {

const char* const kDisplayOrder[] = {
    "device",
    "path",
    "description",
    "locale",
    "inherit",
    "recoverysequence",
    "recoveryenabled",
    "default",
    "resumeobject",
    "displayorder",
    "toolsdisplayorder",
    "timeout",
    "osdevice",
    "systemroot",
    "nx",
    "bootmenupolicy",
};

const char* const kListElements[] = {"displayorder", "toolsdisplayorder", "bootsequence", "inherit",
                                     "recoverysequence"};

// Further element names that /set takes; bcdedit refuses a name it does not
// know.
const char* const kOtherElements[] = {"bootmenupolicy",
                                      "bootstatuspolicy",
                                      "detecthal",
                                      "pae",
                                      "quietboot",
                                      "winpe",
                                      "ems",
                                      "bootems",
                                      "bootlog",
                                      "testsigning",
                                      "hypervisorlaunchtype"};

bool IsListElement(const std::string& name) {
  for (const char* list : kListElements) {
    if (EqualsIgnoreCase(name, list)) {
      return true;
    }
  }
  return false;
}

bool IsKnownElement(const std::string& name) {
  for (const char* known : kDisplayOrder) {
    if (EqualsIgnoreCase(name, known)) {
      return true;
    }
  }
  for (const char* known : kOtherElements) {
    if (EqualsIgnoreCase(name, known)) {
      return true;
    }
  }
  return IsListElement(name);
}

size_t DisplayRank(const std::string& name) {
  const size_t count = sizeof(kDisplayOrder) / sizeof(kDisplayOrder[0]);
  for (size_t i = 0; i < count; ++i) {
    if (EqualsIgnoreCase(name, kDisplayOrder[i])) {
      return i;
    }
  }
  return count;
}

std::vector<std::string> Words(const std::string& text) {
  std::istringstream stream(text);
  std::vector<std::string> words;
  std::string word;
  while (stream >> word) {
    words.push_back(word);
  }
  return words;
}

std::string JoinWords(const std::vector<std::string>& words, size_t from = 0) {
  std::string text;
  for (size_t i = from; i < words.size(); ++i) {
    text += (i > from ? " " : "") + words[i];
  }
  return text;
}

std::string Padded(const std::string& name) {
  return name.size() < 24 ? name + std::string(24 - name.size(), ' ') : name + " ";
}

bool IsBraced(const std::string& id) {
  return id.size() >= 3 && id.front() == '{' && id.back() == '}';
}

// An identifier in GUID form ({8-4-4-4-12 hex digits}); all others are the
// reserved names such as {bootmgr} and {current}.
bool IsGuid(const std::string& id) {
  static const char kShape[] = "{xxxxxxxx-xxxx-xxxx-xxxx-xxxxxxxxxxxx}";
  if (id.size() != sizeof(kShape) - 1) {
    return false;
  }
  for (size_t i = 0; i < id.size(); ++i) {
    if (kShape[i] == 'x' ? !std::isxdigit(static_cast<unsigned char>(id[i])) : id[i] != kShape[i]) {
      return false;
    }
  }
  return true;
}

const char kDone[] = "The operation completed successfully.\r\n";
const char kBadId[] =
    "The specified entry identifier is not valid.\r\nThe parameter is incorrect.\r\n";
const char kNoEntry[] =
    "An error occurred while attempting to reference the specified entry.\r\n"
    "The system cannot find the file specified.\r\n";
const char kBadArgs[] = "The parameter is incorrect.\r\n";
const char kUnknownElement[] =
    "The element data type specified is not recognized, or does not apply to the specified "
    "entry.\r\nRun \"bcdedit /?\" for command line assistance.\r\n";

}  // namespace

const std::string* BcdEntry::Find(const std::string& name) const {
  for (const auto& element : elements) {
    if (EqualsIgnoreCase(element.first, name)) {
      return &element.second;
    }
  }
  return nullptr;
}

std::string BcdEntry::Element(const std::string& name) const {
  const std::string* value = Find(name);
  return value == nullptr ? std::string() : *value;
}

void BcdEntry::Set(const std::string& name, const std::string& value) {
  for (auto& element : elements) {
    if (EqualsIgnoreCase(element.first, name)) {
      element.second = value;
      return;
    }
  }
  elements.emplace_back(FoldCase(name), value);
}

bool BcdEntry::Remove(const std::string& name) {
  for (auto it = elements.begin(); it != elements.end(); ++it) {
    if (EqualsIgnoreCase(it->first, name)) {
      elements.erase(it);
      return true;
    }
  }
  return false;
}

const BcdEntry* BcdStore::Find(const std::string& id) const {
  return const_cast<BcdStore*>(this)->Find(id);
}

BcdEntry* BcdStore::Find(const std::string& id) {
  std::string wanted = id;
  if (EqualsIgnoreCase(id, "{default}")) {
    BcdEntry* manager = Find("{bootmgr}");
    const std::string* target = manager != nullptr ? manager->Find("default") : nullptr;
    if (target == nullptr) {
      return nullptr;
    }
    wanted = *target;
  }
  for (BcdEntry& entry : entries) {
    if (EqualsIgnoreCase(entry.id, wanted)) {
      return &entry;
    }
  }
  return nullptr;
}

bool ParseBcdStore(const std::string& text, BcdStore* store, std::string* error) {
  *store = BcdStore();
  int lineNumber = 0;
  for (const std::string& line : SplitLines(text)) {
    ++lineNumber;
    const std::string trimmed = Trim(line);
    if (trimmed.empty() || trimmed[0] == '#') {
      continue;
    }
    const std::string where = "line " + std::to_string(lineNumber) + ": ";
    if (line[0] == ' ' || line[0] == '\t') {
      if (store->entries.empty()) {
        *error = where + "element before any entry";
        return false;
      }
      size_t blank = trimmed.find_first_of(" \t");
      std::string name = trimmed.substr(0, blank);
      std::string value = blank == std::string::npos ? "" : Trim(trimmed.substr(blank));
      store->entries.back().elements.emplace_back(name, value);
    } else if (trimmed == "refuse-create") {
      store->refuseCreate = true;
    } else if (trimmed == "unreadable") {
      store->unreadable = true;
    } else if (trimmed.compare(0, 5, "next ") == 0) {
      store->next = std::atoi(trimmed.c_str() + 5);
    } else if (trimmed.compare(0, 14, "create-answer ") == 0) {
      store->createAnswer = Trim(trimmed.substr(14));
    } else {
      std::vector<std::string> words = Words(trimmed);
      const bool locked = words.size() == 3 && words[2] == "locked";
      if ((words.size() != 2 && !locked) || !IsBraced(words[0])) {
        *error = where + "\"{id} type [locked]\" expected";
        return false;
      }
      store->entries.push_back(BcdEntry{words[0], words[1], {}, locked});
    }
  }
  return true;
}

std::string FormatBcdStore(const BcdStore& store) {
  std::string text = "# bench boot configuration store\r\n";
  if (store.refuseCreate) {
    text += "refuse-create\r\n";
  }
  if (store.unreadable) {
    text += "unreadable\r\n";
  }
  text += "next " + std::to_string(store.next) + "\r\n";
  if (!store.createAnswer.empty()) {
    text += "create-answer " + store.createAnswer + "\r\n";
  }
  for (const BcdEntry& entry : store.entries) {
    text += entry.id + " " + entry.type + (entry.locked ? " locked" : "") + "\r\n";
    for (const auto& element : entry.elements) {
      text += "  " + element.first + " " + element.second + "\r\n";
    }
  }
  return text;
}

std::string CreatedId(int n) {
  char id[64];
  std::snprintf(id, sizeof id, "{1fa4e2b0-5c9d-11e2-8d37-%012x}", n);
  return id;
}

std::string EntryHeading(const std::string& type) {
  static const char* const kHeadings[][2] = {
      {"fwbootmgr", "Firmware Boot Manager"},
      {"bootmgr", "Windows Boot Manager"},
      {"osloader", "Windows Boot Loader"},
      {"bootsector", "Real-mode Boot Sector"},
      {"resume", "Resume from Hibernate"},
      {"device", "Device options"},
      {"memdiag", "Windows Memory Tester"},
      {"ntldr", "Windows Legacy OS Loader"},
      {"emssettings", "EMS Settings"},
      {"dbgsettings", "Debugger Settings"},
      {"badmemory", "RAM Defects"},
      {"globalsettings", "Global Settings"},
      {"bootloadersettings", "Boot Loader Settings"},
      {"hypervisorsettings", "Hypervisor Settings"},
      {"resumeloadersettings", "Resume Loader Settings"},
  };
  for (const auto& heading : kHeadings) {
    if (type == heading[0]) {
      return heading[1];
    }
  }
  return type;
}

std::string FormatEntry(const BcdEntry& entry, const std::string& shownId) {
  const std::string heading = EntryHeading(entry.type);
  std::string text = "\r\n" + heading + "\r\n" + std::string(heading.size(), '-') + "\r\n";
  text += Padded("identifier") + (shownId.empty() ? entry.id : shownId) + "\r\n";
  std::vector<std::pair<std::string, std::string>> shown = entry.elements;
  std::stable_sort(shown.begin(), shown.end(), [](const auto& a, const auto& b) {
    return DisplayRank(a.first) < DisplayRank(b.first);
  });
  for (const auto& element : shown) {
    if (IsListElement(element.first)) {
      std::vector<std::string> ids = Words(element.second);
      for (size_t i = 0; i < ids.size(); ++i) {
        text += (i == 0 ? Padded(element.first) : std::string(24, ' ')) + ids[i] + "\r\n";
      }
    } else {
      text += Padded(element.first) + element.second + "\r\n";
    }
  }
  return text;
}

namespace {

// The identifier a listing shows for an entry: {default} for the boot
// manager's default entry when that has a GUID.
std::string ShownId(const BcdStore& store, const BcdEntry& entry) {
  const BcdEntry* manager = store.Find("{bootmgr}");
  const std::string target = manager == nullptr ? "" : manager->Element("default");
  return IsGuid(entry.id) && EqualsIgnoreCase(entry.id, target) ? "{default}" : entry.id;
}

}  // namespace

std::string EnumAll(const BcdStore& store) {
  std::string text;
  for (const BcdEntry& entry : store.entries) {
    text += FormatEntry(entry, ShownId(store, entry));
  }
  return text;
}

std::string EnumActive(const BcdStore& store) {
  BcdStore copy = store;
  BcdEntry* manager = copy.Find("{bootmgr}");
  if (manager == nullptr) {
    return "";
  }
  std::string text = FormatEntry(*manager);
  const std::string* order = manager->Find("displayorder");
  for (const std::string& id : Words(order != nullptr ? *order : "")) {
    if (const BcdEntry* entry = copy.Find(id)) {
      text += FormatEntry(*entry, ShownId(store, *entry));
    }
  }
  return text;
}

namespace {

struct Command {
  BcdStore* store;
  const std::vector<std::string>& args;
  Machine& machine;
  bool* changed;
  std::string* error;
  int* exitCode;

  std::string Fail(const std::string& message) {
    *error = message;
    *exitCode = 1;
    return "";
  }

  std::string Done() {
    *changed = true;
    return kDone;
  }

  // The entry an argument names, or nullptr with the failure set.
  BcdEntry* Entry(const std::string& id) {
    if (!IsBraced(id)) {
      Fail(kBadId);
      return nullptr;
    }
    BcdEntry* entry = store->Find(id);
    if (entry == nullptr) {
      Fail(kNoEntry);
    }
    return entry;
  }

  std::string Enum() {
    if (args.size() <= 1 || EqualsIgnoreCase(args[1], "active")) {
      return EnumActive(*store);
    }
    if (EqualsIgnoreCase(args[1], "all")) {
      return EnumAll(*store);
    }
    if (IsBraced(args[1])) {
      BcdEntry* entry = Entry(args[1]);
      return entry != nullptr ? FormatEntry(*entry, ShownId(*store, *entry)) : "";
    }
    std::string text;
    for (const BcdEntry& entry : store->entries) {
      if (EqualsIgnoreCase(entry.type, args[1])) {
        text += FormatEntry(entry, ShownId(*store, entry));
      }
    }
    return text;
  }

  std::string Create() {
    std::string id, description, application;
    for (size_t i = 1; i < args.size(); ++i) {
      if (EqualsIgnoreCase(args[i], "/d") && i + 1 < args.size()) {
        description = args[++i];
      } else if (EqualsIgnoreCase(args[i], "/application") && i + 1 < args.size()) {
        application = FoldCase(args[++i]);
      } else if (i == 1 && IsBraced(args[i])) {
        id = args[i];
      } else {
        return Fail(kBadArgs);
      }
    }
    std::string type = application;
    if (application.empty() && EqualsIgnoreCase(id, "{ntldr}")) {
      type = "ntldr";
    } else if (application != "bootsector" && application != "osloader" &&
               application != "resume") {
      return Fail(kBadArgs);
    }
    if (description.empty() && type != "ntldr") {
      return Fail(kBadArgs);
    }
    if (store->refuseCreate) {
      return Fail(
          "An error occurred while attempting to create the specified entry.\r\n"
          "Access is denied.\r\n");
    }
    if (id.empty()) {
      do {
        id = CreatedId(store->next++);
      } while (store->Find(id) != nullptr);
    } else if (store->Find(id) != nullptr) {
      return Fail(
          "An error occurred while attempting to create the specified entry.\r\n"
          "Cannot create a file when that file already exists.\r\n");
    }
    BcdEntry entry{id, type, {}};
    if (!description.empty()) {
      entry.Set("description", description);
    }
    store->entries.push_back(entry);
    *changed = true;
    std::string answer = store->createAnswer.empty()
                             ? std::string("The entry {id} was successfully created.")
                             : store->createAnswer;
    const size_t at = answer.find("{id}");
    if (at != std::string::npos) {
      answer.replace(at, 4, id);
    }
    return answer + "\r\n";
  }

  // /set [{id}] element value: without an identifier in braces it acts on
  // the running Windows' entry, {current}.
  std::string Set() {
    std::vector<std::string> words(args.begin() + 1, args.end());
    if (words.empty() || !IsBraced(words[0])) {
      words.insert(words.begin(), "{current}");
    }
    if (words.size() < 3 || (words.size() > 3 && !IsListElement(words[1]))) {
      return Fail(kBadArgs);
    }
    if (!IsKnownElement(words[1])) {
      return Fail(kUnknownElement);
    }
    BcdEntry* entry = Entry(words[0]);
    if (entry == nullptr) {
      return "";
    }
    entry->Set(words[1], IsListElement(words[1]) ? JoinWords(words, 2) : words[2]);
    return Done();
  }

  std::string DeleteValue() {
    if (args.size() != 3) {
      return Fail(kBadArgs);
    }
    BcdEntry* entry = Entry(args[1]);
    if (entry == nullptr) {
      return "";
    }
    if (!entry->Remove(args[2])) {
      return Fail(
          "An error occurred while attempting to delete the specified data element.\r\n"
          "Element not found.\r\n");
    }
    return Done();
  }

  std::string Delete() {
    if (args.size() < 2 || args[1].empty() || args[1][0] == '/') {
      return Fail(kBadArgs);
    }
    bool force = false, cleanup = true;
    for (size_t i = 2; i < args.size(); ++i) {
      if (EqualsIgnoreCase(args[i], "/f")) {
        force = true;
      } else if (EqualsIgnoreCase(args[i], "/cleanup")) {
        cleanup = true;
      } else if (EqualsIgnoreCase(args[i], "/nocleanup")) {
        cleanup = false;
      } else {
        return Fail(kBadArgs);
      }
    }
    BcdEntry* entry = Entry(args[1]);
    if (entry == nullptr) {
      return "";
    }
    if (!IsGuid(entry->id) && !force) {
      return Fail(
          "The specified entry has a reserved identifier; use /f to delete it.\r\n"
          "The parameter is incorrect.\r\n");
    }
    if (entry->locked) {
      return Fail(
          "An error occurred while attempting to delete the specified entry.\r\n"
          "Access is denied.\r\n");
    }
    const std::string id = entry->id;
    store->entries.erase(store->entries.begin() + (entry - store->entries.data()));
    if (cleanup) {
      for (BcdEntry& other : store->entries) {
        for (auto& element : other.elements) {
          if (IsListElement(element.first)) {
            std::vector<std::string> ids = Words(element.second);
            ids.erase(std::remove_if(ids.begin(), ids.end(),
                                     [&](const std::string& x) { return EqualsIgnoreCase(x, id); }),
                      ids.end());
            element.second = JoinWords(ids);
          }
        }
      }
    }
    return Done();
  }

  std::string DisplayOrder() {
    std::vector<std::string> ids;
    std::string how;
    for (size_t i = 1; i < args.size(); ++i) {
      if (EqualsIgnoreCase(args[i], "/addfirst") || EqualsIgnoreCase(args[i], "/addlast") ||
          EqualsIgnoreCase(args[i], "/remove")) {
        how = FoldCase(args[i]);
      } else {
        ids.push_back(args[i]);
      }
    }
    if (ids.empty() || (!how.empty() && ids.size() != 1)) {
      return Fail(kBadArgs);
    }
    BcdEntry* manager = store->Find("{bootmgr}");
    if (manager == nullptr) {
      return Fail(kNoEntry);
    }
    for (std::string& id : ids) {
      BcdEntry* entry = Entry(id);
      if (entry == nullptr) {
        return "";
      }
      id = entry->id;
    }
    const std::string* current = manager->Find("displayorder");
    std::vector<std::string> order = Words(current != nullptr ? *current : "");
    if (!how.empty()) {
      order.erase(std::remove_if(order.begin(), order.end(),
                                 [&](const std::string& x) { return EqualsIgnoreCase(x, ids[0]); }),
                  order.end());
      if (how == "/addfirst") {
        order.insert(order.begin(), ids[0]);
      } else if (how == "/addlast") {
        order.push_back(ids[0]);
      }
    } else {
      order = ids;
    }
    manager->Set("displayorder", JoinWords(order));
    return Done();
  }

  std::string ManagerValue(const std::string& name, bool number) {
    if (args.size() != 2) {
      return Fail(kBadArgs);
    }
    if (number && args[1].find_first_not_of("0123456789") != std::string::npos) {
      return Fail(kBadArgs);
    }
    std::string value = args[1];
    if (!number) {
      BcdEntry* entry = Entry(args[1]);
      if (entry == nullptr) {
        return "";
      }
      value = entry->id;
    }
    BcdEntry* manager = store->Find("{bootmgr}");
    if (manager == nullptr) {
      return Fail(kNoEntry);
    }
    manager->Set(name, value);
    return Done();
  }

  std::string Import() {
    if (args.size() < 2 || args.size() > 3 ||
        (args.size() == 3 && !EqualsIgnoreCase(args[2], "/clean"))) {
      return Fail(kBadArgs);
    }
    std::string text, parseError;
    BcdStore imported;
    if (!machine.ReadFile(args[1], &text)) {
      return Fail(
          "The import operation has failed.\r\nThe system cannot find the file specified.\r\n");
    }
    if (!ParseBcdStore(text, &imported, &parseError)) {
      return Fail("The import operation has failed.\r\nThe data is invalid.\r\n");
    }
    imported.refuseCreate = store->refuseCreate;
    imported.createAnswer = store->createAnswer;
    *store = imported;
    return Done();
  }

  std::string Export() {
    if (args.size() != 2) {
      return Fail(kBadArgs);
    }
    BcdStore copy = *store;
    copy.refuseCreate = false;
    copy.createAnswer.clear();
    if (!machine.WriteFile(args[1], FormatBcdStore(copy))) {
      return Fail(
          "The export operation has failed.\r\nThe system cannot find the path specified.\r\n");
    }
    return kDone;
  }

  std::string Run() {
    const std::string verb = args.empty() ? "/enum" : FoldCase(args[0]);
    if (store->unreadable && verb != "/import") {
      return Fail(
          "The boot configuration data store could not be opened.\r\n"
          "The system cannot find the file specified.\r\n");
    }
    if (verb == "/enum")
      return Enum();
    if (verb == "/create")
      return Create();
    if (verb == "/set")
      return Set();
    if (verb == "/deletevalue")
      return DeleteValue();
    if (verb == "/delete")
      return Delete();
    if (verb == "/displayorder")
      return DisplayOrder();
    if (verb == "/default")
      return ManagerValue("default", false);
    if (verb == "/timeout")
      return ManagerValue("timeout", true);
    if (verb == "/import")
      return Import();
    if (verb == "/export")
      return Export();
    *exitCode = 2;  // not understood, unlike a failure of the real tool
    *error = "The bench's bcdedit does not support " + args[0] + ".\r\n" + kBadArgs;
    return "";
  }
};

}  // namespace

std::string RunBcdCommand(BcdStore* store, const std::vector<std::string>& args, Machine& machine,
                          bool* changed, std::string* error, int* exitCode) {
  *changed = false;
  *exitCode = 0;
  error->clear();
  std::vector<std::string> rest;
  for (const std::string& arg : args) {
    if (!EqualsIgnoreCase(arg, "/v")) {  // identifiers are always shown as stored
      rest.push_back(arg);
    }
  }
  Command command{store, rest, machine, changed, error, exitCode};
  return command.Run();
}

}  // namespace kvx::bench
