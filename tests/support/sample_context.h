// A ready install context for tests of single steps: the values an install
// on a Chinese 32-bit Windows with C:\WINDOWS and C:\TEMP would build.
#ifndef KVXCFG_TESTS_SUPPORT_SAMPLE_CONTEXT_H
#define KVXCFG_TESTS_SUPPORT_SAMPLE_CONTEXT_H

#include "survey/records.h"

namespace kvx::testing {

// ProductTitle "珂瓦克斯 v2013.01.23", ShellPrefix "C:\WINDOWS\system32\cmd.exe /c ",
// TempDirSlash "C:\TEMP\", StartupDirSlash
// "C:\Documents and Settings\Administrator\「开始」菜单\程序\启动\", SystemDrive "C:",
// ActiveDrive "C:", BootDiskIndex "0", ProgramFilesX86 empty; the fixed names as built.
InstallContext SampleInstallContext();

// The same with the English names: "KORVAX v2013.01.23" and "KORVAX".
InstallContext SampleEnglishInstallContext();

}  // namespace kvx::testing

#endif  // KVXCFG_TESTS_SUPPORT_SAMPLE_CONTEXT_H
