#include "entry/shared_file.h"

namespace kvx {

const Text& ReadIntoShared(Host& host, ProgramContext& program, const Text& path, int openMode) {
  program.SharedFileNumber = host.OpenFile(path, openMode);
  program.SharedFileText = host.ReadText(program.SharedFileNumber);
  host.CloseFile(program.SharedFileNumber);
  return program.SharedFileText;
}

int FindInShared(ProgramContext& program, const Text& needle, bool ignoreCase) {
  program.SharedFindResult = FindText(program.SharedFileText, needle, ignoreCase);
  return program.SharedFindResult;
}

int ProbeIntoShared(Host& host, ProgramContext& program, const Text& path, const Text& needle,
                    bool ignoreCase) {
  ReadIntoShared(host, program, path, kReadOnly);
  return FindInShared(program, needle, ignoreCase);
}

}  // namespace kvx
