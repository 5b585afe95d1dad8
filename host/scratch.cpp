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
    host.Note(Concat({"TMP \"", tmp,
                      "\" cannot go unquoted into the batch lines: the scratch "
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

namespace {

// Whether the file holds exactly the text: opened read-only, read whole and
// closed again.
bool Holds(Host& host, const Text& path, const Text& text) {
  const int fileNumber = host.OpenFile(path, kReadOnly);
  const Text found = host.ReadText(fileNumber);
  host.CloseFile(fileNumber);
  return TextEquals(found, text);
}

}  // namespace

void ScratchBatchRun(Host& host, const Text& scratchDirSlash, const Text& fileName,
                     const Text& scriptText) {
  const Text path = Concat({scratchDirSlash, fileName});
  const Bytes bytes = TextToBytes(scriptText);
  host.WriteWholeFile(path, bytes);
  if (!Holds(host, path, scriptText)) {
    // A script of that name left read-only (by an interrupted run, or copied
    // from a read-only medium) keeps its old text: clear the attribute and
    // write again. A script that still does not hold this text is not run:
    // whatever it holds belongs to another step or another run.
    host.SetAttributes(path, kAttrNormal);
    host.WriteWholeFile(path, bytes);
    if (!Holds(host, path, scriptText))
      return;
  }
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
