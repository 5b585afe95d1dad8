// The install context: every fixed name, folder and environment value of
// one install run, built once before any command runs.
#include "host/scratch.h"
#include "survey/survey.h"

namespace kvx {
namespace {

const char kInstallLanguageValue[] =
    "SYSTEM\\CurrentControlSet\\Control\\Nls\\Language\\InstallLanguage";
const char kStartupFolderValue[] =
    "Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\Shell Folders\\Startup";

}  // namespace

InstallContext BuildInstallContext(Host& host) {
  InstallContext c;

  // A Chinese install (or one whose language cannot be read) gets the
  // Chinese product name; every other language the English one.
  if (TextEquals(host.ReadRegistryText(kRootLocalMachine, kInstallLanguageValue, "0804"), "0804")) {
    c.ProductTitle = "珂瓦克斯 v2013.01.23";
    c.ProductName = "珂瓦克斯";
  } else {
    c.ProductTitle = "KORVAX v2013.01.23";
    c.ProductName = "KORVAX";
  }

  c.LoaderInProductDir = "c:\\vesk\\korv\\KVLDR";
  c.LoaderAtRoot = "C:\\KVLDR";
  c.LoaderNameRooted = "\\KVLDR";
  c.LoaderMbrNameRooted = "\\kvldr.mbr";
  c.LoaderMbrName = "kvldr.mbr";
  c.MakerDir = "c:\\vesk";
  c.ProductRunDir = "c:\\vesk\\korv\\krv_run";
  c.ProductDirSlash = "c:\\vesk\\korv\\";
  c.ProductDir = "c:\\vesk\\korv";
  c.PanelTxtName = "c_pan.txt";
  c.PanelIniName = "c_pan.ini";
  c.TildeSuffix = "\\~1";
  c.Rd0Path = "c:\\vesk\\korv\\KVX_rd0";
  c.Rd1Path = "c:\\vesk\\korv\\KVX_rd1";
  c.DrvIniPath = "c:\\vesk\\korv\\krv_drv.ini";
  c.IdIniPath = "c:\\vesk\\korv\\krv_id.ini";
  c.BcdAllIniPath = "c:\\vesk\\korv\\bcd_all.ini";
  c.PassIniPath = "c:\\vesk\\korv\\krv_pass.ini";
  c.SuExePath = "c:\\vesk\\korv\\KVX_SU.EXE";
  c.SuPathNoExt = "c:\\vesk\\korv\\KVX_SU";
  c.SuName = "KVX_SU";

  // Environment and registry, in this order. Empty values are used as they
  // are: an unset TMP gives a scratch folder of "\".
  c.SystemRootSlash = Concat({host.GetEnv("Systemroot"), "\\"});
  c.CommandInterpreter = BuildCommandInterpreter(host);
  c.ShellPrefix = BuildShellPrefix(c.CommandInterpreter);
  c.TempDirSlash = Concat({ScratchFolder(host), "\\"});
  c.StartupDirSlash = Concat({host.ReadRegistryText(kRootCurrentUser, kStartupFolderValue), "\\"});
  c.EveryoneName = "Everyone";
  c.ActiveDrive = "C:";
  c.SystemDrive = host.GetEnv("SystemDrive");
  c.BootDiskIndex = "0";
  c.ProgramFilesX86 = host.GetEnv("ProgramFiles(x86)");
  return c;
}

}  // namespace kvx
