// Boot options for the machine models that need them.
//
// On ThinkPad, TOSHIBA, MICRO-STAR and ASUS machines the loader at the root
// of C: is replaced by its "_0" variant and the A20 options leave the menu
// files, unless the setting [boot] rei says otherwise. ThinkPad machines also
// get the boot image switched to the other RAM-drive arrangement.
#include "deploy/deploy.h"
#include "host/tools.h"

namespace kvx {
namespace {

// Each find text of the boot image is replaced by one of the same length, so
// the image keeps its size and every other byte keeps its place.
struct ImageEdit {
  const char* find;
  const char* replacement;
};
const ImageEdit kThinkPadImageEdits[] = {
    {"rem device=ramdrive", "device=ramdrive.sys"},
    {"xmsdsk.exe 25000", "rem xmsdsk 25000"},
    {"set ramdrive=x:", "rem ramdrive=x:"},
    {"rem call fdrd", "call fdrd.bat"},
};

}  // namespace

void ApplyModelBootOptions(Host& host, const InstallContext& context,
                           const ModelFindings& findings) {
  const Text& product = context.ProductDirSlash;
  const Text& passIni = context.PassIniPath;
  const Text rei = host.ReadIni(passIni, "boot", "rei", "0");

  const bool thinkPad = findings.ThinkPadPos != kNotFound;
  const bool modelMarker = thinkPad || findings.ToshibaPos != kNotFound ||
                           findings.MicroStarPos != kNotFound || findings.AsusPos != kNotFound;

  if (modelMarker && TextEquals(rei, "0")) {
    host.SetAttributes(context.LoaderAtRoot, kAttrNormal);
    host.RunCommand(CopyCommand(context.ShellPrefix, Concat({context.LoaderInProductDir, "_0"}),
                                context.LoaderAtRoot));
    host.SetAttributes(context.LoaderAtRoot, kAttrHiddenSystemReadOnly);
    host.RunCommand(FiCommand(product, passIni, "boot", "a20", "0"));
    host.RunCommand(FiCommand(product, passIni, "boot", "a21", "0"));
    host.RunCommand(FiCommand(product, passIni, "boot", "ogd", "1"));
    const Text menus = Concat({product, "menu*.lst"});
    host.RunCommand(
        FrCommand(product, menus, "chainloader --disable-a20 (fd0)", "chainloader (fd0)"));
    host.RunCommand(FrCommand(product, menus, "map --mem --a20-keep-on=0", "map --mem"));
  }

  if (thinkPad) {
    host.RunCommand(FiCommand(product, passIni, "mem", "ramdrv", "1"));
    const Text image = Concat({product, "ghost.img"});
    for (const ImageEdit& edit : kThinkPadImageEdits) {
      host.RunCommand(FrCommand(product, image, edit.find, edit.replacement));
    }
  }
}

}  // namespace kvx
