#include "machine.h"

namespace kvx::bench {

std::string FolderOf(const std::string& path) {
  size_t slash = path.find_last_of("\\/");
  if (slash != std::string::npos) {
    return path.substr(0, slash + 1);
  }
  if (path.size() >= 2 && path[1] == ':') {
    return path.substr(0, 2);
  }
  return "";
}

std::string NameOf(const std::string& path) {
  return path.substr(FolderOf(path).size());
}

std::string Below(const std::string& folder, const std::string& name) {
  if (folder.empty() || folder.back() == '\\' || folder.back() == '/' ||
      (folder.size() == 2 && folder[1] == ':')) {
    return folder + name;
  }
  return folder + "\\" + name;
}

}  // namespace kvx::bench
