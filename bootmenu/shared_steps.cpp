#include "bootmenu/shared_steps.h"

#include "host/scratch.h"

namespace kvx {

Text OneLineBatch(const Text& commandLine) {
  return Concat({"\r\n", commandLine, "\r\n"});
}

Text CopyCommand(const Text& shellPrefix, const Text& source, const Text& destination) {
  return Concat({shellPrefix, "copy /y ", source, " ", destination});
}

Text BootMenuTimeout(Host& host, const InstallContext& context) {
  const Text sec1 = host.ReadIni(Concat({context.ProductDirSlash, "krv_pass.ini"}), "sec", "sec1");
  return TextEquals(sec1, "1") ? Text("1") : Text("5");
}

int ProbeIntoShared(Host& host, ProgramContext& program, const Text& path, const Text& needle,
                    bool ignoreCase) {
  const ProbeResult probe = ProbeFile(host, path, needle, ignoreCase);
  program.SharedFileNumber = probe.fileNumber;
  program.SharedFileText = probe.text;
  program.SharedFindResult = probe.position;
  return probe.position;
}

Text ReadIntoShared(Host& host, ProgramContext& program, const Text& path) {
  program.SharedFileNumber = host.OpenFile(path, kReadOnly);
  program.SharedFileText = host.ReadText(program.SharedFileNumber);
  host.CloseFile(program.SharedFileNumber);
  return program.SharedFileText;
}

}  // namespace kvx
