// wmic: the management command line, for the three lists the install reads.
//
//   wmic exit
//   wmic bios|csproduct|baseboard list full
//
// "list full" prints the lines of wmic_<alias>.txt in the fixture folder
// (Name=Value lines) framed by blank lines, as the real tool does. The real
// tool writes UTF-16 when its output goes to a file, and Wine's "type" does
// not convert that back; the bench therefore writes ANSI bytes, unless the
// fixture folder holds a file named wmic_utf16, which makes it write UTF-16LE
// with a byte-order mark (each byte widened: keep such fixtures ASCII).
#include "doubles.h"
#include "text.h"

namespace kvx::bench {

namespace {

std::string Utf16FromBytes(const std::string& text) {
  std::string wide = "\xFF\xFE";
  for (char c : text) {
    wide += c;
    wide += '\0';
  }
  return wide;
}

}  // namespace

Result RunWmic(const std::string& commandLine, Machine& machine) {
  std::vector<std::string> args = SplitArgs(commandLine);
  if (args.size() == 2 && FoldCase(args[1]) == "exit") {
    return {};
  }
  if (args.size() != 4 || FoldCase(args[2]) != "list" || FoldCase(args[3]) != "full") {
    return {"", "wmic: the bench knows only \"wmic exit\" and \"wmic alias list full\"\r\n", 2};
  }
  const std::string alias = FoldCase(args[1]);
  std::string fixture;
  if (!machine.ReadFile(FixturePath(machine, "wmic_" + alias + ".txt"), &fixture)) {
    return {"", args[1] + " - Alias not found.\r\n", 1};
  }
  std::string text = "\r\n\r\n";
  for (const std::string& line : SplitLines(fixture)) {
    text += line + "\r\n";
  }
  text += "\r\n\r\n";
  std::string unused;
  if (machine.ReadFile(FixturePath(machine, "wmic_utf16"), &unused)) {
    text = Utf16FromBytes(text);
  }
  return {text, "", 0};
}

}  // namespace kvx::bench
