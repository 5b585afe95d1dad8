// chkntfs: reports the file system of drives.
//
//   chkntfs D: [E: ...]
//
// The drives come from chkntfs.txt in the fixture folder, one per line:
// "D: NTFS", or "E: FAT32 dirty" for a volume whose dirty bit is set.
#include <sstream>

#include "doubles.h"
#include "text.h"

namespace kvx::bench {

Result RunChkntfs(const std::string& commandLine, Machine& machine) {
  std::vector<std::string> args = SplitArgs(commandLine);
  if (args.size() < 2) {
    return {"", "chkntfs: the bench needs a drive: chkntfs D:\r\n", 2};
  }
  std::string fixture;
  machine.ReadFile(FixturePath(machine, "chkntfs.txt"), &fixture);

  Result result;
  for (size_t i = 1; i < args.size(); ++i) {
    if (args[i].empty() || args[i][0] == '/') {
      return {"", "chkntfs: the bench does not support " + args[i] + "\r\n", 2};
    }
    bool known = false;
    for (const std::string& line : SplitLines(fixture)) {
      std::istringstream words(line);
      std::string drive, fileSystem, state;
      words >> drive >> fileSystem >> state;
      if (!fileSystem.empty() && EqualsIgnoreCase(drive, args[i])) {
        result.out += "The type of the file system is " + fileSystem + ".\r\n" +
                      UpperCase(args[i]) +
                      (state == "dirty" ? " is dirty.\r\n" : " is not dirty.\r\n");
        known = true;
        break;
      }
    }
    if (!known) {
      result.err += "Cannot query state of drive " + args[i] + "\r\n" +
                    "The system cannot find the drive specified.\r\n";
      result.code = 1;
    }
  }
  return result;
}

}  // namespace kvx::bench
