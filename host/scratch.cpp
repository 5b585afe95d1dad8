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

Text ScratchFolder(Host& host) {
  const Text folder = WithoutBlanks(host, host.GetEnv("TMP"));
  // The batch lines carry the folder unquoted: one that still holds a blank
  // (a volume without short names) or a character that the interpreter takes
  // for its own cannot be carried; the scratch files then go where an unset
  // TMP puts them, the root of the current drive.
  for (const char* special : {" ", "&", "|", "<", ">", "^", "%", "\""}) {
    if (FindText(folder, special, false) != kNotFound)
      return Text();
  }
  return folder;
}

void ScratchBatchRun(Host& host, const Text& scratchDirSlash, const Text& fileName,
                     const Text& scriptText) {
  const Text path = Concat({scratchDirSlash, fileName});
  host.WriteWholeFile(path, TextToBytes(scriptText));
  host.RunCommand(path);
}

Text ReadWholeFile(Host& host, const Text& path, int openMode) {
  const int fileNumber = host.OpenFile(path, openMode);
  Text text = host.ReadText(fileNumber);
  host.CloseFile(fileNumber);
  return text;
}

ProbeResult ProbeFile(Host& host, const Text& path, const Text& needle, bool ignoreCase) {
  ProbeResult result;
  result.fileNumber = host.OpenFile(path, kReadOnly);
  result.text = host.ReadText(result.fileNumber);
  host.CloseFile(result.fileNumber);
  result.position = FindText(result.text, needle, ignoreCase);
  return result;
}

void ScratchDelete(Host& host, const Text& shellPrefix, const Text& path) {
  host.RunCommand(Concat({shellPrefix, "del /q \"", path, "\""}));
}

}  // namespace kvx
