// Built only for Windows (i686, NT 5.1 and later). The log's own file
// actions use the wide functions, so that any folder name works and the
// host's own operations are told apart.
#include "runlog/run_log_windows.h"

#include <cstdio>
#include <string>

#include "host/host_windows.h"
#include "host/windows_api.h"

namespace kvx {
namespace {

// GBK text in the code page asked for; where code page 936 is not installed
// (an old Windows without East Asian support) the ANSI code page stands in.
Text FromGbk(const Text& text, UINT codePage) {
  bool ok = false;
  bool lost = false;
  std::wstring wide = Widen(text, 936, &ok);
  if (!ok)
    wide = Widen(text, CP_ACP, &ok);
  return Narrow(wide, codePage, &lost);
}

Text ToGbk(const std::wstring& wide) {
  bool lost = false;
  const Text text = Narrow(wide, 936, &lost);
  return text.empty() && lost ? Narrow(wide, CP_ACP, &lost) : text;
}

// Appends bytes to the log, with the byte-order mark when it starts the file.
void AppendRaw(const wchar_t* path, const char* bytes, DWORD size) {
  const HANDLE file = CreateFileW(path, FILE_APPEND_DATA, FILE_SHARE_READ | FILE_SHARE_WRITE,
                                  nullptr, OPEN_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
  if (file == INVALID_HANDLE_VALUE)
    return;
  DWORD high = 0;
  DWORD written = 0;
  if (GetFileSize(file, &high) == 0 && high == 0)
    WriteFile(file, "\xEF\xBB\xBF", 3, &written, nullptr);
  WriteFile(file, bytes, size, &written, nullptr);
  CloseHandle(file);
}

// The log's full path for a fault's line, and the room to convert that line
// in: set aside before the run, since a fault may leave nothing else usable.
wchar_t g_faultLogPath[MAX_PATH + 16];
wchar_t g_faultWide[2048];
char g_faultUtf8[3 * 2048 + 128];

class TempFolderLog : public RunLogFile {
 public:
  TempFolderLog() {
    wchar_t folder[MAX_PATH + 2] = {};
    const DWORD got = GetTempPathW(MAX_PATH + 1, folder);
    if (got > 0 && got <= MAX_PATH) {
      path_ = std::wstring(folder, got) + L"kvxcfg.log";
      old_ = std::wstring(folder, got) + L"kvxcfg.old.log";
    }
    lstrcpynW(g_faultLogPath, path_.c_str(), MAX_PATH + 16);
  }

  long long Size() override {
    WIN32_FILE_ATTRIBUTE_DATA data = {};
    if (path_.empty() || !GetFileAttributesExW(path_.c_str(), GetFileExInfoStandard, &data) ||
        (data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0) {
      return -1;
    }
    return (static_cast<long long>(data.nFileSizeHigh) << 32) | data.nFileSizeLow;
  }

  void RollOver() override {
    if (!path_.empty())
      MoveFileExW(path_.c_str(), old_.c_str(), MOVEFILE_REPLACE_EXISTING);
  }

  // Opened, appended to and closed again for every entry: what is written
  // stays written however the run ends, and the log can be read meanwhile.
  void Append(const Text& text) override {
    const std::string bytes = FromGbk(text, CP_UTF8);
    if (!path_.empty())
      AppendRaw(path_.c_str(), bytes.data(), static_cast<DWORD>(bytes.size()));
  }

  unsigned long CopyTo(const Text& destination) override {
    bool ok = false;
    const std::wstring to = Widen(destination, CP_ACP, &ok);
    if (path_.empty() || !ok)
      return ERROR_PATH_NOT_FOUND;
    return CopyFileW(path_.c_str(), to.c_str(), FALSE) ? 0 : GetLastError();
  }

 private:
  std::wstring path_;  // empty when Windows names no temporary folder
  std::wstring old_;
};

// IsWow64Process came with Windows XP SP2; before it there is no WOW64.
Text Wow64Text() {
  using IsWow64ProcessFunction = BOOL(WINAPI*)(HANDLE, BOOL*);
  const auto isWow64Process = reinterpret_cast<IsWow64ProcessFunction>(
      reinterpret_cast<void*>(GetProcAddress(GetModuleHandleW(L"kernel32.dll"), "IsWow64Process")));
  BOOL wow64 = FALSE;
  if (isWow64Process == nullptr)
    return "no (IsWow64Process is missing)";
  if (!isWow64Process(GetCurrentProcess(), &wow64))
    return "unknown";
  return wow64 ? "yes" : "no";
}

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
  const Text windows = WindowsVersionText(" build ");
  const std::wstring program = ModulePath();
  const size_t slash = program.find_last_of(L"\\/");
  return {time, windows.empty() ? Text("unknown") : windows, std::to_string(GetACP()),
          Wow64Text(), ToGbk(slash == std::wstring::npos ? program : program.substr(0, slash))};
}

void NoteFaultInRunLog(const char* line) {
  if (g_faultLogPath[0] == L'\0' || line == nullptr)
    return;
  const wchar_t head[] = L"======== the run ended after a fault of the program: ";
  const wchar_t tail[] = L"; exit code 0 ========\r\n\r\n";
  const int room = static_cast<int>(sizeof(g_faultWide) / sizeof(g_faultWide[0]));
  lstrcpynW(g_faultWide, head, room);
  int used = lstrlenW(g_faultWide);
  const int tailLength = lstrlenW(tail);
  int got = MultiByteToWideChar(936, 0, line, -1, g_faultWide + used, room - used - tailLength);
  if (got <= 0)
    got = MultiByteToWideChar(CP_ACP, 0, line, -1, g_faultWide + used, room - used - tailLength);
  used += got > 0 ? got - 1 : 0;
  lstrcpynW(g_faultWide + used, tail, room - used);
  const int size = WideCharToMultiByte(CP_UTF8, 0, g_faultWide, -1, g_faultUtf8,
                                       static_cast<int>(sizeof(g_faultUtf8)), nullptr, nullptr);
  if (size > 1)
    AppendRaw(g_faultLogPath, g_faultUtf8, static_cast<DWORD>(size - 1));
}

}  // namespace kvx
