// xc: the access-rights tool of the product folder.
//
//   xc path [/t] [/e] [/c] [/y] /g account:rights [account:rights ...]
//
// It records grants instead of changing security descriptors: the file
// xc_grants.txt in the fixture folder holds one line per path, "path<TAB>
// account:rights[ account:rights...]". Without /e a grant replaces what the
// path held (as a new access list does); with /e it is added. /t applies the
// grant to the path and to everything below it.
#include <vector>

#include "doubles.h"
#include "text.h"

namespace kvx::bench {

namespace {

struct Grant {
  std::string path;
  std::string aces;  // "Everyone:f" or several, blank-separated
};

std::vector<Grant> ReadGrants(const std::string& text) {
  std::vector<Grant> grants;
  for (const std::string& line : SplitLines(text)) {
    size_t tab = line.find('\t');
    if (tab != std::string::npos) {
      grants.push_back({line.substr(0, tab), line.substr(tab + 1)});
    }
  }
  return grants;
}

void SetGrant(std::vector<Grant>* grants, const std::string& path, const std::string& aces,
              bool add) {
  for (Grant& grant : *grants) {
    if (EqualsIgnoreCase(grant.path, path)) {
      grant.aces = add ? grant.aces + " " + aces : aces;
      return;
    }
  }
  grants->push_back({path, aces});
}

void CollectTree(Machine& machine, const std::string& folder, std::vector<std::string>* paths) {
  for (const DirEntry& entry : machine.List(Below(folder, "*"))) {
    const std::string path = Below(folder, entry.name);
    paths->push_back(path);
    if (entry.isDir) {
      CollectTree(machine, path, paths);
    }
  }
}

bool ValidAce(const std::string& ace) {
  size_t colon = ace.rfind(':');
  if (colon == std::string::npos || colon == 0 || colon + 1 == ace.size()) {
    return false;
  }
  for (char c : FoldCase(ace.substr(colon + 1))) {
    if (std::string("rwxedcfpon").find(c) == std::string::npos) {
      return false;
    }
  }
  return true;
}

}  // namespace

Result RunXc(const std::string& commandLine, Machine& machine) {
  std::vector<std::string> args = SplitArgs(commandLine);
  std::string target, aces;
  bool tree = false, add = false, yes = false, grantNext = false;
  for (size_t i = 1; i < args.size(); ++i) {
    const std::string arg = FoldCase(args[i]);
    if (arg == "/t") {
      tree = true;
    } else if (arg == "/e") {
      add = true;
    } else if (arg == "/y") {
      yes = true;
    } else if (arg == "/c") {
      // go on after errors: there is nothing here that stops half-way
    } else if (arg == "/g") {
      grantNext = true;
    } else if (grantNext && ValidAce(args[i])) {
      aces += (aces.empty() ? "" : " ") + args[i];
    } else if (target.empty() && arg[0] != '/') {
      target = args[i];
    } else {
      return {"", "xc: invalid argument " + args[i] + "\r\n", 2};
    }
  }
  if (target.empty() || aces.empty()) {
    return {"", "xc: usage: xc path [/t] [/e] [/c] [/y] /g account:rights\r\n", 2};
  }
  if (!add && !yes) {
    // Replacing an access list asks first; a hidden run has nobody to answer.
    std::string answer = machine.ReadStdin();
    if (answer.empty() || (answer[0] != 'y' && answer[0] != 'Y')) {
      return {"Are you sure (Y/N)?", "", 1};
    }
  }

  std::vector<DirEntry> found = machine.List(target);
  if (found.empty()) {
    return {"", "xc: the system cannot find the file specified: " + target + "\r\n", 1};
  }
  std::vector<std::string> paths;
  for (const DirEntry& entry : found) {
    const std::string path = FolderOf(target) + entry.name;
    paths.push_back(path);
    if (tree && entry.isDir) {
      CollectTree(machine, path, &paths);
    }
  }

  const std::string store = FixturePath(machine, "xc_grants.txt");
  std::string text;
  machine.ReadFile(store, &text);
  std::vector<Grant> grants = ReadGrants(text);
  Result result;
  for (const std::string& path : paths) {
    SetGrant(&grants, path, aces, add);
    result.out += "processed: " + path + "\r\n";
  }
  std::string written;
  for (const Grant& grant : grants) {
    written += grant.path + "\t" + grant.aces + "\r\n";
  }
  if (!machine.WriteFile(store, written)) {
    return {"", "xc: cannot write " + store + "\r\n", 1};
  }
  return result;
}

}  // namespace kvx::bench
