// attrib: shows or changes file attributes.
//
//   attrib [+r|-r] [+a|-a] [+s|-s] [+h|-h] [path ...] [/s] [/d]
//
// Wine's own attrib applies only the last of several flags; this one applies
// all of them, in one change per entry. Wildcards select files (and folders
// with /d); a path without wildcards may name a folder. As on Windows, an
// entry that is hidden or system keeps its attributes unless the command
// names +h/-h or +s/-s ("Not resetting hidden file"). Without flags it lists
// the entries, one per line: "A" in column 1, "S", "H" and "R" in columns 4
// to 6, the path from column 14.
#include <vector>

#include "doubles.h"
#include "text.h"

namespace kvx::bench {

namespace {

struct Change {
  unsigned set = 0;
  unsigned clear = 0;
};

bool HasWildcard(const std::string& path) {
  return NameOf(path).find_first_of("*?") != std::string::npos;
}

std::string Listing(unsigned attributes, const std::string& path) {
  std::string columns = "             ";
  if (attributes & kArchive)
    columns[0] = 'A';
  if (attributes & kSystem)
    columns[3] = 'S';
  if (attributes & kHidden)
    columns[4] = 'H';
  if (attributes & kReadOnly)
    columns[5] = 'R';
  return columns + path + "\r\n";
}

void Apply(Machine& machine, const std::string& path, const Change& change, bool listOnly,
           Result* result) {
  unsigned attributes = 0;
  if (!machine.GetAttributes(path, &attributes)) {
    return;
  }
  if (listOnly) {
    result->out += Listing(attributes, path);
    return;
  }
  const unsigned guarded = kHidden | kSystem;
  if ((attributes & guarded) && !((change.set | change.clear) & guarded)) {
    result->out += std::string(attributes & kSystem ? "Not resetting system file - "
                                                    : "Not resetting hidden file - ") +
                   path + "\r\n";
    return;
  }
  unsigned updated = ((attributes | change.set) & ~change.clear) & ~kDirectory;
  if (!machine.SetAttributes(path, updated)) {
    result->err += "Access denied - " + path + "\r\n";
  }
}

// The entries that pattern names in its folder and, with /s, below it.
// Returns how many were handled.
size_t Walk(Machine& machine, const std::string& folder, const std::string& name, bool subfolders,
            bool folders, const Change& change, bool listOnly, Result* result) {
  size_t handled = 0;
  const std::string pattern = folder + name;
  const bool wildcard = HasWildcard(pattern);
  for (const DirEntry& entry : machine.List(pattern)) {
    if (entry.isDir && wildcard && !folders) {
      continue;
    }
    Apply(machine, folder + entry.name, change, listOnly, result);
    ++handled;
  }
  if (subfolders) {
    for (const DirEntry& entry : machine.List(folder + "*")) {
      if (entry.isDir) {
        handled += Walk(machine, Below(folder + entry.name, ""), name, true, folders, change,
                        listOnly, result);
      }
    }
  }
  return handled;
}

}  // namespace

Result RunAttrib(const std::string& commandLine, Machine& machine) {
  std::vector<std::string> args = SplitArgs(commandLine);
  Change change;
  bool subfolders = false, folders = false;
  std::vector<std::string> paths;
  for (size_t i = 1; i < args.size(); ++i) {
    const std::string arg = FoldCase(args[i]);
    if (arg.size() == 2 && (arg[0] == '+' || arg[0] == '-')) {
      const unsigned bit = arg[1] == 'r'   ? kReadOnly
                           : arg[1] == 'h' ? kHidden
                           : arg[1] == 's' ? kSystem
                           : arg[1] == 'a' ? kArchive
                                           : 0u;
      if (bit == 0) {
        return {"", "Parameter format not correct - " + args[i] + "\r\n", 2};
      }
      (arg[0] == '+' ? change.set : change.clear) |= bit;
      (arg[0] == '+' ? change.clear : change.set) &= ~bit;
    } else if (arg == "/s") {
      subfolders = true;
    } else if (arg == "/d") {
      folders = true;
    } else if (!arg.empty() && arg[0] != '/') {
      paths.push_back(args[i]);
    } else {
      return {"", "Parameter format not correct - " + args[i] + "\r\n", 2};
    }
  }
  if (paths.empty()) {
    paths.push_back(Below(machine.CurrentDir(), "*"));
  }
  const bool listOnly = change.set == 0 && change.clear == 0;

  Result result;
  for (const std::string& path : paths) {
    if (Walk(machine, FolderOf(path), NameOf(path), subfolders, folders, change, listOnly,
             &result) == 0) {
      result.err += "File not found - " + path + "\r\n";
      result.code = 1;
    }
  }
  return result;
}

}  // namespace kvx::bench
