// The machines of the whole-run tests, as the setup package leaves them
// before it starts the configurator: one for the pre-install run ("1") and
// two for the install run ("2"), an XP notebook and a 64-bit Windows 7
// installed over an earlier installation. Tests of whole runs, of faults and
// of data safety all start from these.
#ifndef KVXCFG_TESTS_SUPPORT_INSTALL_MACHINES_H
#define KVXCFG_TESTS_SUPPORT_INSTALL_MACHINES_H

#include <string>
#include <vector>

#include "tests/support/scripted_host.h"
#include "tests/support/simulated_windows.h"

namespace kvx::testing {

// Registry values: the current user's Startup folder and the install language.
inline constexpr char kStartupFolderValue[] =
    "Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\Shell Folders\\Startup";
inline constexpr char kInstallLanguageValue[] =
    "SYSTEM\\CurrentControlSet\\Control\\Nls\\Language\\InstallLanguage";

// The Startup folders of the machines below.
inline constexpr char kXpStartup[] =
    "C:\\Documents and Settings\\Administrator\\「开始」菜单\\程序\\启动";
inline constexpr char kWindows7Startup[] =
    "C:\\Users\\Li Wei\\AppData\\Roaming\\Microsoft\\Windows\\Start Menu\\Programs\\Startup";

// The product's menu file and boot image as the package ships them.
inline constexpr char kMenuFile[] =
    "title KORVAX\r\nchainloader --disable-a20 (fd0)\r\nmap --mem --a20-keep-on=0 (hd0,0)\r\n";
inline constexpr char kBootImage[] =
    "rem device=ramdrive\r\nxmsdsk.exe 25000 /y\r\nset ramdrive=x:\r\nrem call fdrd\r\n";

// A Chinese XP with COMSPEC C:\WINDOWS\system32\cmd.exe, TMP C:\TEMP, the
// user's and the all-users Startup folders and the marker win_lan in the
// program folder C:\SETUP. Started with "1".
void SetUpPreInstallMachine(ScriptedHost& host);

// A machine with Windows in windowsFolder on C:, the scratch folder tmp, the
// Startup folder and the sixth system text as given, and what the setup
// package leaves before it starts the configurator with "2": the product
// folder with the tools under their stored names and the marker nt, the
// loader at the root of C:, and its own folder C:\SETUP as the current one.
void SetUpInstallMachine(ScriptedHost& host, const Text& windowsFolder, const Text& tmp,
                         const Text& startup, const Text& systemText);

// A Chinese Windows XP on a TOSHIBA notebook with two disks: the second one
// holds Windows alone on C:, so there is no partition for the images. boot.ini
// has an older product line, which is the default. The access tool is stored
// as xc1. The simulation must use "C:\WINDOWS\system32\cmd.exe /c ".
void SetUpXpOnSecondDisk(ScriptedHost& host, SimulatedWindows& windows);

// An English 64-bit Windows 7 on a ThinkPad with a maker's recovery partition,
// installed over an earlier installation: the store holds two old product
// entries, bcd_all.ini and krv_id.ini are the previous run's, the data
// partition D: still has the hidden folder with an image in it. The scratch
// folder's path has a blank and a short form. The simulation must use
// "C:\Windows\system32\cmd.exe /c ".
struct Windows7Entries {
  Text stale;    // the previous run's entry, with the loader's boot sector
  Text older;    // an older version's entry, named by the product
  Text created;  // the identifier the new entry will get
};
Windows7Entries SetUpWindows7OverEarlierInstall(ScriptedHost& host, SimulatedWindows& windows);

}  // namespace kvx::testing

#endif  // KVXCFG_TESTS_SUPPORT_INSTALL_MACHINES_H
