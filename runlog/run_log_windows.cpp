// The run log on Windows, built only for Windows (i686, NT 5.1 and later).
// The log's own file actions use the wide functions, so that any folder name
// works and the host's own operations are told apart.
#include <algorithm>
#include <cstdio>
#include <string>

#include "host/host_windows.h"
#include "host/windows_api.h"
#include "runlog/run_log.h"

namespace kvx {
namespace {

// The log's path, empty when Windows names no temporary folder, and the room
// to turn a fault's line into UTF-8: set aside before the run, since a fault
// may leave nothing else.
wchar_t g_logPath[MAX_PATH + 16];
wchar_t g_faultWide[1100];
char g_faultUtf8[3 * 1100 + 100];

// Appends bytes to the log, with the byte-order mark when it starts the file;
// an empty path opens nothing. Opened and closed again for every entry: what
// is written stays written however the run ends, and the log can be read
// meanwhile.
void AppendRaw(const char* bytes, DWORD size) {
  const HANDLE file = CreateFileW(g_logPath, FILE_APPEND_DATA, FILE_SHARE_READ | FILE_SHARE_WRITE,
                                  nullptr, OPEN_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
  DWORD high = 0;
  DWORD written = 0;
  if (file == INVALID_HANDLE_VALUE)
    return;
  if (GetFileSize(file, &high) == 0 && high == 0)
    WriteFile(file, "\xEF\xBB\xBF", 3, &written, nullptr);
  WriteFile(file, bytes, size, &written, nullptr);
  CloseHandle(file);
}

class TempFolderLog : public RunLogFile {
 public:
  TempFolderLog() {
    const DWORD got = GetTempPathW(MAX_PATH + 1, g_logPath);
    if (got > 0 && got <= MAX_PATH)
      lstrcpyW(g_logPath + got, L"kvxcfg.log");
    else
      g_logPath[0] = L'\0';
  }

  // The run's first text rolls a log over 1 MiB over. The GBK text goes in
  // as UTF-8; where code page 936 is not installed (an old Windows without
  // East Asian support) it is read in the ANSI one.
  void Append(const Text& text) override {
    WIN32_FILE_ATTRIBUTE_DATA data = {};
    if (first_ && GetFileAttributesExW(g_logPath, GetFileExInfoStandard, &data) &&
        (data.nFileSizeHigh != 0 || data.nFileSizeLow > 1024 * 1024)) {
      const std::wstring older = std::wstring(g_logPath, lstrlenW(g_logPath) - 3) + L"old.log";
      MoveFileExW(g_logPath, older.c_str(), MOVEFILE_REPLACE_EXISTING);
    }
    first_ = false;
    bool ok = false;
    bool lost = false;
    const std::wstring wide = Widen(text, 936, &ok);
    const std::string bytes = Narrow(ok ? wide : Widen(text, CP_ACP, &ok), CP_UTF8, &lost);
    AppendRaw(bytes.data(), static_cast<DWORD>(bytes.size()));
  }

  unsigned long CopyTo(const Text& destination) override {
    bool ok = false;
    const std::wstring to = Widen(destination, CP_ACP, &ok);
    if (g_logPath[0] == L'\0' || !ok)
      return ERROR_PATH_NOT_FOUND;
    return CopyFileW(g_logPath, to.c_str(), FALSE) ? 0 : GetLastError();
  }

 private:
  bool first_ = true;
};

}  // namespace

std::unique_ptr<RunLogFile> CreateTempFolderLog() {
  return std::make_unique<TempFolderLog>();
}

RunFacts GatherRunFacts() {
  SYSTEMTIME now = {};
  GetLocalTime(&now);
  char time[32];
  std::snprintf(time, sizeof time, "%04u-%02u-%02u %02u:%02u:%02u", now.wYear, now.wMonth, now.wDay,
                now.wHour, now.wMinute, now.wSecond);
  // IsWow64Process came with Windows XP SP2; before it there is no WOW64.
  const auto isWow64Process = Kernel32Function<BOOL(WINAPI*)(HANDLE, BOOL*)>("IsWow64Process");
  BOOL wow64 = FALSE;
  const Text wow64Text = isWow64Process == nullptr ? "no (IsWow64Process is missing)"
                         : !isWow64Process(GetCurrentProcess(), &wow64) ? "unknown"
                         : wow64                                        ? "yes"
                                                                        : "no";
  // The program folder in GBK, as the log's other texts; else in the ANSI
  // code page.
  std::wstring folder = ModulePath();
  folder.resize(std::min(folder.size(), folder.find_last_of(L"\\/")));
  bool lost = false;
  Text programFolder = Narrow(folder, 936, &lost);
  if (programFolder.empty() && lost)
    programFolder = Narrow(folder, CP_ACP, &lost);
  const Text windows = WindowsVersionText(" build ");
  return {time, windows.empty() ? Text("unknown") : windows, std::to_string(GetACP()), wow64Text,
          programFolder};
}

void NoteFaultInRunLog(const char* line) {
  const int room = sizeof(g_faultWide) / sizeof(g_faultWide[0]);
  int wide = MultiByteToWideChar(936, 0, line, -1, g_faultWide, room);
  if (wide <= 0)
    wide = MultiByteToWideChar(CP_ACP, 0, line, -1, g_faultWide, room);
  lstrcpyA(g_faultUtf8, "======== the run ended after a fault of the program: ");
  const int used = lstrlenA(g_faultUtf8);
  const int got = wide <= 0
                      ? 0
                      : WideCharToMultiByte(CP_UTF8, 0, g_faultWide, -1, g_faultUtf8 + used,
                                            sizeof(g_faultUtf8) - used - 40, nullptr, nullptr);
  lstrcpyA(g_faultUtf8 + used + (got > 0 ? got - 1 : 0), "; exit code 0 ========\r\n\r\n");
  AppendRaw(g_faultUtf8, lstrlenA(g_faultUtf8));
}

}  // namespace kvx
