#include "tests/support/tool_machine.h"

#include "tests/tools/doubles.h"
#include "tests/tools/text.h"

namespace kvx::testing {
namespace {

// Windows takes either slash; the scripted machine knows backslashes.
std::string Backslashed(std::string path) {
  for (char& c : path) {
    if (c == '/')
      c = '\\';
  }
  return path;
}

}  // namespace

ToolMachine::ToolMachine() : own_(std::make_unique<ScriptedHost>()), host_(*own_) {
  host_.SetCurrentFolder("C:");
}

ToolMachine::ToolMachine(ScriptedHost& host) : host_(host) {}

void ToolMachine::PutFile(const std::string& path, const std::string& bytes, unsigned attributes) {
  host_.PutFile(Backslashed(path), bytes, static_cast<int>(attributes & ~bench::kDirectory));
}

void ToolMachine::SetCurrentDir(const std::string& dir) {
  std::string folder = Backslashed(dir);
  while (folder.size() > 2 && folder.back() == '\\')
    folder.pop_back();
  host_.SetCurrentFolder(folder);
}

unsigned ToolMachine::Attributes(const std::string& path) const {
  if (!host_.Exists(path))
    return 0;
  return static_cast<unsigned>(host_.Attributes(path)) |
         (host_.IsFolder(path) ? bench::kDirectory : 0u);
}

bool ToolMachine::ReadFile(const std::string& path, std::string* bytes) {
  const std::string where = Backslashed(path);
  if (!host_.Exists(where) || host_.IsFolder(where))
    return false;
  *bytes = host_.Content(where);
  return true;
}

bool ToolMachine::WriteFile(const std::string& path, const std::string& bytes) {
  const std::string where = host_.Absolute(Backslashed(path));
  if (host_.Exists(where)) {
    if (host_.IsFolder(where) || (host_.Attributes(where) & bench::kReadOnly))
      return false;
    host_.PutFile(where, bytes, host_.Attributes(where));
  } else {
    if (!host_.IsFolder(bench::FolderOf(where)))
      return false;
    host_.PutFile(where, bytes, bench::kArchive);
  }
  if (onChange)
    onChange(where);
  return true;
}

bool ToolMachine::AppendFile(const std::string& path, const std::string& bytes) {
  std::string old;
  ReadFile(path, &old);
  return WriteFile(path, old + bytes);
}

std::vector<bench::DirEntry> ToolMachine::List(const std::string& pattern) {
  const std::string where = host_.Absolute(Backslashed(pattern));
  const std::string name = bench::NameOf(where);
  std::vector<bench::DirEntry> entries;
  for (const std::string& child : host_.ChildrenOf(bench::FolderOf(where))) {
    if (bench::WildcardMatch(name, bench::NameOf(child)))
      entries.push_back({bench::NameOf(child), host_.IsFolder(child)});
  }
  return entries;
}

bool ToolMachine::GetAttributes(const std::string& path, unsigned* attributes) {
  const std::string where = Backslashed(path);
  if (!host_.Exists(where))
    return false;
  *attributes = Attributes(where);
  return true;
}

bool ToolMachine::SetAttributes(const std::string& path, unsigned attributes) {
  const std::string where = host_.Absolute(Backslashed(path));
  if (!host_.Exists(where))
    return false;
  const unsigned kept = bench::kReadOnly | bench::kHidden | bench::kSystem | bench::kArchive;
  host_.PutAttributes(where, static_cast<int>(attributes & kept));
  if (onChange)
    onChange(where);
  return true;
}

std::string ToolMachine::GetEnv(const std::string& name) {
  const std::string value = host_.EnvValue(name);
  if (value.empty() && bench::EqualsIgnoreCase(name, bench::kDirVariable))
    return kFixtureFolder;
  return value;
}

std::string ToolMachine::CurrentDir() {
  const std::string folder = host_.CurrentFolderPath();
  return folder.size() == 2 ? folder + "\\" : folder;
}

}  // namespace kvx::testing
