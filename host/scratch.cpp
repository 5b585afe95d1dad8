#include "host/scratch.h"

namespace kvx {

Text BuildCommandInterpreter(Host& host) {
  Text interpreter = host.GetEnv("COMSPEC");
  if (TextEquals(host.GetEnv("COMSPEC"), "")) {
    interpreter = Concat({host.GetEnv("Systemroot"), "\\system32\\cmd.exe"});
  }
  return interpreter;
}

Text BuildShellPrefix(const Text& commandInterpreter) {
  return Concat({commandInterpreter, " /c "});
}

Text WithoutBlanks(Host& host, const Text& path) {
  if (FindText(path, " ", false) == kNotFound)
    return path;
  return host.ShortPath(path);
}

bool CannotGoUnquoted(const Text& folder) {
  for (const char* special : {" ", "&", "|", "<", ">", "^", "%", "\""}) {
    if (FindText(folder, special, false) != kNotFound)
      return true;
  }
  return false;
}

Text ScratchFolder(Host& host) {
  const Text tmp = host.GetEnv("TMP");
  const Text folder = WithoutBlanks(host, tmp);
  if (CannotGoUnquoted(folder)) {
    host.Note(Concat({"TMP \"", tmp, "\" cannot go unquoted into the batch lines: the scratch "
                      "files go to the root of the current drive"}));
    return Text();
  }
  if (folder != tmp)
    host.Note(Concat({"TMP \"", tmp, "\" holds a blank: the scratch files go to ", folder}));
  return folder;
}

Text OneLineBatch(const Text& commandLine) {
  return Concat({"\r\n", commandLine, "\r\n"});
}

void ScratchBatchRun(Host& host, const Text& scratchDirSlash, const Text& fileName,
                     const Text& scriptText) {
  const Text path = Concat({scratchDirSlash, fileName});
  host.WriteWholeFile(path, TextToBytes(scriptText));
  host.RunCommand(path);
}

const Text& ReadIntoShared(Host& host, SharedFileValues& shared, const Text& path, int openMode) {
  shared.SharedFileNumber = host.OpenFile(path, openMode);
  shared.SharedFileText = host.ReadText(shared.SharedFileNumber);
  host.CloseFile(shared.SharedFileNumber);
  return shared.SharedFileText;
}

int FindInShared(SharedFileValues& shared, const Text& needle, bool ignoreCase) {
  shared.SharedFindResult = FindText(shared.SharedFileText, needle, ignoreCase);
  return shared.SharedFindResult;
}

int ProbeIntoShared(Host& host, SharedFileValues& shared, const Text& path, const Text& needle,
                    bool ignoreCase) {
  ReadIntoShared(host, shared, path, kReadOnly);
  return FindInShared(shared, needle, ignoreCase);
}

void ScratchDelete(Host& host, const Text& shellPrefix, const Text& path) {
  host.RunCommand(Concat({shellPrefix, "del /q \"", path, "\""}));
}

}  // namespace kvx
