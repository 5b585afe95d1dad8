// KVX_rd0 (sets su to the user's Startup folder) and KVX_rd1 (changes to
// that folder), and the launcher shortcut. Each script is laid out as an
// INI-shaped skeleton by echo lines, receives the folder through an INI
// write (which copes with any characters in the path), and is then turned
// into batch lines by the text replacer.
#include "host/tools.h"
#include "survey/survey.h"

namespace kvx {

void WriteStartupScripts(Host& host, const InstallContext& context) {
  const Text& shell = context.ShellPrefix;
  const Text& dir = context.ProductDirSlash;
  const Text& startup = context.StartupDirSlash;
  const Text& rd0 = context.Rd0Path;
  const Text& rd1 = context.Rd1Path;

  host.RunCommand(Concat({shell, "echo [echo_of]>", rd0}));
  host.RunCommand(Concat({shell, "echo set_su=>>", rd0}));
  host.WriteIni(rd0, "echo_of", "set_su", startup);
  // Give the INI write time to reach the file before the replacer reads it.
  host.Delay(3000);
  host.RunCommand(FrCommand(dir, rd0, "[echo_of]", "@echo off"));
  host.RunCommand(FrCommand(dir, rd0, "set_su=", "set su="));

  host.RunCommand(Concat({shell, "echo [echo_of]>", rd1}));
  host.RunCommand(Concat({shell, "echo a=>>", rd1}));
  host.RunCommand(Concat({shell, "echo cc=>>", rd1}));
  host.RunCommand(Concat({shell, "echo cd=>>", rd1}));
  host.WriteIni(rd1, "echo_of", "cd", Concat({"\"", startup, "\""}));
  host.Delay(3000);
  host.RunCommand(FrCommand(dir, rd1, "a=", LeftText(startup, 2)));
  host.RunCommand(FrCommand(dir, rd1, "cc=", "cd\\\\"));
  host.RunCommand(FrCommand(dir, rd1, "[echo_of]", "@echo off"));
  host.RunCommand(FrCommand(dir, rd1, "cd=", "cd "));

  host.CreateShortcut(context.SuPathNoExt, context.SuExePath, std::nullopt, std::nullopt, dir);
  host.Delay(5000);
}

}  // namespace kvx
