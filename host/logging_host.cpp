#include "host/logging_host.h"

#include <string>

namespace kvx {

void LoggingHost::RunCommand(const Text& commandLine) {
  log_.CommandStarting(commandLine);
  machine_.RunCommand(commandLine);
  log_.CommandEnded();
}

void LoggingHost::Delay(int milliseconds) {
  log_.Pause(milliseconds);
  machine_.Delay(milliseconds);
}

void LoggingHost::WriteWholeFile(const Text& path, const Bytes& bytes) {
  machine_.WriteWholeFile(path, bytes);
  log_.BatchWritten(path, BytesToText(bytes));
}

int LoggingHost::OpenFile(const Text& path, int openMode) {
  const int fileNumber = machine_.OpenFile(path, openMode);
  openFiles_[fileNumber] = path;
  return fileNumber;
}

void LoggingHost::WriteText(int fileNumber, const Text& text) {
  machine_.WriteText(fileNumber, text);
  const auto it = openFiles_.find(fileNumber);
  log_.FileOperationDone("append to", it == openFiles_.end() ? Text() : it->second);
}

void LoggingHost::CloseFile(int fileNumber) {
  machine_.CloseFile(fileNumber);
  openFiles_.erase(fileNumber);
}

void LoggingHost::DeleteFile(const Text& path) {
  machine_.DeleteFile(path);
  log_.FileOperationDone("delete", path);
}

void LoggingHost::CopyFile(const Text& source, const Text& destination) {
  machine_.CopyFile(source, destination);
  log_.FileOperationDone("copy", source, destination);
}

void LoggingHost::RenameFile(const Text& oldPath, const Text& newPath) {
  machine_.RenameFile(oldPath, newPath);
  log_.FileOperationDone("rename", oldPath, newPath);
}

void LoggingHost::CreateFolder(const Text& path) {
  machine_.CreateFolder(path);
  log_.FileOperationDone("create folder", path);
}

void LoggingHost::SetAttributes(const Text& path, int attributes) {
  machine_.SetAttributes(path, attributes);
  log_.FileOperationDone(
      attributes == kAttrNormal ? "make normal" : "make read-only, hidden, system", path);
}

void LoggingHost::WriteIni(const Text& path, const Text& section, const Text& key,
                           const Text& value) {
  machine_.WriteIni(path, section, key, value);
  log_.FileOperationDone("INI write", path, Concat({"[", section, "] ", key, "=", value}));
}

int LoggingHost::ShowMessage(const Text& message, int style, const std::optional<Text>& caption) {
  log_.MessageShowing(message, style, caption);
  const int button = machine_.ShowMessage(message, style, caption);
  log_.MessageAnswered(button);
  return button;
}

void LoggingHost::CreateShortcut(const Text& linkPathNoExt, const Text& target,
                                 const std::optional<Text>& description,
                                 const std::optional<Text>& arguments, const Text& workingFolder) {
  machine_.CreateShortcut(linkPathNoExt, target, description, arguments, workingFolder);
  log_.FileOperationDone("shortcut", Concat({linkPathNoExt, ".LNK"}), target);
}

}  // namespace kvx
