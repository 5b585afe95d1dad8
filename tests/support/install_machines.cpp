#include "tests/support/install_machines.h"

namespace kvx::testing {

void SetUpPreInstallMachine(ScriptedHost& host) {
  host.SetArguments({"1"});
  host.SetEnv("COMSPEC", "C:\\WINDOWS\\system32\\cmd.exe");
  host.SetEnv("Systemroot", "C:\\WINDOWS");
  host.SetEnv("TMP", "C:\\TEMP");
  host.SetEnv("ALLUSERSPROFILE", "C:\\Documents and Settings\\All Users");
  host.SetRegistry(kRootCurrentUser, kStartupFolderValue, kXpStartup);
  host.PutFolder("C:\\TEMP");
  host.PutFolder(kXpStartup);
  host.PutFolder("C:\\Documents and Settings\\All Users\\「开始」菜单\\程序\\启动");
  host.PutFile("C:\\SETUP\\win_lan", "");
}

void SetUpInstallMachine(ScriptedHost& host, const Text& windowsFolder, const Text& tmp,
                         const Text& startup, const Text& systemText) {
  host.SetArguments({"2"});
  host.SetEnv("Systemroot", windowsFolder);
  host.SetEnv("COMSPEC", windowsFolder + "\\system32\\cmd.exe");
  host.SetEnv("TMP", tmp);
  host.SetEnv("SystemDrive", "C:");
  host.SetRegistry(kRootCurrentUser, kStartupFolderValue, startup);
  SystemInfoRecord info;
  info[5] = systemText;
  host.SetSystemInfo(info);
  const Text dir = "c:\\vesk\\korv\\";
  host.PutFile(dir + "nt", "");
  host.PutFile(dir + "zp", "survey tool");
  host.PutFile(dir + "fi", "ini writer");
  host.PutFile(dir + "fr", "text replacer");
  host.PutFile(dir + "ghost32.exe", "imaging tool");
  host.PutFile(dir + "KVLDR", "loader");
  host.PutFile(dir + "kvldr.mbr", "loader boot sector");
  host.PutFile(dir + "KVLDR_0", "loader, A20 left alone");
  host.PutFile(dir + "menu1.lst", kMenuFile);
  host.PutFile(dir + "ghost.img", kBootImage);
  host.PutFile(dir + "c_pan.txt", "panel");
  host.PutFile(dir + "ghostexp", "REGEDIT4\r\n[HKEY_CURRENT_USER\\Software\\KORVAX]\r\n");
  host.PutFile(dir + "IRIMG2.BMP", "bitmap");
  host.PutFile(dir + "KVX_SU.EXE", "launcher");
  host.PutFile(dir + "boot0.ini", "[boot loader]\r\ntimeout=5\r\n");
  host.PutFile(dir + "BCD_SET",
               "\r\nbcdedit /set {REALID} device partition=C:\r\n"
               "bcdedit /set {REALID} path \\kvldr.mbr\r\n");
  host.PutFile("C:\\KVLDR", "loader");
  host.PutFile("C:\\kvldr.mbr", "loader boot sector");
  host.PutFolder("C:\\SETUP");
  host.SetCurrentFolder("C:\\SETUP");
}

void SetUpXpOnSecondDisk(ScriptedHost& host, SimulatedWindows& windows) {
  SetUpInstallMachine(host, "C:\\WINDOWS", "C:\\WINDOWS\\TEMP", kXpStartup,
                      "TOSHIBA Notebook N200");
  host.PutFolder("C:\\WINDOWS\\TEMP");
  host.AddDrive("D:");
  host.PutFile("c:\\vesk\\korv\\xc1", "access tool");
  host.PutFile("C:\\boot.ini",
               "[boot loader]\r\ntimeout=30\r\ndefault=C:\\KVLDR\r\n[operating systems]\r\n"
               "multi(0)disk(0)rdisk(1)partition(1)\\WINDOWS=\"Microsoft Windows XP\" "
               "/fastdetect\r\nC:\\KVLDR=珂瓦克斯 v2012.05.01\r\n",
               kAttrHiddenSystemReadOnly);
  windows.version = "Microsoft Windows XP [版本 5.1.2600]";
  windows.PutFixture("zp_raw_all_1.txt", "1:1 D: NTFS Yes 76316MB BACKUP\r\n");
  windows.PutFixture("zp_raw_all_2.txt", "2:1 C: NTFS Yes 38154MB WINXP\r\n");
  windows.PutFixture("zp_raw_normal_1.txt",
                     "Disk 1  38154MB  HD40-A1\r\nNo   Drv  FS     Size       Label\r\n"
                     "1:1  C:   NTFS   38154MB    WINXP\r\n");
  windows.PutFixture("wmic_csproduct.txt", "Name=Notebook N200 REM_TOSHIBA\r\nVendor=TOSHIBA\r\n");
  windows.PutFixture("chkntfs.txt", "C: NTFS\r\nD: NTFS\r\n");
}

Windows7Entries SetUpWindows7OverEarlierInstall(ScriptedHost& host, SimulatedWindows& windows) {
  SetUpInstallMachine(host, "C:\\Windows", "C:\\Users\\Li Wei\\AppData\\Local\\Temp",
                      kWindows7Startup, "REM_ThinkPad T4");
  host.SetShortForm("C:\\Users\\Li Wei\\AppData\\Local\\Temp",
                    "C:\\Users\\LIWEI~1\\AppData\\Local\\Temp");
  host.PutFolder("C:\\Users\\LIWEI~1\\AppData\\Local\\Temp");
  host.SetEnv("ProgramFiles(x86)", "C:\\Program Files (x86)");
  host.SetRegistry(kRootLocalMachine, kInstallLanguageValue, "0409");
  host.AddDrive("D:");
  host.AddDrive("F:");
  host.PutFile("c:\\vesk\\korv\\xc", "access tool");
  host.PutFile("C:\\SETUP\\bcdedit", "product bcdedit");
  host.PutFile("C:\\Windows\\system32\\bcdedit.exe", "bcdedit");
  host.PutFolder("C:\\Windows\\syswow64");
  host.PutFile("C:\\boot\\bcd", "store");
  host.PutFile("C:\\KVX_1.sdr", "restore data");
  host.PutFile("c:\\vesk\\korv\\krv_pass.ini", "[sec]\r\nsec1=1\r\n");
  host.PutFolder("D:\\~1");
  host.PutAttributes("D:\\~1", 2);
  host.PutFile("D:\\~1\\SYS.GHO", "image");
  windows.windowsFolder = "C:\\Windows";
  windows.sixtyFourBit = true;
  Windows7Entries entries;
  bench::BcdStore store = windows.Store();
  entries.stale = AddBootSector(store, "KORVAX v2012.05.01", "\\kvldr.mbr");
  entries.older = AddBootSector(store, "KORVAX v2010.08.08", "\\korv.mbr");
  SetDisplayOrder(store, {"{current}", entries.older, entries.stale});
  windows.PutStore(store);
  host.PutFile("c:\\vesk\\korv\\bcd_all.ini", bench::EnumAll(store));
  host.PutFile("c:\\vesk\\korv\\krv_id.ini", entries.stale + "\r\n");
  entries.created = bench::CreatedId(store.next);
  windows.version = "Microsoft Windows [Version 6.1.7601]";
  windows.PutFixture("zp_raw_all_1.txt",
                     "1:1 C: NTFS Yes 102400MB WIN7\r\n1:2 D: NTFS No 168000MB DATA\r\n"
                     "1:3 Pri NTFS No 14000MB LENOVO_PART\r\n");
  windows.PutFixture("zp_raw_all_2.txt", "2:1 F: FAT32 No 7600MB USBKEY\r\n");
  windows.PutFixture("zp_raw_normal_0.txt",
                     "Disk 0  284400MB  HD300-B2\r\nNo   Drv  FS     Size       Label\r\n"
                     "0:1  C:   NTFS   102400MB   WIN7\r\n0:2  D:   NTFS   168000MB   DATA\r\n"
                     "0:3  Pri  NTFS   14000MB    LENOVO_PART\r\n");
  windows.PutFixture("chkntfs.txt", "C: NTFS\r\nD: NTFS\r\n");
  return entries;
}

}  // namespace kvx::testing
