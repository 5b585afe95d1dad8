#!/bin/bash
# Checks the shipped executable as a file: a 32-bit PE (PE32, i386) of the GUI
# subsystem that asks for NT 5.1 (Windows XP SP3); statically linked, so it
# imports only system DLLs; no imported function that Windows XP lacks (from
# a list of those a modern toolchain likes to pull in); its manifest runs it
# as the invoker and names Vista to 10/11; it carries a version record.
#
# usage: tests/windows/check_artifact.sh EXE
set -uo pipefail

exe=${1:?usage: check_artifact.sh EXE}
objdump=i686-w64-mingw32-objdump
windres=i686-w64-mingw32-windres
failures=0
checks=0

check() {  # description, then the command that must succeed
  local what=$1
  shift
  checks=$((checks + 1))
  if "$@"; then
    echo "ok: $what"
  else
    echo "FAILED: $what"
    failures=$((failures + 1))
  fi
}

has_line() { grep -Eq "$1" <<<"$2"; }

[ -f "$exe" ] || { echo "FAILED: $exe is missing (scripts/build-windows.sh makes it)"; exit 1; }
header=$($objdump -f "$exe")
private=$($objdump -p "$exe")
resources=$($windres -i "$exe" -O rc 2>/dev/null)

check "PE file for i386" has_line 'file format pei-i386' "$header"
check "PE32, not PE32+" has_line '^Magic[[:space:]]+010b' "$private"
check "GUI subsystem" has_line '^Subsystem[[:space:]]+00000002' "$private"
check "subsystem version 5.01" has_line '^MajorSubsystemVersion[[:space:]]+5$' "$private"
check "subsystem version 5.01 (minor)" has_line '^MinorSubsystemVersion[[:space:]]+1$' "$private"
check "operating system version 5.1" has_line '^MajorOSystemVersion[[:space:]]+5$' "$private"
check "operating system version 5.1 (minor)" has_line '^MinorOSystemVersion[[:space:]]+1$' "$private"

# The import table: "DLL Name: X" lines, each followed by its functions.
imports=$(awk '
  /^[[:space:]]*DLL Name:/ { dll = toupper($3); print "DLL " dll; next }
  dll != "" && /^[[:space:]]+[0-9a-f]+[[:space:]]+[0-9]+[[:space:]]+[A-Za-z_]/ { print "FN " dll " " $3; next }
  /^[[:space:]]*$/ && dll != "" { }
' <<<"$private")
dlls=$(sed -n 's/^DLL //p' <<<"$imports" | sort -u)
system_dlls='^(KERNEL32|USER32|GDI32|ADVAPI32|SHELL32|OLE32|OLEAUT32|SHLWAPI|COMCTL32|COMDLG32|VERSION|MSVCRT)\.DLL$'
check "imports something" test -n "$dlls"
for dll in $dlls; do
  check "imports only system DLLs: $dll" has_line "$system_dlls" "$dll"
done

# Functions a modern toolchain pulls in that Windows XP SP3 does not have.
xp_lacks=(
  GetTickCount64 GetSystemTimePreciseAsFileTime GetErrorMode GetCurrentProcessorNumber
  InitializeSRWLock AcquireSRWLockExclusive AcquireSRWLockShared ReleaseSRWLockExclusive
  ReleaseSRWLockShared TryAcquireSRWLockExclusive TryAcquireSRWLockShared
  InitializeConditionVariable SleepConditionVariableCS SleepConditionVariableSRW
  WakeConditionVariable WakeAllConditionVariable InitOnceExecuteOnce InitOnceBeginInitialize
  InitOnceComplete InitializeCriticalSectionEx CreateEventExA CreateEventExW CreateMutexExA
  CreateMutexExW CreateSemaphoreExW FlsAlloc FlsFree FlsGetValue FlsSetValue GetThreadId
  GetFinalPathNameByHandleA GetFinalPathNameByHandleW GetFileInformationByHandleEx
  SetFileInformationByHandle CreateSymbolicLinkA CreateSymbolicLinkW CreateFile2 CancelIoEx
  GetQueuedCompletionStatusEx SetThreadStackGuarantee GetDynamicTimeZoneInformation
  WaitOnAddress WakeByAddressSingle WakeByAddressAll GetLogicalProcessorInformationEx
  SetDefaultDllDirectories AddDllDirectory RemoveDllDirectory CompareStringEx LCMapStringEx
  GetLocaleInfoEx GetUserDefaultLocaleName LocaleNameToLCID LCIDToLocaleName IsValidLocaleName
  QueryFullProcessImageNameA QueryFullProcessImageNameW K32GetModuleFileNameExW K32EnumProcesses
  RegGetValueA RegGetValueW RegDeleteTreeA RegDeleteTreeW RegDeleteKeyExA RegDeleteKeyExW
  RegSetKeyValueA RegSetKeyValueW RegLoadMUIStringW SHGetKnownFolderPath
  SHCreateItemFromParsingName _fseeki64 _ftelli64 _set_invalid_parameter_handler
  _create_locale _free_locale _get_current_locale GetFirmwareType
)
functions=$(sed -n 's/^FN [^ ]* //p' <<<"$imports" | sort -u)
check "imports functions" test -n "$functions"
for name in "${xp_lacks[@]}"; do
  if grep -qx "$name" <<<"$functions"; then check "no $name (Windows XP lacks it)" false; fi
done
# The secure "_s" functions came to the system C runtime after Windows XP.
secure=$(sed -n 's/^FN MSVCRT\.DLL //p' <<<"$imports" | grep -E '_s$' || true)
check "no secure C runtime function${secure:+: $secure}" test -z "$secure"

check "manifest: runs as the invoker" has_line 'requestedExecutionLevel level=""asInvoker""' "$resources"
for os in e2011457-1546-43c5-a5fe-008deee3d3f0 35138b9a-5d96-4fbd-8e2d-a2440225f93a \
          4a2f28e3-53b9-4441-ba9c-d69d4a4a6e38 1f676c76-80e1-4239-95bb-83d0f6d0da78 \
          8e0f7a12-bfb3-4fe8-b9a5-48fd50a15a9a; do
  check "manifest: supported OS $os" has_line "supportedOS Id=\"\"\\{$os\\}\"\"" "$resources"
done
check "version record" has_line '^ FILEVERSION 2013, 1, 23, 0' "$resources"
check "version record names the file" has_line 'VALUE "OriginalFilename", "kvxcfg.exe"' "$resources"

echo "$((checks - failures)) passed, $failures failed"
[ "$failures" -eq 0 ]
