// Call forms of the companion tools that ship in the product folder.
//
// Each form is composed here and nowhere else. While in use a tool is called
// by its full path without extension (productDirSlash + "fi"); the host
// resolves it to the .exe that the install gave it.
#ifndef KVXCFG_HOST_TOOLS_H
#define KVXCFG_HOST_TOOLS_H

#include "host/text.h"

namespace kvx {

// INI writer: productDirSlash + "fi " + file + " [" + section + "] " + key + "=" + value.
// The value runs to the end of the line and may hold blanks or be empty.
Text FiCommand(const Text& productDirSlash, const Text& file, const Text& section, const Text& key,
               const Text& value);

// Text replacer, plain form: every occurrence of find in file (or wildcard)
// becomes replacement. productDirSlash + "fr " + file + " -f:"find" -t:"replacement".
Text FrCommand(const Text& productDirSlash, const Text& file, const Text& find,
               const Text& replacement);

// Text replacer, escape form: the find text may hold the four characters
// \r\n standing for a line break. ... " -r:"find" -t:"replacement".
Text FrEscapedCommand(const Text& productDirSlash, const Text& file, const Text& find,
                      const Text& replacement);

// Partition survey of one disk (1 to 4):
// shellPrefix + productDirSlash + "zptlx " + disk + " /find:all /GhostStyle /y >" + outputPath.
Text ZptlxScanCommand(const Text& shellPrefix, const Text& productDirSlash, const Text& disk,
                      const Text& outputPath);

// Normal partitions of one disk (0-based index as recorded):
// shellPrefix + productDirSlash + "zptlx " + disk + " /find:normal /y >" + outputPath.
Text ZptlxNormalCommand(const Text& shellPrefix, const Text& productDirSlash, const Text& disk,
                        const Text& outputPath);

// Access rights: productDirSlash + "xc " + folder + " /c /y /g " (or with
// wholeTree " /t /c /y /g ") + account + ":" + rights.
Text XcGrantCommand(const Text& productDirSlash, const Text& folder, bool wholeTree,
                    const Text& account, const Text& rights);

// Imaging tool status probe: productDirSlash + "ghost32.exe -dd".
Text GhostStatusCommand(const Text& productDirSlash);

// Interpreter rename: shellPrefix + "ren " + path + " " + newName.
Text RenameCommand(const Text& shellPrefix, const Text& path, const Text& newName);

// Interpreter copy: shellPrefix + "copy /y " + source + " " + destination.
Text CopyCommand(const Text& shellPrefix, const Text& source, const Text& destination);

}  // namespace kvx

#endif  // KVXCFG_HOST_TOOLS_H
