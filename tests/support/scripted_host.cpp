#include "tests/support/scripted_host.h"

#include <algorithm>
#include <cstdio>

#include "tests/tools/ini.h"
#include "tests/tools/text.h"

namespace kvx::testing {
namespace {

// Path separators are backslashes that stand as characters of their own; the
// byte 5C is also the trail byte of many double-byte characters.
std::vector<size_t> Separators(const Text& path) {
  const std::vector<bool> trail = bench::TrailBytes(path);
  std::vector<size_t> separators;
  for (size_t i = 0; i < path.size(); ++i) {
    if (path[i] == '\\' && !trail[i])
      separators.push_back(i);
  }
  return separators;
}

size_t LastSeparator(const Text& path) {
  const std::vector<size_t> separators = Separators(path);
  return separators.empty() ? Text::npos : separators.back();
}

// Drops trailing separators, but not from a drive root such as "C:".
void DropTrailingSeparators(Text& path) {
  while (path.size() > 2 && path.back() == '\\' && LastSeparator(path) == path.size() - 1)
    path.pop_back();
}

std::string StyleText(int style) {
  char buffer[16];
  std::snprintf(buffer, sizeof buffer, "0x%02X", style);
  return buffer;
}

}  // namespace

ScriptedHost::ScriptedHost() {
  AddDrive("C:");
}

// --- Setting up ---

void ScriptedHost::SetEnv(const Text& name, const Text& value) {
  env_[bench::UpperCase(name)] = value;
  envNames_[bench::UpperCase(name)] = name;
}

void ScriptedHost::UnsetEnv(const Text& name) {
  env_.erase(bench::UpperCase(name));
  envNames_.erase(bench::UpperCase(name));
}

void ScriptedHost::SetRegistry(int root, const Text& path, const Text& value) {
  registry_[{root, bench::UpperCase(path)}] = value;
}

void ScriptedHost::UnsetRegistry(int root, const Text& path) {
  registry_.erase({root, bench::UpperCase(path)});
}

void ScriptedHost::AddDrive(const Text& drive) {
  Node node;
  node.path = drive;
  node.folder = true;
  nodes_[Key(drive)] = node;
}

void ScriptedHost::PutFolder(const Text& path) {
  const Text absolute = Absolute(path);
  std::vector<size_t> ends = Separators(absolute);
  ends.push_back(absolute.size());
  for (const size_t end : ends) {
    const Text part = absolute.substr(0, end);
    if (!part.empty() && nodes_.count(Key(part)) == 0) {
      Node node;
      node.path = part;
      node.folder = true;
      nodes_[Key(part)] = node;
    }
  }
}

void ScriptedHost::PutFile(const Text& path, const Text& content, int attributes) {
  const Text absolute = Absolute(path);
  const size_t slash = LastSeparator(absolute);
  if (slash != Text::npos)
    PutFolder(absolute.substr(0, slash));
  Node& node = nodes_[Key(absolute)];
  if (node.path.empty())
    node.path = absolute;
  node.folder = false;
  node.content = content;
  node.attributes = attributes;
}

void ScriptedHost::RemovePath(const Text& path) {
  nodes_.erase(Key(Absolute(path)));
}

void ScriptedHost::PutAttributes(const Text& path, int attributes) {
  Node* node = Find(path);
  if (node != nullptr)
    node->attributes = attributes;
}

void ScriptedHost::SetShortForm(const Text& path, const Text& shortForm) {
  shortForms_[Key(Absolute(path))] = shortForm;
}

void ScriptedHost::AnswerMessages(const std::vector<int>& answers) {
  answers_.insert(answers_.end(), answers.begin(), answers.end());
}

void ScriptedHost::OnCommand(const Text& exactLine, Effect effect) {
  OnCommandWhere([exactLine](const Text& line) { return line == exactLine; }, std::move(effect));
}

void ScriptedHost::OnCommandPrefix(const Text& prefix, Effect effect) {
  OnCommandWhere([prefix](const Text& line) { return line.compare(0, prefix.size(), prefix) == 0; },
                 std::move(effect));
}

void ScriptedHost::OnCommandWhere(std::function<bool(const Text&)> test, Effect effect) {
  effects_.push_back({std::move(test), std::move(effect)});
}

// --- Looking ---

Text ScriptedHost::Absolute(const Text& path) const {
  Text absolute;
  if (path.size() >= 2 && path[1] == ':') {
    absolute = path;
  } else if (!path.empty() && path[0] == '\\') {
    absolute = currentFolder_.substr(0, 2) + path;
  } else {
    absolute = currentFolder_ + "\\" + path;
  }
  DropTrailingSeparators(absolute);
  return absolute;
}

Text ScriptedHost::Key(const Text& absolutePath) {
  Text key = bench::UpperCase(absolutePath);
  DropTrailingSeparators(key);
  return key;
}

ScriptedHost::Node* ScriptedHost::Find(const Text& path) {
  auto it = nodes_.find(Key(Absolute(path)));
  return it == nodes_.end() ? nullptr : &it->second;
}

const ScriptedHost::Node* ScriptedHost::Find(const Text& path) const {
  auto it = nodes_.find(Key(Absolute(path)));
  return it == nodes_.end() ? nullptr : &it->second;
}

bool ScriptedHost::ParentExists(const Text& absolutePath) const {
  const size_t slash = LastSeparator(absolutePath);
  if (slash == Text::npos)
    return false;
  auto it = nodes_.find(Key(absolutePath.substr(0, slash)));
  return it != nodes_.end() && it->second.folder;
}

bool ScriptedHost::Exists(const Text& path) const {
  return Find(path) != nullptr;
}

bool ScriptedHost::IsFolder(const Text& path) const {
  const Node* node = Find(path);
  return node != nullptr && node->folder;
}

Text ScriptedHost::Content(const Text& path) const {
  const Node* node = Find(path);
  return node == nullptr || node->folder ? Text() : node->content;
}

int ScriptedHost::Attributes(const Text& path) const {
  const Node* node = Find(path);
  return node == nullptr ? 0 : node->attributes;
}

std::vector<Text> ScriptedHost::ChildrenOf(const Text& folder) const {
  const Text prefix = Key(Absolute(folder)) + "\\";
  std::vector<Text> children;
  for (auto it = nodes_.lower_bound(prefix);
       it != nodes_.end() && it->first.compare(0, prefix.size(), prefix) == 0; ++it) {
    if (Separators(it->first.substr(prefix.size())).empty())
      children.push_back(it->second.path);
  }
  return children;
}

std::vector<Text> ScriptedHost::Paths() const {
  std::vector<Text> paths;
  for (const auto& [key, node] : nodes_)
    paths.push_back(node.path);
  return paths;
}

Text ScriptedHost::IniValue(const Text& path, const Text& section, const Text& key,
                            const Text& defaultValue) const {
  const Node* node = Find(path);
  if (node == nullptr || node->folder)
    return defaultValue;
  return bench::GetIniValue(node->content, section, key).value_or(defaultValue);
}

void ScriptedHost::SetIniValue(const Text& path, const Text& section, const Text& key,
                               const Text& value) {
  const Text absolute = Absolute(path);
  if (!ParentExists(absolute))
    return;
  Node* node = Find(absolute);
  if (node != nullptr && node->folder)
    return;
  const Text updated =
      bench::SetIniValue(node == nullptr ? Text() : node->content, section, key, value);
  if (node == nullptr) {
    PutFile(absolute, updated);
  } else {
    node->content = updated;
  }
}

// --- The log ---

bool ScriptedHost::Record(Op op) {
  ++operationCount_;
  log_.push_back(std::move(op));
  return operationCount_ != failAt_;
}

std::vector<Text> ScriptedHost::Commands() const {
  std::vector<Text> commands;
  for (const Op& op : log_) {
    if (op.name == "RunCommand")
      commands.push_back(op.path);
  }
  return commands;
}

std::vector<Message> ScriptedHost::Messages() const {
  std::vector<Message> messages;
  for (const Op& op : log_) {
    if (op.name != "ShowMessage")
      continue;
    Message message{op.text, op.number, std::nullopt};
    if (op.hasCaption)
      message.caption = op.extra;
    messages.push_back(message);
  }
  return messages;
}

std::vector<std::string> ScriptedHost::Transcript() const {
  std::vector<std::string> lines;
  for (const Op& op : log_) {
    const std::string& n = op.name;
    if (n == "RunCommand") {
      lines.push_back("run " + op.path);
    } else if (n == "WriteWholeFile") {
      lines.push_back("write " + op.path + " " + op.text);
    } else if (n == "WriteText") {
      lines.push_back("append " + op.path + " " + op.text);
    } else if (n == "DeleteFile") {
      lines.push_back("delete " + op.path);
    } else if (n == "CopyFile") {
      lines.push_back("copy " + op.path + " " + op.text);
    } else if (n == "RenameFile") {
      lines.push_back("rename " + op.path + " " + op.text);
    } else if (n == "CreateFolder") {
      lines.push_back("mkdir " + op.path);
    } else if (n == "SetAttributes") {
      lines.push_back("attributes " + op.path + " " + std::to_string(op.number));
    } else if (n == "WriteIni") {
      lines.push_back("ini " + op.path + " [" + op.extra + "] " + op.text);
    } else if (n == "ShowMessage") {
      lines.push_back("message " + StyleText(op.number) + " " +
                      (op.hasCaption ? op.extra : std::string("-")) + " " + op.text);
    } else if (n == "Delay") {
      lines.push_back("delay " + std::to_string(op.number));
    } else if (n == "CreateShortcut") {
      lines.push_back("shortcut " + op.path + " " + op.text + " " + op.extra);
    } else if (n == "EndProgram") {
      lines.push_back("end " + std::to_string(op.number));
    }
  }
  return lines;
}

// --- Host ---

std::vector<Text> ScriptedHost::GetArguments() {
  if (!Record({"GetArguments"}))
    return {};
  return arguments_;
}

void ScriptedHost::EndProgram(int exitCode) {
  Op op{"EndProgram"};
  op.number = exitCode;
  Record(op);
  ended_ = true;
  throw EndProgramSignal{exitCode};
}

void ScriptedHost::RunCommand(const Text& commandLine) {
  if (!Record({"RunCommand", commandLine}))
    return;
  // Copy first: an effect may register further effects.
  const std::vector<CommandEffect> effects = effects_;
  for (const CommandEffect& effect : effects) {
    if (effect.test(commandLine))
      effect.effect(*this, commandLine);
  }
}

void ScriptedHost::Delay(int milliseconds) {
  Op op{"Delay"};
  op.number = milliseconds;
  Record(op);
}

void ScriptedHost::WriteWholeFile(const Text& path, const Bytes& bytes) {
  const Text content(bytes.begin(), bytes.end());
  if (!Record({"WriteWholeFile", path, content}))
    return;
  const Text absolute = Absolute(path);
  const Node* node = Find(absolute);
  if (!ParentExists(absolute) || (node != nullptr && (node->folder || (node->attributes & 1)))) {
    return;
  }
  PutFile(absolute, content, node == nullptr ? 0 : node->attributes);
}

int ScriptedHost::OpenFile(const Text& path, int openMode) {
  Op op{"OpenFile", path};
  op.number = openMode;
  const bool works = Record(op);
  const int number = nextHandle_++;
  Handle handle;
  handle.key = Key(Absolute(path));
  const Node* node = Find(path);
  if (works && node == nullptr && openMode == kReadWrite && ParentExists(Absolute(path))) {
    PutFile(path, Text());  // a file opened for reading and writing is created when missing
    node = Find(path);
  }
  handle.valid = works && node != nullptr && !node->folder;
  handles_[number] = handle;
  return number;
}

Text ScriptedHost::ReadText(int fileNumber) {
  Op op{"ReadText"};
  op.number = fileNumber;
  const bool works = Record(op);
  auto it = handles_.find(fileNumber);
  if (!works || it == handles_.end() || !it->second.valid)
    return Text();
  auto node = nodes_.find(it->second.key);
  if (node == nodes_.end())
    return Text();
  const Text& content = node->second.content;
  const size_t from = std::min(it->second.position, content.size());
  it->second.position = content.size();
  return content.substr(from);
}

void ScriptedHost::SeekToEnd(int fileNumber) {
  Op op{"SeekToEnd"};
  op.number = fileNumber;
  if (!Record(op))
    return;
  auto it = handles_.find(fileNumber);
  if (it == handles_.end() || !it->second.valid)
    return;
  auto node = nodes_.find(it->second.key);
  if (node != nodes_.end())
    it->second.position = node->second.content.size();
}

void ScriptedHost::WriteText(int fileNumber, const Text& text) {
  auto it = handles_.find(fileNumber);
  Op op{"WriteText", it == handles_.end() ? Text() : it->second.key, text};
  op.number = fileNumber;
  if (!Record(op))
    return;
  if (it == handles_.end() || !it->second.valid)
    return;
  auto node = nodes_.find(it->second.key);
  if (node == nodes_.end() || (node->second.attributes & 1))
    return;
  Text& content = node->second.content;
  const size_t at = std::min(it->second.position, content.size());
  content = content.substr(0, at) + text +
            (at + text.size() < content.size() ? content.substr(at + text.size()) : Text());
  it->second.position = at + text.size();
}

void ScriptedHost::SeekToStart(int fileNumber) {
  Op op{"SeekToStart"};
  op.number = fileNumber;
  if (!Record(op))
    return;
  auto it = handles_.find(fileNumber);
  if (it != handles_.end())
    it->second.position = 0;
}

void ScriptedHost::CloseFile(int fileNumber) {
  Op op{"CloseFile"};
  op.number = fileNumber;
  Record(op);
  handles_.erase(fileNumber);
}

bool ScriptedHost::FileExists(const Text& path) {
  if (!Record({"FileExists", path}))
    return false;
  return Exists(path);
}

void ScriptedHost::DeleteFile(const Text& path) {
  if (!Record({"DeleteFile", path}))
    return;
  const Node* node = Find(path);
  if (node == nullptr || node->folder || (node->attributes & 1))
    return;
  RemovePath(path);
}

void ScriptedHost::CopyFile(const Text& source, const Text& destination) {
  if (!Record({"CopyFile", source, destination}))
    return;
  const Node* from = Find(source);
  const Node* to = Find(destination);
  const Text target = Absolute(destination);
  if (from == nullptr || from->folder || !ParentExists(target))
    return;
  if (to != nullptr && (to->folder || (to->attributes & 1)))
    return;
  PutFile(target, from->content, from->attributes);
}

void ScriptedHost::RenameFile(const Text& oldPath, const Text& newPath) {
  if (!Record({"RenameFile", oldPath, newPath}))
    return;
  const Node* from = Find(oldPath);
  const Text target = Absolute(newPath);
  if (from == nullptr || Find(target) != nullptr || !ParentExists(target))
    return;
  Node moved = *from;
  RemovePath(oldPath);
  moved.path = target;
  nodes_[Key(target)] = moved;
}

void ScriptedHost::CreateFolder(const Text& path) {
  if (!Record({"CreateFolder", path}))
    return;
  const Text absolute = Absolute(path);
  if (Find(absolute) != nullptr || !ParentExists(absolute))
    return;
  Node node;
  node.path = absolute;
  node.folder = true;
  nodes_[Key(absolute)] = node;
}

void ScriptedHost::SetAttributes(const Text& path, int attributes) {
  Op op{"SetAttributes", path};
  op.number = attributes;
  if (!Record(op))
    return;
  Node* node = Find(path);
  if (node != nullptr)
    node->attributes = attributes;
}

Text ScriptedHost::ProgramFolder() {
  if (!Record({"ProgramFolder"}))
    return Text();
  return programFolder_;
}

Text ScriptedHost::ShortPath(const Text& path) {
  if (!Record({"ShortPath", path}))
    return path;
  auto it = shortForms_.find(Key(Absolute(path)));
  return it == shortForms_.end() ? path : it->second;
}

Text ScriptedHost::ReadIni(const Text& path, const Text& section, const Text& key,
                           const Text& defaultValue) {
  Op op{"ReadIni", path, section, key};
  if (!Record(op))
    return defaultValue;
  return IniValue(path, section, key, defaultValue);
}

void ScriptedHost::WriteIni(const Text& path, const Text& section, const Text& key,
                            const Text& value) {
  Op op{"WriteIni", path, key + "=" + value, section};
  if (!Record(op))
    return;
  SetIniValue(path, section, key, value);
}

Text ScriptedHost::ReadRegistryText(int root, const Text& path, const Text& defaultValue) {
  Op op{"ReadRegistryText", path};
  op.number = root;
  if (!Record(op))
    return defaultValue;
  auto it = registry_.find({root, bench::UpperCase(path)});
  return it == registry_.end() ? defaultValue : it->second;
}

Text ScriptedHost::GetEnv(const Text& name) {
  if (!Record({"GetEnv", name}))
    return Text();
  auto it = env_.find(bench::UpperCase(name));
  return it == env_.end() ? Text() : it->second;
}

int ScriptedHost::ShowMessage(const Text& message, int style, const std::optional<Text>& caption) {
  Op op{"ShowMessage", Text(), message, caption.value_or(Text())};
  op.number = style;
  op.hasCaption = caption.has_value();
  if (!Record(op))
    return -1;
  if (answers_.empty())
    return 1;
  const int answer = answers_.front();
  answers_.pop_front();
  return answer;
}

void ScriptedHost::CreateShortcut(const Text& linkPathNoExt, const Text& target,
                                  const std::optional<Text>& description,
                                  const std::optional<Text>& arguments, const Text& workingFolder) {
  (void)description;
  (void)arguments;
  if (!Record({"CreateShortcut", linkPathNoExt, target, workingFolder}))
    return;
  const Text link = linkPathNoExt + ".LNK";
  if (!ParentExists(Absolute(link)))
    return;
  PutFile(link, "shortcut to " + target + " in " + workingFolder);
}

void ScriptedHost::QuerySystemInfo(SystemInfoRecord& record) {
  if (!Record({"QuerySystemInfo"})) {
    record = SystemInfoRecord();
    return;
  }
  record = systemInfo_;
}

FirmwareAnswers ScriptedHost::QueryFirmware() {
  return Record({"QueryFirmware"}) ? firmware_ : FirmwareAnswers();
}

// --- The set-up as given ---

Text ScriptedHost::EnvValue(const Text& name) const {
  auto it = env_.find(bench::UpperCase(name));
  return it == env_.end() ? Text() : it->second;
}

Text ScriptedHost::ShortFormOf(const Text& path) const {
  auto it = shortForms_.find(Key(Absolute(path)));
  return it == shortForms_.end() ? path : it->second;
}

}  // namespace kvx::testing
