#include "host/tools.h"

namespace kvx {

Text FiCommand(const Text& productDirSlash, const Text& file, const Text& section, const Text& key,
               const Text& value) {
  return Concat({productDirSlash, "fi ", file, " [", section, "] ", key, "=", value});
}

Text FrCommand(const Text& productDirSlash, const Text& file, const Text& find,
               const Text& replacement) {
  return Concat({productDirSlash, "fr ", file, " -f:\"", find, "\" -t:\"", replacement, "\""});
}

Text FrEscapedCommand(const Text& productDirSlash, const Text& file, const Text& find,
                      const Text& replacement) {
  return Concat({productDirSlash, "fr ", file, " -r:\"", find, "\" -t:\"", replacement, "\""});
}

Text ZptlxScanCommand(const Text& shellPrefix, const Text& productDirSlash, const Text& disk,
                      const Text& outputPath) {
  return Concat(
      {shellPrefix, productDirSlash, "zptlx ", disk, " /find:all /GhostStyle /y >", outputPath});
}

Text ZptlxNormalCommand(const Text& shellPrefix, const Text& productDirSlash, const Text& disk,
                        const Text& outputPath) {
  return Concat({shellPrefix, productDirSlash, "zptlx ", disk, " /find:normal /y >", outputPath});
}

Text XcGrantCommand(const Text& productDirSlash, const Text& folder, bool wholeTree,
                    const Text& account, const Text& rights) {
  return Concat({productDirSlash, "xc ", folder, wholeTree ? " /t /c /y /g " : " /c /y /g ",
                 account, ":", rights});
}

Text GhostStatusCommand(const Text& productDirSlash) {
  return Concat({productDirSlash, "ghost32.exe -dd"});
}

Text RenameCommand(const Text& shellPrefix, const Text& path, const Text& newName) {
  return Concat({shellPrefix, "ren ", path, " ", newName});
}

Text CopyCommand(const Text& shellPrefix, const Text& source, const Text& destination) {
  return Concat({shellPrefix, "copy /y ", source, " ", destination});
}

}  // namespace kvx
