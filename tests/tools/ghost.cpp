// ghost32.exe: the imaging tool, as far as the install uses it.
//
//   ghost32.exe -dd
//
// Leaves GHSTSTAT.TXT in the current folder: the content of ghststat.txt in
// the fixture folder, or a short status text of its own when there is none.
#include "doubles.h"
#include "text.h"

namespace kvx::bench {

Result RunGhost(const std::string& commandLine, Machine& machine) {
  std::vector<std::string> args = SplitArgs(commandLine);
  if (args.size() != 2 || FoldCase(args[1]) != "-dd") {
    return {"", "ghost32: the bench knows only -dd\r\n", 2};
  }
  std::string status;
  if (!machine.ReadFile(FixturePath(machine, "ghststat.txt"), &status)) {
    status =
        "GHOST status dump\r\n"
        "Disks found: 1\r\n"
        "Status: OK\r\n";
  }
  if (!machine.WriteFile(Below(machine.CurrentDir(), "GHSTSTAT.TXT"), status)) {
    return {"", "ghost32: cannot write GHSTSTAT.TXT\r\n", 1};
  }
  return {};
}

}  // namespace kvx::bench
