#include "machine.h"

#include "text.h"

namespace kvx::bench {

std::string FolderOf(const std::string& path) {
  // The last separator that is a character of its own: the byte of a
  // backslash is also the trail byte of many double-byte characters.
  const std::vector<bool> trail = TrailBytes(path);
  size_t slash = std::string::npos;
  for (size_t i = 0; i < path.size(); ++i) {
    if ((path[i] == '\\' || path[i] == '/') && !trail[i]) {
      slash = i;
    }
  }
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
  // A trail byte that looks like a backslash ends a character, not the folder.
  const bool separatorAtEnd = !folder.empty() && (folder.back() == '\\' || folder.back() == '/') &&
                              !TrailBytes(folder).back();
  if (folder.empty() || separatorAtEnd || (folder.size() == 2 && folder[1] == ':')) {
    return folder + name;
  }
  return folder + "\\" + name;
}

}  // namespace kvx::bench
