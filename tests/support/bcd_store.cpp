#include "tests/support/bcd_store.h"

#include <algorithm>
#include <cstdio>

#include "tests/support/text_ends.h"

namespace kvx::testing {
namespace {

Text Trimmed(const Text& text) {
  const size_t first = text.find_first_not_of(' ');
  if (first == Text::npos)
    return Text();
  return text.substr(first, text.find_last_not_of(' ') - first + 1);
}

// The settings that the product's commands and templates name; bcdedit
// refuses any other word in the place of a setting.
bool KnownSetting(const Text& name) {
  for (const char* known : {"device", "path", "description", "locale", "osdevice", "systemroot",
                            "inherit", "nx", "bootmenupolicy", "recoveryenabled"}) {
    if (name == known)
      return true;
  }
  return false;
}

Text Padded(const Text& name) {
  Text line = name;
  line.resize(std::max<size_t>(name.size() + 1, 24), ' ');
  return line;
}

}  // namespace

Text BcdEntry::Setting(const Text& name) const {
  for (const auto& [key, value] : settings) {
    if (key == name)
      return value;
  }
  return Text();
}

BcdStore::BcdStore() {
  entries.push_back(
      {"{bootmgr}", "Boot Manager", {{"device", "partition=C:"}, {"description", "Boot Manager"}}});
  entries.push_back({"{current}",
                     "Windows Boot Loader",
                     {{"device", "partition=C:"},
                      {"path", "\\Windows\\system32\\winload.exe"},
                      {"description", "Windows"}}});
  displayOrder = {"{current}"};
}

Text BcdStore::NextId() const {
  char buffer[64];
  std::snprintf(buffer, sizeof buffer, "{5a17c0de-0000-4000-8000-%012d}", counter_ + 1);
  return buffer;
}

Text BcdStore::AddBootSector(const Text& description, const Text& path, bool locked) {
  BcdEntry entry{NextId(), "Boot Sector", {}, locked};
  ++counter_;
  if (!path.empty())
    entry.settings.push_back({"device", "partition=C:"});
  if (!path.empty())
    entry.settings.push_back({"path", path});
  if (!description.empty())
    entry.settings.push_back({"description", description});
  entries.push_back(entry);
  return entry.id;
}

const BcdEntry* BcdStore::Find(const Text& id) const {
  for (const BcdEntry& entry : entries) {
    if (entry.id == id)
      return &entry;
  }
  return nullptr;
}

BcdEntry* BcdStore::Find(const Text& id) {
  return const_cast<BcdEntry*>(static_cast<const BcdStore*>(this)->Find(id));
}

Text BcdStore::Print(const BcdEntry& entry) const {
  Text out = Concat({entry.kind, "\r\n", Text(entry.kind.size(), '-'), "\r\n", Padded("identifier"),
                     entry.id, "\r\n"});
  for (const auto& [name, value] : entry.settings)
    out += Concat({Padded(name), value, "\r\n"});
  if (entry.id == "{bootmgr}") {
    for (size_t i = 0; i < displayOrder.size(); ++i) {
      out += Concat({i == 0 ? Padded("displayorder") : Text(24, ' '), displayOrder[i], "\r\n"});
    }
    out += Concat({Padded("timeout"), timeout, "\r\n"});
  }
  return out;
}

Text BcdStore::Listing() const {
  if (!readable)
    return "The boot configuration data store could not be opened.\r\n";
  Text out = Concat({"\r\n", Print(entries.front())});
  for (const Text& id : displayOrder) {
    if (const BcdEntry* entry = Find(id))
      out += Concat({"\r\n", Print(*entry)});
  }
  return out;
}

Text BcdStore::Enumeration() const {
  if (!readable)
    return "The boot configuration data store could not be opened.\r\n";
  Text out;
  for (const BcdEntry& entry : entries)
    out += Concat({"\r\n", Print(entry)});
  return out;
}

Text BcdStore::Create(const Text& description) {
  if (!readable || refuseCreate)
    return "An error occurred while creating the entry.\r\n";
  BcdEntry entry{NextId(), "Boot Sector", {{"description", description}}};
  ++counter_;
  entries.push_back(entry);
  return Concat({createAnswerLead, " ", entry.id, " created.\r\n"});
}

bool BcdStore::Run(const Text& arguments, bool* known) {
  *known = true;
  if (!readable)
    return false;
  if (StartsWith(arguments, "/timeout ")) {
    timeout = arguments.substr(9);
    return true;
  }
  if (StartsWith(arguments, "/delete ")) {
    Text id = arguments.substr(8);
    if (EndsWith(id, " /cleanup"))
      id.resize(id.size() - 9);
    const BcdEntry* entry = Find(id);
    if (entry == nullptr || entry->locked || id == "{bootmgr}")
      return false;
    entries.erase(entries.begin() + (entry - entries.data()));
    displayOrder.erase(std::remove(displayOrder.begin(), displayOrder.end(), id),
                       displayOrder.end());
    touched.push_back(id);
    return true;
  }
  if (StartsWith(arguments, "/set ")) {
    Text rest = Trimmed(arguments.substr(5));
    Text id = "{current}";
    if (StartsWith(rest, "{")) {
      const size_t idEnd = rest.find(' ');
      if (idEnd == Text::npos)
        return false;
      id = rest.substr(0, idEnd);
      rest = Trimmed(rest.substr(idEnd));
    }
    const size_t nameEnd = rest.find(' ');
    if (nameEnd == Text::npos)
      return false;
    const Text name = rest.substr(0, nameEnd);
    const Text value = Trimmed(rest.substr(nameEnd));
    BcdEntry* entry = Find(id);
    if (entry == nullptr || !KnownSetting(name) || value.empty())
      return false;
    touched.push_back(id);
    for (auto& setting : entry->settings) {
      if (setting.first == name) {
        setting.second = value;
        return true;
      }
    }
    entry->settings.push_back({name, value});
    return true;
  }
  const size_t addLast = arguments.rfind(" /addlast");
  if (StartsWith(arguments, "/displayorder ") && addLast != Text::npos &&
      addLast + 9 == arguments.size()) {
    const Text id = arguments.substr(14, addLast - 14);
    if (Find(id) == nullptr)
      return false;
    displayOrder.erase(std::remove(displayOrder.begin(), displayOrder.end(), id),
                       displayOrder.end());
    displayOrder.push_back(id);
    touched.push_back(id);
    return true;
  }
  *known = false;
  return false;
}

}  // namespace kvx::testing
