#include "tests/support/sample_context.h"

namespace kvx::testing {

InstallContext SampleInstallContext() {
  InstallContext c;
  c.ProductTitle = "珂瓦克斯 v2013.01.23";
  c.ProductName = "珂瓦克斯";
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
  c.SystemRootSlash = "C:\\WINDOWS\\";
  c.CommandInterpreter = "C:\\WINDOWS\\system32\\cmd.exe";
  c.ShellPrefix = "C:\\WINDOWS\\system32\\cmd.exe /c ";
  c.TempDirSlash = "C:\\TEMP\\";
  c.StartupDirSlash = "C:\\Documents and Settings\\Administrator\\「开始」菜单\\程序\\启动\\";
  c.EveryoneName = "Everyone";
  c.ActiveDrive = "C:";
  c.SystemDrive = "C:";
  c.BootDiskIndex = "0";
  c.ProgramFilesX86 = "";
  return c;
}

InstallContext SampleEnglishInstallContext() {
  InstallContext c = SampleInstallContext();
  c.ProductTitle = "KORVAX v2013.01.23";
  c.ProductName = "KORVAX";
  return c;
}

}  // namespace kvx::testing
