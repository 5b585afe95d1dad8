// The Windows API as the Windows-only sources use it: windows.h without its
// min/max macros and without the A/W name macros that clash with the host's
// own operations (DeleteFile, CopyFile; the system functions are called by
// their ANSI names), and the COM shell link interfaces.
#ifndef KVXCFG_HOST_WINDOWS_API_H
#define KVXCFG_HOST_WINDOWS_API_H

#ifndef NOMINMAX
#define NOMINMAX
#endif
#include <windows.h>
#undef DeleteFile
#undef CopyFile

#include <objbase.h>
#include <shlobj.h>

#endif  // KVXCFG_HOST_WINDOWS_API_H
