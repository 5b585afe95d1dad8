// fi: the INI writer of the product folder.
//
//   fi file [section] key=value
//
// It reads its raw command line, not the C runtime's argument split, because
// the value runs to the end of the line and may hold blanks and quotes.
#include "doubles.h"
#include "ini.h"
#include "text.h"

namespace kvx::bench {

Result RunFi(const std::string& commandLine, Machine& machine) {
  IniWrite write;
  std::string error;
  if (!ParseIniWrite(ArgumentTail(commandLine), &write, &error)) {
    return {"", "fi: " + error + "\r\n", 2};
  }
  std::string text;
  machine.ReadFile(write.file, &text);  // a missing file is created
  if (!machine.WriteFile(write.file, SetIniValue(text, write.section, write.key, write.value))) {
    return {"", "fi: cannot write " + write.file + "\r\n", 1};
  }
  return {};
}

}  // namespace kvx::bench
