// The system partition, the boot disk and the active partition: found by
// findstr over the scan files, recorded in krv_pass.ini by the INI writer
// from inside the command lines, and read back for the later steps.
#include "host/scratch.h"
#include "host/tools.h"
#include "survey/survey.h"

namespace kvx {
namespace {

// Guards against a damaged drive read back from krv_pass.ini.
// One that is not a letter and a colon cannot be a drive, and C: stands in
// for it. Two characters such as ".." or "\\" would make every path built on
// them relative or break the command lines they go into. The log says so.
Text DriveOrC(Host& host, const Text& drive, const char* key) {
  if (IsDriveLetter(drive))
    return drive;
  host.Note(
      Concat({"krv_pass.ini ", key, " read back as \"", drive, "\" is no drive: C: stands in"}));
  return "C:";
}

// Guards against a damaged disk number read back from krv_pass.ini.
// It goes unquoted into a command line later, so anything but digits counts
// as no number at all. The log says so.
Text DigitsOrEmpty(Host& host, const Text& number) {
  if (IsDigits(number))
    return number;
  host.Note(Concat({"krv_pass.ini [boot] drvc read back as \"", number, "\" is no disk number"}));
  return Text();
}

}  // namespace

SurveySettings FindBootPartitions(Host& host, InstallContext& context) {
  const Text& dir = context.ProductDirSlash;
  const Text passIni = Concat({dir, "krv_pass.ini"});
  SurveySettings settings;

  // System partition: every line of the all-disk scan that holds the system
  // drive writes its entry and the drive; the last such line stays.
  const Text systemScript =
      Concat({"\r\nfor /f \"tokens=2 delims=: \" %%i in ('findstr \" ", context.SystemDrive, " \" ",
              dir, "zp_all0.txt') do ", FiCommand(dir, passIni, "spt_i", "spt_1", "%%i"), "&",
              FiCommand(dir, passIni, "spt_i", "spt_2", context.SystemDrive), "\r\n"});
  ScratchBatchRun(host, context.TempDirSlash, "vk_spt01.bat", systemScript);
  context.SystemDrive =
      DriveOrC(host, host.ReadIni(passIni, "spt_i", "spt_2", Text()), "[spt_i] spt_2");

  // Boot disk: each disk whose scan lists the system drive rewrites drvc, so
  // the highest such disk stays.
  const char* const scans[] = {"zp_all.txt", "zp_all2.txt", "zp_all3.txt", "zp_all4.txt"};
  const char* const indexes[] = {"0", "1", "2", "3"};
  for (int disk = 0; disk < 4; ++disk) {
    host.RunCommand(Concat({context.ShellPrefix, "findstr /c:\" ", context.SystemDrive, " \" ", dir,
                            scans[disk], "&if not errorlevel 1 ",
                            FiCommand(dir, passIni, "boot", "drvc", indexes[disk])}));
  }
  context.BootDiskIndex = DigitsOrEmpty(host, host.ReadIni(passIni, "boot", "drvc", Text()));

  // The boot disk's own scan file; anything but 0 to 3 falls back to disk 1.
  const char* const suffixes[] = {"", "2", "3", "4"};
  for (int disk = 0; disk < 4; ++disk) {
    if (TextEquals(context.BootDiskIndex, indexes[disk])) {
      settings.BootDiskSuffix = suffixes[disk];
      break;
    }
  }

  // Active partition: the lines of the boot disk's scan marked Yes; the last
  // one stays.
  const Text activeScript = Concat({"\r\nfor /f \"tokens=2,3 delims=: \" %%i in ('findstr \"Yes\" ",
                                    dir, "zp_all", settings.BootDiskSuffix, ".txt') do ",
                                    FiCommand(dir, passIni, "apt_i", "apt_1", "%%i"), "&",
                                    FiCommand(dir, passIni, "apt_i", "apt_2", "%%j:"), "\r\n"});
  ScratchBatchRun(host, context.TempDirSlash, "vk_apt01.bat", activeScript);
  context.ActiveDrive =
      DriveOrC(host, host.ReadIni(passIni, "apt_i", "apt_2", Text()), "[apt_i] apt_2");

  return settings;
}

}  // namespace kvx
