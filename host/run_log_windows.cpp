// The run log's folder and the machine's facts on Windows. Built only for
// Windows (i686, NT 5.1 and later); what Windows XP SP3 may lack is looked up
// at run time. The log's own file actions use the wide functions, so that
// any folder name works and the host's own operations are told apart.
#include "host/run_log_windows.h"

#include <cstdio>
#include <string>

#include "host/windows_api.h"

namespace kvx {
namespace {

const UINT kGbk = 936;

std::wstring Wide(const Text& text, UINT codePage) {
  if (text.empty())
    return std::wstring();
  const int size = static_cast<int>(text.size());
  int length = MultiByteToWideChar(codePage, 0, text.data(), size, nullptr, 0);
  if (length <= 0 && codePage != CP_ACP) {
    codePage = CP_ACP;
    length = MultiByteToWideChar(codePage, 0, text.data(), size, nullptr, 0);
  }
  if (length <= 0)
    return std::wstring();
  std::wstring wide(static_cast<size_t>(length), L'\0');
  MultiByteToWideChar(codePage, 0, text.data(), size, &wide[0], length);
  return wide;
}

std::string Narrow(const std::wstring& wide, UINT codePage) {
  if (wide.empty())
    return std::string();
  const int size = static_cast<int>(wide.size());
  int length = WideCharToMultiByte(codePage, 0, wide.data(), size, nullptr, 0, nullptr, nullptr);
  if (length <= 0 && codePage != CP_ACP) {
    codePage = CP_ACP;
    length = WideCharToMultiByte(codePage, 0, wide.data(), size, nullptr, 0, nullptr, nullptr);
  }
  if (length <= 0)
    return std::string();
  std::string text(static_cast<size_t>(length), '\0');
  WideCharToMultiByte(codePage, 0, wide.data(), size, &text[0], length, nullptr, nullptr);
  return text;
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

class TempFolderLogSink : public RunLogSink {
 public:
  TempFolderLogSink() {
    wchar_t buffer[MAX_PATH + 2] = {};
    const DWORD got = GetTempPathW(MAX_PATH + 1, buffer);
    if (got > 0 && got <= MAX_PATH)
      folder_.assign(buffer, got);
    const std::wstring log = folder_.empty() ? std::wstring() : PathOf(kRunLogName);
    lstrcpynW(g_faultLogPath, log.c_str(), MAX_PATH + 16);
  }

  long long FileSize(const Text& name) override {
    WIN32_FILE_ATTRIBUTE_DATA data = {};
    if (folder_.empty() ||
        !GetFileAttributesExW(PathOf(name).c_str(), GetFileExInfoStandard, &data) ||
        (data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0) {
      return -1;
    }
    return (static_cast<long long>(data.nFileSizeHigh) << 32) | data.nFileSizeLow;
  }

  void Rename(const Text& name, const Text& newName) override {
    if (!folder_.empty())
      MoveFileExW(PathOf(name).c_str(), PathOf(newName).c_str(), MOVEFILE_REPLACE_EXISTING);
  }

  // Opened, appended to and closed again for every entry: what is written
  // stays written however the run ends, and the log can be read meanwhile.
  void Append(const Text& name, const Text& text) override {
    if (folder_.empty())
      return;
    const std::string bytes = GbkToUtf8(text);
    AppendRaw(PathOf(name).c_str(), bytes.data(), static_cast<DWORD>(bytes.size()));
  }

  void CopyTo(const Text& name, const Text& destination) override {
    if (!folder_.empty())
      CopyFileW(PathOf(name).c_str(), Wide(destination, CP_ACP).c_str(), FALSE);
  }

  unsigned long Milliseconds() override { return GetTickCount(); }

 private:
  std::wstring PathOf(const Text& name) const { return folder_ + Wide(name, CP_ACP); }

  std::wstring folder_;  // with its trailing backslash; empty when unknown
};

Text LocalTimeText() {
  SYSTEMTIME now = {};
  GetLocalTime(&now);
  char text[32];
  std::snprintf(text, sizeof text, "%04u-%02u-%02u %02u:%02u:%02u", now.wYear, now.wMonth, now.wDay,
                now.wHour, now.wMinute, now.wSecond);
  return text;
}

// The version as the system itself has it: RtlGetVersion is not bent by
// compatibility settings; GetVersionEx stands in where it is missing.
Text WindowsText() {
  RTL_OSVERSIONINFOW version = {};
  version.dwOSVersionInfoSize = sizeof(version);
  using RtlGetVersionFunction = LONG(WINAPI*)(RTL_OSVERSIONINFOW*);
  const auto rtlGetVersion = reinterpret_cast<RtlGetVersionFunction>(
      reinterpret_cast<void*>(GetProcAddress(GetModuleHandleW(L"ntdll.dll"), "RtlGetVersion")));
  if (rtlGetVersion == nullptr || rtlGetVersion(&version) != 0) {
    OSVERSIONINFOW fallback = {};
    fallback.dwOSVersionInfoSize = sizeof(fallback);
    if (!GetVersionExW(&fallback))
      return "unknown";
    version.dwMajorVersion = fallback.dwMajorVersion;
    version.dwMinorVersion = fallback.dwMinorVersion;
    version.dwBuildNumber = fallback.dwBuildNumber;
    lstrcpynW(version.szCSDVersion, fallback.szCSDVersion, 128);
  }
  Text text =
      Concat({std::to_string(version.dwMajorVersion), ".", std::to_string(version.dwMinorVersion),
              " build ", std::to_string(version.dwBuildNumber)});
  if (version.szCSDVersion[0] != L'\0')
    text += Concat({" ", Narrow(version.szCSDVersion, kGbk)});
  return text;
}

// IsWow64Process came with Windows XP SP2; before it there is no WOW64.
Text Wow64Text() {
  using IsWow64ProcessFunction = BOOL(WINAPI*)(HANDLE, BOOL*);
  const auto isWow64Process = reinterpret_cast<IsWow64ProcessFunction>(
      reinterpret_cast<void*>(GetProcAddress(GetModuleHandleW(L"kernel32.dll"), "IsWow64Process")));
  if (isWow64Process == nullptr)
    return "no (IsWow64Process is missing)";
  BOOL wow64 = FALSE;
  if (!isWow64Process(GetCurrentProcess(), &wow64))
    return "unknown";
  return wow64 ? "yes" : "no";
}

Text ProgramFolderText() {
  std::wstring path(MAX_PATH, L'\0');
  for (;;) {
    const DWORD got = GetModuleFileNameW(nullptr, &path[0], static_cast<DWORD>(path.size()));
    if (got == 0)
      return Text();
    if (got < path.size()) {
      path.resize(got);
      break;
    }
    path.resize(path.size() * 2);
  }
  const size_t slash = path.find_last_of(L"\\/");
  return Narrow(slash == std::wstring::npos ? path : path.substr(0, slash), kGbk);
}

}  // namespace

void NoteFaultInRunLog(const char* line) {
  if (g_faultLogPath[0] == L'\0' || line == nullptr)
    return;
  const wchar_t head[] = L"======== the run ended after a fault of the program: ";
  const wchar_t tail[] = L"; exit code 0 ========\r\n\r\n";
  const int room = static_cast<int>(sizeof(g_faultWide) / sizeof(g_faultWide[0]));
  lstrcpynW(g_faultWide, head, room);
  int used = lstrlenW(g_faultWide);
  const int tailLength = lstrlenW(tail);
  int got = MultiByteToWideChar(kGbk, 0, line, -1, g_faultWide + used, room - used - tailLength);
  if (got <= 0)
    got = MultiByteToWideChar(CP_ACP, 0, line, -1, g_faultWide + used, room - used - tailLength);
  used += got > 0 ? got - 1 : 0;
  lstrcpynW(g_faultWide + used, tail, room - used);
  const int size = WideCharToMultiByte(CP_UTF8, 0, g_faultWide, -1, g_faultUtf8,
                                       static_cast<int>(sizeof(g_faultUtf8)), nullptr, nullptr);
  if (size > 1)
    AppendRaw(g_faultLogPath, g_faultUtf8, static_cast<DWORD>(size - 1));
}

std::unique_ptr<RunLogSink> CreateTempFolderLogSink() {
  return std::make_unique<TempFolderLogSink>();
}

RunFacts GatherRunFacts() {
  RunFacts facts;
  facts.localTime = LocalTimeText();
  facts.windows = WindowsText();
  facts.ansiCodePage = std::to_string(GetACP());
  facts.wow64 = Wow64Text();
  facts.programFolder = ProgramFolderText();
  return facts;
}

std::string GbkToUtf8(const Text& text) {
  return Narrow(Wide(text, kGbk), CP_UTF8);
}

}  // namespace kvx
