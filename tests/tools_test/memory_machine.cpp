#include "memory_machine.h"

#include "tests/tools/text.h"

namespace kvx::bench::testing {

namespace {

bool IsRoot(const std::string& path) {
  return path.size() == 3 && path[1] == ':';
}

bool MatchFrom(const std::string& p, size_t pi, const std::string& n, size_t ni) {
  while (pi < p.size()) {
    if (p[pi] == '*') {
      for (size_t k = ni; k <= n.size(); ++k) {
        if (MatchFrom(p, pi + 1, n, k)) {
          return true;
        }
      }
      return false;
    }
    if (ni >= n.size() || (p[pi] != '?' && p[pi] != n[ni])) {
      return false;
    }
    ++pi;
    ++ni;
  }
  return ni == n.size();
}

}  // namespace

bool WildcardMatch(const std::string& pattern, const std::string& name) {
  const std::string p = FoldCase(pattern);
  const std::string n = FoldCase(name);
  if (MatchFrom(p, 0, n, 0)) {
    return true;
  }
  return p.size() >= 2 && p.compare(p.size() - 2, 2, ".*") == 0 &&
         n.find('.') == std::string::npos && MatchFrom(p.substr(0, p.size() - 2), 0, n, 0);
}

std::string MemoryMachine::Normalise(const std::string& path) const {
  std::string result = path;
  for (char& c : result) {
    if (c == '/') {
      c = '\\';
    }
  }
  if (result.size() < 2 || result[1] != ':') {
    result = Below(cwd_, result);
  }
  while (result.size() > 3 && result.back() == '\\') {
    result.pop_back();
  }
  if (result.size() == 2) {
    result += '\\';
  }
  return result;
}

std::string MemoryMachine::Key(const std::string& normalised) {
  return FoldCase(normalised);
}

const MemoryMachine::Node* MemoryMachine::Lookup(const std::string& path) const {
  auto it = nodes_.find(Key(Normalise(path)));
  return it == nodes_.end() ? nullptr : &it->second;
}

bool MemoryMachine::ParentExists(const std::string& normalised) const {
  std::string parent = FolderOf(normalised);
  if (IsRoot(parent)) {
    return true;
  }
  parent.pop_back();
  auto it = nodes_.find(Key(parent));
  return it != nodes_.end() && it->second.isDir;
}

void MemoryMachine::PutFolder(const std::string& path) {
  const std::string normalised = Normalise(path);
  if (IsRoot(normalised)) {
    return;
  }
  std::string parent = FolderOf(normalised);
  PutFolder(parent);
  Node& node = nodes_[Key(normalised)];
  node.path = normalised;
  node.isDir = true;
  node.attributes |= kDirectory;
}

void MemoryMachine::PutFile(const std::string& path, const std::string& bytes,
                            unsigned attributes) {
  const std::string normalised = Normalise(path);
  PutFolder(FolderOf(normalised));
  nodes_[Key(normalised)] = Node{normalised, false, bytes, attributes};
}

bool MemoryMachine::Has(const std::string& path) const {
  return Lookup(path) != nullptr;
}

std::string MemoryMachine::Content(const std::string& path) const {
  const Node* node = Lookup(path);
  return node != nullptr ? node->bytes : std::string();
}

unsigned MemoryMachine::Attributes(const std::string& path) const {
  const Node* node = Lookup(path);
  return node != nullptr ? node->attributes : 0;
}

bool MemoryMachine::ReadFile(const std::string& path, std::string* bytes) {
  const Node* node = Lookup(path);
  if (node == nullptr || node->isDir) {
    return false;
  }
  *bytes = node->bytes;
  return true;
}

bool MemoryMachine::WriteFile(const std::string& path, const std::string& bytes) {
  const std::string normalised = Normalise(path);
  auto it = nodes_.find(Key(normalised));
  if (it != nodes_.end()) {
    if (it->second.isDir || (it->second.attributes & kReadOnly)) {
      return false;
    }
    it->second.bytes = bytes;
    return true;
  }
  if (!ParentExists(normalised)) {
    return false;
  }
  nodes_[Key(normalised)] = Node{normalised, false, bytes, kArchive};
  return true;
}

bool MemoryMachine::AppendFile(const std::string& path, const std::string& bytes) {
  std::string old;
  ReadFile(path, &old);
  return WriteFile(path, old + bytes);
}

std::vector<DirEntry> MemoryMachine::List(const std::string& pattern) {
  std::vector<DirEntry> entries;
  const std::string normalised = Normalise(pattern);
  const std::string folder = Key(FolderOf(normalised));
  const std::string name = NameOf(normalised);
  for (const auto& [key, node] : nodes_) {
    if (Key(FolderOf(node.path)) == folder && WildcardMatch(name, NameOf(node.path))) {
      entries.push_back({NameOf(node.path), node.isDir});
    }
  }
  return entries;
}

bool MemoryMachine::GetAttributes(const std::string& path, unsigned* attributes) {
  const Node* node = Lookup(path);
  if (node == nullptr) {
    return false;
  }
  *attributes = node->attributes;
  return true;
}

bool MemoryMachine::SetAttributes(const std::string& path, unsigned attributes) {
  auto it = nodes_.find(Key(Normalise(path)));
  if (it == nodes_.end()) {
    return false;
  }
  it->second.attributes = (attributes & (kReadOnly | kHidden | kSystem | kArchive)) |
                          (it->second.isDir ? kDirectory : 0);
  return true;
}

std::string MemoryMachine::GetEnv(const std::string& name) {
  for (const auto& [key, value] : env_) {
    if (EqualsIgnoreCase(key, name)) {
      return value;
    }
  }
  return "";
}

}  // namespace kvx::bench::testing
