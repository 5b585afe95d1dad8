#include "bootmenu/shared_steps.h"

namespace kvx {

Text OneLineBatch(const Text& commandLine) {
  return Concat({"\r\n", commandLine, "\r\n"});
}

Text BootMenuTimeout(Host& host, const InstallContext& context) {
  const Text sec1 = host.ReadIni(Concat({context.ProductDirSlash, "krv_pass.ini"}), "sec", "sec1");
  return TextEquals(sec1, "1") ? Text("1") : Text("5");
}

}  // namespace kvx
