// The Windows host. Built only for Windows (i686, NT 5.1 and later): it uses
// nothing that Windows XP SP3 lacks.
#include <map>
#include <string>

#include "host/host_windows.h"
#include "host/windows_api.h"

namespace kvx {
namespace {

// GetPrivateProfileString has no way to tell the length of a value in
// advance; the buffer grows up to this size.
constexpr DWORD kMaxIniValue = 16 * 1024 * 1024;

bool IsLeadByte(char c) {
  return IsDBCSLeadByte(static_cast<BYTE>(c)) != 0;
}

// Index of the last path separator that is a character of its own (not the
// trail byte of a double-byte character), or npos.
size_t LastSeparator(const Text& path) {
  size_t last = Text::npos;
  for (size_t i = 0; i < path.size(); ++i) {
    if (IsLeadByte(path[i]) && i + 1 < path.size()) {
      ++i;
      continue;
    }
    if (path[i] == '\\' || path[i] == '/')
      last = i;
  }
  return last;
}

}  // namespace

std::wstring Widen(const Text& text, unsigned codePage, bool* ok) {
  *ok = true;
  if (text.empty())
    return std::wstring();
  const int size = static_cast<int>(text.size());
  const int length = MultiByteToWideChar(codePage, 0, text.data(), size, nullptr, 0);
  if (length <= 0) {
    *ok = false;
    return std::wstring();
  }
  std::wstring wide(static_cast<size_t>(length), L'\0');
  MultiByteToWideChar(codePage, 0, text.data(), size, &wide[0], length);
  return wide;
}

Text Narrow(const std::wstring& wide, unsigned codePage, bool* lost) {
  *lost = false;
  if (wide.empty())
    return Text();
  // Every character has its place in UTF-8; the system takes neither the
  // flag nor the question for it.
  const bool utf8 = codePage == CP_UTF8 || (codePage == CP_ACP && GetACP() == CP_UTF8);
  const DWORD flags = utf8 ? 0 : WC_NO_BEST_FIT_CHARS;
  const char* substitute = utf8 ? nullptr : "?";
  BOOL usedSubstitute = FALSE;
  BOOL* used = utf8 ? nullptr : &usedSubstitute;
  const int size = static_cast<int>(wide.size());
  const int length =
      WideCharToMultiByte(codePage, flags, wide.data(), size, nullptr, 0, substitute, used);
  if (length <= 0) {
    *lost = true;
    return Text();
  }
  Text text(static_cast<size_t>(length), '\0');
  WideCharToMultiByte(codePage, flags, wide.data(), size, &text[0], length, substitute, used);
  // The way back must give the same characters (a double-byte code page
  // may map two characters to one sequence).
  bool ok = false;
  *lost = usedSubstitute != FALSE || Widen(text, codePage, &ok) != wide || !ok;
  return text;
}

std::wstring ModulePath() {
  std::wstring buffer(MAX_PATH, L'\0');
  for (;;) {
    const DWORD got = GetModuleFileNameW(nullptr, &buffer[0], static_cast<DWORD>(buffer.size()));
    if (got == 0)
      return std::wstring();
    if (got < buffer.size())
      return buffer.substr(0, got);
    buffer.resize(buffer.size() * 2);
  }
}

Text WindowsVersionText(const char* beforeBuild) {
  RTL_OSVERSIONINFOW version = {};
  version.dwOSVersionInfoSize = sizeof(version);
  using RtlGetVersionFunction = LONG(WINAPI*)(RTL_OSVERSIONINFOW*);
  const auto rtlGetVersion = reinterpret_cast<RtlGetVersionFunction>(
      reinterpret_cast<void*>(GetProcAddress(GetModuleHandleW(L"ntdll.dll"), "RtlGetVersion")));
  if (rtlGetVersion == nullptr || rtlGetVersion(&version) != 0) {
    version.dwOSVersionInfoSize = sizeof(OSVERSIONINFOW);
    if (!GetVersionExW(reinterpret_cast<OSVERSIONINFOW*>(&version)))
      return Text();
  }
  bool lost = false;
  const Text servicePack = Narrow(version.szCSDVersion, CP_ACP, &lost);
  return Concat({std::to_string(version.dwMajorVersion), ".",
                 std::to_string(version.dwMinorVersion), beforeBuild,
                 std::to_string(version.dwBuildNumber),
                 servicePack.empty() ? Text() : Concat({" ", servicePack})});
}

namespace {

// The short (8.3) form of an existing path, or the path itself when it has
// none; for ANSI and UTF-16 paths alike.
template <typename Char>
std::basic_string<Char> ShortForm(const std::basic_string<Char>& path,
                                  DWORD(WINAPI* shortPathName)(const Char*, Char*, DWORD)) {
  const DWORD needed = shortPathName(path.c_str(), nullptr, 0);
  if (needed == 0)
    return path;
  std::basic_string<Char> buffer(needed, Char());
  const DWORD got = shortPathName(path.c_str(), &buffer[0], needed);
  if (got == 0 || got >= needed)
    return path;
  buffer.resize(got);
  return buffer;
}

// A path read as UTF-16, in the ANSI code page: as it is when every
// character has its place there, else its short form when that one has
// (names outside the code page get short names made of ASCII); empty when
// neither can be named (8.3 names switched off, or no such path).
Text AnsiPath(const std::wstring& path) {
  bool lost = false;
  Text text = Narrow(path, CP_ACP, &lost);
  if (!lost)
    return text;
  text = Narrow(ShortForm(path, &GetShortPathNameW), CP_ACP, &lost);
  return lost ? Text() : text;
}

// Volume and file index of a folder, to tell whether two names lead to it.
bool FolderIdentity(const std::wstring& path, BY_HANDLE_FILE_INFORMATION* identity) {
  const HANDLE folder =
      CreateFileW(path.c_str(), 0, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                  OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr);
  if (folder == INVALID_HANDLE_VALUE)
    return false;
  const bool ok = GetFileInformationByHandle(folder, identity) != FALSE;
  CloseHandle(folder);
  return ok;
}

// ".", "..", "..\.." and so on: the name of the folder relative to the
// current folder when the current folder is that folder or lies inside it;
// empty otherwise. Made of dots, it needs no code page.
Text DotsTo(const std::wstring& folder) {
  BY_HANDLE_FILE_INFORMATION target;
  if (!FolderIdentity(folder, &target))
    return Text();
  const auto same = [](const BY_HANDLE_FILE_INFORMATION& a, const BY_HANDLE_FILE_INFORMATION& b) {
    return a.dwVolumeSerialNumber == b.dwVolumeSerialNumber &&
           a.nFileIndexHigh == b.nFileIndexHigh && a.nFileIndexLow == b.nFileIndexLow;
  };
  std::wstring dots = L".";
  BY_HANDLE_FILE_INFORMATION below = {};
  for (int up = 0;; ++up) {
    BY_HANDLE_FILE_INFORMATION here;
    if (!FolderIdentity(dots, &here) || (up > 0 && same(here, below)))
      return Text();  // not inside it: the root's ".." is the root itself
    if (same(here, target)) {
      bool lost = false;
      return Narrow(dots, CP_ACP, &lost);
    }
    below = here;
    dots = up == 0 ? std::wstring(L"..") : dots + L"\\..";
  }
}

// The host operation the run started last and its first argument, cut to
// fit (LastHostOperation).
char g_lastOperation[512] = "none";

void Started(const char* operation, const Text& argument = Text()) {
  lstrcpynA(g_lastOperation, operation, sizeof(g_lastOperation));
  if (argument.empty())
    return;
  const int used = lstrlenA(g_lastOperation);
  g_lastOperation[used] = ' ';
  lstrcpynA(g_lastOperation + used + 1, argument.c_str(), sizeof(g_lastOperation) - used - 1);
}

bool IsReadOnlyFile(const Text& path) {
  const DWORD attributes = GetFileAttributesA(path.c_str());
  return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_READONLY) != 0;
}

// The executable's file name without folder and extension: the caption of a
// message box that has none of its own.
std::wstring BaseNameWide(const std::wstring& path) {
  const size_t slash = path.find_last_of(L"\\/");
  std::wstring name = slash == std::wstring::npos ? path : path.substr(slash + 1);
  const size_t dot = name.rfind(L'.');
  if (dot != std::wstring::npos && dot > 0)
    name.resize(dot);
  return name;
}

// Relative INI paths would go to the Windows folder; they mean the current one.
Text FullPath(const Text& path) {
  if (path.empty())
    return path;
  std::string buffer(MAX_PATH, '\0');
  for (;;) {
    const DWORD got =
        GetFullPathNameA(path.c_str(), static_cast<DWORD>(buffer.size()), &buffer[0], nullptr);
    if (got == 0)
      return path;
    if (got < buffer.size())
      return buffer.substr(0, got);
    buffer.resize(got);
  }
}

HKEY RootKey(int root) {
  switch (root) {
    case kRootCurrentUser:
      return HKEY_CURRENT_USER;
    case kRootLocalMachine:
      return HKEY_LOCAL_MACHINE;
    default:
      return nullptr;
  }
}

// A registry value's type and raw data; false when key or value is absent.
bool QueryValue(HKEY root, const Text& keyPath, const Text& name, DWORD* type, std::string* data) {
  HKEY key = nullptr;
  if (root == nullptr ||
      RegOpenKeyExA(root, keyPath.c_str(), 0, KEY_QUERY_VALUE, &key) != ERROR_SUCCESS) {
    return false;
  }
  DWORD size = 256;
  LONG status = ERROR_MORE_DATA;
  for (int tries = 0; tries < 8 && status == ERROR_MORE_DATA; ++tries) {
    data->assign(size + 2, '\0');  // room for terminators the value may lack
    status = RegQueryValueExA(key, name.c_str(), nullptr, type,
                              reinterpret_cast<BYTE*>(&(*data)[0]), &size);
  }
  RegCloseKey(key);
  if (status != ERROR_SUCCESS)
    return false;
  data->resize(size);
  return true;
}

Text UpToNul(const std::string& data) {
  return data.substr(0, data.find('\0'));
}

Text ExpandEnvironment(const Text& text) {
  const DWORD needed = ExpandEnvironmentStringsA(text.c_str(), nullptr, 0);
  if (needed == 0)
    return text;
  std::string buffer(needed + 1, '\0');
  const DWORD got = ExpandEnvironmentStringsA(text.c_str(), &buffer[0], needed + 1);
  if (got == 0 || got > needed + 1)
    return text;
  return UpToNul(buffer);
}

// A text value (REG_SZ, or REG_EXPAND_SZ with its variables expanded).
bool ReadTextValue(HKEY root, const Text& keyPath, const Text& name, Text* value) {
  DWORD type = 0;
  std::string data;
  if (!QueryValue(root, keyPath, name, &type, &data))
    return false;
  if (type == REG_SZ) {
    *value = UpToNul(data);
    return true;
  }
  if (type == REG_EXPAND_SZ) {
    *value = ExpandEnvironment(UpToNul(data));
    return true;
  }
  return false;
}

// The strings of a REG_MULTI_SZ value, or of a REG_SZ one, joined by blanks.
Text ReadStringsValue(HKEY root, const Text& keyPath, const Text& name) {
  DWORD type = 0;
  std::string data;
  if (!QueryValue(root, keyPath, name, &type, &data))
    return Text();
  if (type == REG_SZ || type == REG_EXPAND_SZ)
    return UpToNul(data);
  if (type != REG_MULTI_SZ)
    return Text();
  Text joined;
  size_t start = 0;
  while (start < data.size()) {
    const size_t end = data.find('\0', start);
    const Text part = data.substr(start, end == std::string::npos ? Text::npos : end - start);
    if (part.empty())
      break;
    if (!joined.empty())
      joined += ' ';
    joined += part;
    if (end == std::string::npos)
      break;
    start = end + 1;
  }
  return joined;
}

// Maker and model of the machine from the registry's BIOS description, as
// "Name=value" lines after a line break (the text is appended to the
// management tool's listing). Windows XP has no BIOS key; there the BIOS
// version strings, which carry the maker's name, stand in.
Text MachineDescription() {
  const HKEY machine = HKEY_LOCAL_MACHINE;
  const Text bios = "HARDWARE\\DESCRIPTION\\System\\BIOS";
  static const char* const kNames[] = {"SystemManufacturer",    "SystemProductName",
                                       "SystemVersion",         "SystemFamily",
                                       "BaseBoardManufacturer", "BaseBoardProduct"};
  Text lines;
  for (const char* name : kNames) {
    Text value;
    if (ReadTextValue(machine, bios, name, &value) && !value.empty()) {
      lines += Concat({name, "=", value, "\r\n"});
    }
  }
  if (lines.empty()) {
    const Text system = "HARDWARE\\DESCRIPTION\\System";
    for (const char* name : {"SystemBiosVersion", "SystemBiosDate"}) {
      const Text value = ReadStringsValue(machine, system, name);
      if (!value.empty())
        lines += Concat({name, "=", value, "\r\n"});
    }
  }
  return lines.empty() ? Text() : Concat({"\r\n", lines});
}

// What Windows reports as its firmware type (Windows 8 and later).
FirmwareAnswer ReportedFirmwareType() {
  using GetFirmwareTypeFunction = BOOL(WINAPI*)(DWORD*);
  const auto getFirmwareType = Kernel32Function<GetFirmwareTypeFunction>("GetFirmwareType");
  DWORD type = 0;  // FirmwareTypeUnknown
  if (getFirmwareType == nullptr || !getFirmwareType(&type))
    return FirmwareAnswer::NotKnown;
  if (type == 1)  // FirmwareTypeBios
    return FirmwareAnswer::LegacyBios;
  if (type == 2)  // FirmwareTypeUefi
    return FirmwareAnswer::Uefi;
  return FirmwareAnswer::NotKnown;
}

// Enables a privilege that the process token holds; gives whether it was
// enabled here (and so is to be disabled again).
bool EnablePrivilege(HANDLE token, const char* name) {
  TOKEN_PRIVILEGES wanted = {};
  wanted.PrivilegeCount = 1;
  wanted.Privileges[0].Attributes = SE_PRIVILEGE_ENABLED;
  if (!LookupPrivilegeValueA(nullptr, name, &wanted.Privileges[0].Luid))
    return false;
  TOKEN_PRIVILEGES before = {};
  DWORD size = sizeof(before);
  if (!AdjustTokenPrivileges(token, FALSE, &wanted, sizeof(before), &before, &size) ||
      GetLastError() != ERROR_SUCCESS) {
    return false;  // ERROR_NOT_ALL_ASSIGNED: the token does not hold it
  }
  return before.PrivilegeCount == 1;  // it was disabled before
}

// Reads a firmware variable that cannot exist: an empty name in the zero
// namespace. Legacy BIOS has no firmware variables, and the read fails with
// ERROR_INVALID_FUNCTION; UEFI fails with another error. A failure for want
// of the system-environment privilege tells nothing either way.
FirmwareAnswer ProbedFirmwareVariable() {
  using GetVariableFunction = DWORD(WINAPI*)(LPCSTR, LPCSTR, PVOID, DWORD);
  const auto getVariable = Kernel32Function<GetVariableFunction>("GetFirmwareEnvironmentVariableA");
  if (getVariable == nullptr)
    return FirmwareAnswer::NotKnown;
  HANDLE token = nullptr;
  const bool opened =
      OpenProcessToken(GetCurrentProcess(), TOKEN_ADJUST_PRIVILEGES | TOKEN_QUERY, &token) != 0;
  const bool enabled = opened && EnablePrivilege(token, "SeSystemEnvironmentPrivilege");
  char value[16];
  const DWORD got = getVariable("", "{00000000-0000-0000-0000-000000000000}", value, sizeof value);
  const DWORD error = got != 0 ? ERROR_SUCCESS : GetLastError();
  if (enabled) {
    TOKEN_PRIVILEGES off = {};
    off.PrivilegeCount = 1;
    if (LookupPrivilegeValueA(nullptr, "SeSystemEnvironmentPrivilege", &off.Privileges[0].Luid))
      AdjustTokenPrivileges(token, FALSE, &off, 0, nullptr, nullptr);
  }
  if (opened)
    CloseHandle(token);
  if (error == ERROR_INVALID_FUNCTION)
    return FirmwareAnswer::LegacyBios;
  if (error == ERROR_PRIVILEGE_NOT_HELD)
    return FirmwareAnswer::NotKnown;
  return FirmwareAnswer::Uefi;
}

Text ComputerNameText() {
  char buffer[MAX_COMPUTERNAME_LENGTH + 1] = {};
  DWORD size = sizeof(buffer);
  return GetComputerNameA(buffer, &size) ? Text(buffer, size) : Text();
}

Text UserNameText() {
  char buffer[257] = {};
  DWORD size = sizeof(buffer);
  return GetUserNameA(buffer, &size) ? UpToNul(Text(buffer, size)) : Text();
}

Text WindowsFolderText() {
  char buffer[MAX_PATH + 1] = {};
  const UINT got = GetWindowsDirectoryA(buffer, MAX_PATH + 1);
  return got > 0 && got <= MAX_PATH ? Text(buffer, got) : Text();
}

Text ProcessorText() {
  Text value;
  ReadTextValue(HKEY_LOCAL_MACHINE, "HARDWARE\\DESCRIPTION\\System\\CentralProcessor\\0",
                "ProcessorNameString", &value);
  return value;
}

// Inheritable handles on the NUL device for a started process.
class NulHandles {
 public:
  NulHandles() {
    SECURITY_ATTRIBUTES inherit = {sizeof(inherit), nullptr, TRUE};
    const DWORD share = FILE_SHARE_READ | FILE_SHARE_WRITE;
    input = CreateFileA("NUL", GENERIC_READ, share, &inherit, OPEN_EXISTING, 0, nullptr);
    output = CreateFileA("NUL", GENERIC_WRITE, share, &inherit, OPEN_EXISTING, 0, nullptr);
  }
  ~NulHandles() {
    if (input != INVALID_HANDLE_VALUE)
      CloseHandle(input);
    if (output != INVALID_HANDLE_VALUE)
      CloseHandle(output);
  }
  NulHandles(const NulHandles&) = delete;
  NulHandles& operator=(const NulHandles&) = delete;

  HANDLE input = INVALID_HANDLE_VALUE;
  HANDLE output = INVALID_HANDLE_VALUE;
};

// Beside the host operations it tells how the last one ended (LastOutcome:
// the exit code of a command, the error of a file operation).
class WindowsHost : public Host {
 public:
  WindowsHost() = default;

  ~WindowsHost() override {
    for (const auto& file : files_) {
      if (file.second != INVALID_HANDLE_VALUE)
        CloseHandle(file.second);
    }
  }

  std::vector<Text> GetArguments() override {
    Started("GetArguments");
    return SplitArguments(GetCommandLineA());
  }

  [[noreturn]] void EndProgram(int exitCode) override { throw EndProgramSignal{exitCode}; }

  // The process gets no visible window, the NUL device as its standard
  // handles (a tool that unexpectedly asks for input reads end-of-file
  // instead of waiting for ever), and this process's folder and environment.
  void RunCommand(const Text& commandLine) override {
    Started("RunCommand", commandLine);
    Text line = CommandLineToStart(commandLine);
    const Text startedAs = line == commandLine ? Text() : line;
    NulHandles nul;
    STARTUPINFOA startup = {};
    startup.cb = sizeof(startup);
    startup.dwFlags = STARTF_USESHOWWINDOW | STARTF_USESTDHANDLES;
    startup.wShowWindow = SW_HIDE;
    startup.hStdInput = nul.input;
    startup.hStdOutput = nul.output;
    startup.hStdError = nul.output;
    PROCESS_INFORMATION process = {};
    if (!CreateProcessA(nullptr, &line[0], nullptr, nullptr, TRUE, CREATE_NO_WINDOW, nullptr,
                        nullptr, &startup, &process)) {
      last_ = {true, false, GetLastError(), startedAs};
      return;
    }
    CloseHandle(process.hThread);
    WaitForSingleObject(process.hProcess, INFINITE);
    DWORD exitCode = 0;
    GetExitCodeProcess(process.hProcess, &exitCode);
    last_ = {true, true, exitCode, startedAs};
    CloseHandle(process.hProcess);
  }

  void Delay(int milliseconds) override {
    Started("Delay");
    Sleep(milliseconds > 0 ? milliseconds : 0);
  }

  // Replaces the content and keeps the file's attributes (a hidden file is
  // written too; a read-only one is left alone, also where the system would
  // let an administrator write it).
  void WriteWholeFile(const Text& path, const Bytes& bytes) override {
    Started("WriteWholeFile", path);
    Done(ERROR_ACCESS_DENIED);
    if (IsReadOnlyFile(path))
      return;
    const HANDLE file = CreateFileA(path.c_str(), GENERIC_WRITE, FILE_SHARE_READ, nullptr,
                                    OPEN_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (!Remember(file != INVALID_HANDLE_VALUE))
      return;
    Remember(WriteAll(file, reinterpret_cast<const char*>(bytes.data()), bytes.size()) &&
             SetEndOfFile(file));
    CloseHandle(file);
  }

  // A file that cannot be opened still gets a number; it reads as the empty
  // text. ReadWrite creates a missing file; a read-only file opened with it
  // can still be read.
  int OpenFile(const Text& path, int openMode) override {
    Started("OpenFile", path);
    const DWORD share = FILE_SHARE_READ | FILE_SHARE_WRITE;
    HANDLE file = INVALID_HANDLE_VALUE;
    if (openMode == kReadWrite && !IsReadOnlyFile(path)) {
      file = CreateFileA(path.c_str(), GENERIC_READ | GENERIC_WRITE, share, nullptr, OPEN_ALWAYS,
                         FILE_ATTRIBUTE_NORMAL, nullptr);
    }
    if (file == INVALID_HANDLE_VALUE) {
      file = CreateFileA(path.c_str(), GENERIC_READ, share, nullptr, OPEN_EXISTING,
                         FILE_ATTRIBUTE_NORMAL, nullptr);
    }
    int number = 1;
    while (files_.count(number) != 0)
      ++number;
    files_[number] = file;
    return number;
  }

  Text ReadText(int fileNumber) override {
    Started("ReadText");
    const HANDLE file = Handle(fileNumber);
    Text text;
    if (file == INVALID_HANDLE_VALUE)
      return text;
    char chunk[64 * 1024];
    DWORD got = 0;
    while (::ReadFile(file, chunk, sizeof(chunk), &got, nullptr) && got > 0)
      text.append(chunk, got);
    return text;
  }

  void SeekToEnd(int fileNumber) override {
    Started("SeekToEnd");
    Seek(fileNumber, FILE_END);
  }

  void WriteText(int fileNumber, const Text& text) override {
    Started("WriteText");
    const HANDLE file = Handle(fileNumber);
    Done(ERROR_INVALID_HANDLE);
    if (file != INVALID_HANDLE_VALUE)
      Remember(WriteAll(file, text.data(), text.size()));
  }

  void SeekToStart(int fileNumber) override {
    Started("SeekToStart");
    Seek(fileNumber, FILE_BEGIN);
  }

  void CloseFile(int fileNumber) override {
    Started("CloseFile");
    auto it = files_.find(fileNumber);
    if (it == files_.end())
      return;
    if (it->second != INVALID_HANDLE_VALUE)
      CloseHandle(it->second);
    files_.erase(it);
  }

  bool FileExists(const Text& path) override {
    Started("FileExists", path);
    return !path.empty() && GetFileAttributesA(path.c_str()) != INVALID_FILE_ATTRIBUTES;
  }

  // A missing file is no failure: there was nothing to delete.
  void DeleteFile(const Text& path) override {
    Started("DeleteFile", path);
    if (!Remember(::DeleteFileA(path.c_str())) &&
        (last_.code == ERROR_FILE_NOT_FOUND || last_.code == ERROR_PATH_NOT_FOUND)) {
      Done(0);
    }
  }

  void CopyFile(const Text& source, const Text& destination) override {
    Started("CopyFile", source);
    Remember(::CopyFileA(source.c_str(), destination.c_str(), FALSE));
  }

  void RenameFile(const Text& oldPath, const Text& newPath) override {
    Started("RenameFile", oldPath);
    Remember(::MoveFileA(oldPath.c_str(), newPath.c_str()));
  }

  // A folder that is there already is no failure.
  void CreateFolder(const Text& path) override {
    Started("CreateFolder", path);
    if (!Remember(::CreateDirectoryA(path.c_str(), nullptr)) &&
        last_.code == ERROR_ALREADY_EXISTS) {
      Done(0);
    }
  }

  void SetAttributes(const Text& path, int attributes) override {
    Started("SetAttributes", path);
    const DWORD value =
        attributes & (FILE_ATTRIBUTE_READONLY | FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM);
    Remember(::SetFileAttributesA(path.c_str(), value == 0 ? FILE_ATTRIBUTE_NORMAL : value));
  }

  // Read as UTF-16 and named in the ANSI code page (AnsiFolderName).
  Text ProgramFolder() override {
    Started("ProgramFolder");
    const std::wstring path = ModulePath();
    const size_t slash = path.find_last_of(L"\\/");
    if (slash == std::wstring::npos)
      return Text();
    const std::wstring folder = path.substr(0, slash);
    return AnsiFolderName(folder, ShortForm(folder, &GetShortPathNameW));
  }

  Text ShortPath(const Text& path) override {
    Started("ShortPath", path);
    return ShortForm(path, &GetShortPathNameA);
  }

  using Host::ReadIni;
  Text ReadIni(const Text& path, const Text& section, const Text& key,
               const Text& defaultValue) override {
    Started("ReadIni", path);
    const Text file = FullPath(path);
    std::string buffer(4096, '\0');
    for (;;) {
      const DWORD size = static_cast<DWORD>(buffer.size());
      const DWORD got = GetPrivateProfileStringA(section.c_str(), key.c_str(), defaultValue.c_str(),
                                                 &buffer[0], size, file.c_str());
      // A value that filled the buffer may have been cut.
      if (got + 1 < size || size >= kMaxIniValue)
        return buffer.substr(0, got);
      buffer.assign(static_cast<size_t>(size) * 4, '\0');
    }
  }

  void WriteIni(const Text& path, const Text& section, const Text& key,
                const Text& value) override {
    Started("WriteIni", path);
    Remember(WritePrivateProfileStringA(section.c_str(), key.c_str(), value.c_str(),
                                        FullPath(path).c_str()));
  }

  // The path's last component is the value name; REG_EXPAND_SZ values come
  // with their variables expanded. Anything but a text value is absent.
  using Host::ReadRegistryText;
  Text ReadRegistryText(int root, const Text& path, const Text& defaultValue) override {
    Started("ReadRegistryText", path);
    const size_t slash = LastSeparator(path);
    const Text keyPath = slash == Text::npos ? Text() : path.substr(0, slash);
    const Text name = slash == Text::npos ? path : path.substr(slash + 1);
    Text value;
    return ReadTextValue(RootKey(root), keyPath, name, &value) ? value : defaultValue;
  }

  // Read as UTF-16 and given back in the ANSI code page: whole under Wine
  // too, whose ANSI function cuts double-byte values short. A value with a
  // character outside the code page (a user or folder name in another
  // script) comes in its short form; when even that cannot be named, the
  // value is taken as unset: for TMP the scratch files then go where an
  // unset TMP puts them, for COMSPEC the interpreter under Systemroot serves.
  Text GetEnv(const Text& name) override {
    Started("GetEnv", name);
    bool ok = false;
    const std::wstring wideName = Widen(name, CP_ACP, &ok);
    if (!ok)
      return Text();
    std::wstring buffer(256, L'\0');
    for (;;) {
      const DWORD size = static_cast<DWORD>(buffer.size());
      const DWORD got = GetEnvironmentVariableW(wideName.c_str(), &buffer[0], size);
      if (got < size)
        return AnsiPath(buffer.substr(0, got));
      buffer.assign(got, L'\0');
    }
  }

  // The GBK texts are shown through the wide message box. Where code page
  // 936 is not installed (an old Windows without East Asian support) the
  // bytes go to the ANSI message box as they are. The box comes to the
  // front and stays there: the program has no window, and its boxes come
  // after seconds of hidden work, when the setup package's window holds the
  // foreground; behind it, a box would leave the installation looking hung.
  using Host::ShowMessage;
  int ShowMessage(const Text& message, int style, const std::optional<Text>& caption) override {
    Started("ShowMessage", message);
    const UINT type = static_cast<UINT>(style) | MB_SETFOREGROUND | MB_TOPMOST;
    bool messageOk = false;
    bool captionOk = true;
    const std::wstring wideMessage = Widen(message, 936, &messageOk);
    const std::wstring wideCaption =
        caption ? Widen(*caption, 936, &captionOk) : BaseNameWide(ModulePath());
    if (messageOk && captionOk) {
      return MessageBoxW(nullptr, wideMessage.c_str(), wideCaption.c_str(), type);
    }
    bool lost = false;
    const Text ansiCaption = caption ? *caption : Narrow(BaseNameWide(ModulePath()), CP_ACP, &lost);
    return MessageBoxA(nullptr, message.c_str(), ansiCaption.c_str(), type);
  }

  void CreateShortcut(const Text& linkPathNoExt, const Text& target,
                      const std::optional<Text>& description, const std::optional<Text>& arguments,
                      const Text& workingFolder) override {
    Started("CreateShortcut", linkPathNoExt);
    const HRESULT com = CoInitialize(nullptr);
    IShellLinkA* link = nullptr;
    HRESULT result = CoCreateInstance(CLSID_ShellLink, nullptr, CLSCTX_INPROC_SERVER,
                                      IID_IShellLinkA, reinterpret_cast<void**>(&link));
    if (SUCCEEDED(result)) {
      link->SetPath(target.c_str());
      link->SetWorkingDirectory(workingFolder.c_str());
      if (description)
        link->SetDescription(description->c_str());
      if (arguments)
        link->SetArguments(arguments->c_str());
      IPersistFile* file = nullptr;
      result = link->QueryInterface(IID_IPersistFile, reinterpret_cast<void**>(&file));
      if (SUCCEEDED(result)) {
        bool ok = false;
        const std::wstring path = Widen(Concat({linkPathNoExt, ".LNK"}), CP_ACP, &ok);
        result = ok ? file->Save(path.c_str(), TRUE) : E_INVALIDARG;
        file->Release();
      }
      link->Release();
    }
    if (SUCCEEDED(com))
      CoUninitialize();
    Done(SUCCEEDED(result) ? 0 : static_cast<unsigned long>(result));
  }

  // The six texts: Windows version ("5.1.2600 Service Pack 3"), computer
  // name, user name, Windows folder, processor name, and the machine's maker
  // and model (see MachineDescription). Each is empty when not to be had.
  void QuerySystemInfo(SystemInfoRecord& record) override {
    Started("QuerySystemInfo");
    record[0] = WindowsVersionText(".");
    record[1] = ComputerNameText();
    record[2] = UserNameText();
    record[3] = WindowsFolderText();
    record[4] = ProcessorText();
    record[5] = MachineDescription();
  }

  FirmwareAnswers QueryFirmware() override {
    Started("QueryFirmware");
    return {ReportedFirmwareType(), ProbedFirmwareVariable()};
  }

  HostOutcome LastOutcome() override { return last_; }

 private:
  // Keeps the error of a file operation for the run log; returns whether it succeeded.
  bool Remember(BOOL succeeded) {
    const DWORD error = succeeded ? 0 : GetLastError();
    Done(succeeded || error != 0 ? error : ERROR_GEN_FAILURE);
    return succeeded != FALSE;
  }

  // Keeps how a file operation ended: the system's error code, 0 when done.
  void Done(unsigned long error) { last_ = {true, true, error, Text()}; }

  HANDLE Handle(int fileNumber) const {
    auto it = files_.find(fileNumber);
    return it == files_.end() ? INVALID_HANDLE_VALUE : it->second;
  }

  void Seek(int fileNumber, DWORD origin) {
    const HANDLE file = Handle(fileNumber);
    if (file != INVALID_HANDLE_VALUE)
      SetFilePointer(file, 0, nullptr, origin);
  }

  static bool WriteAll(HANDLE file, const char* data, size_t size) {
    while (size > 0) {
      DWORD written = 0;
      const DWORD chunk = size > 0x10000000 ? 0x10000000 : static_cast<DWORD>(size);
      if (!::WriteFile(file, data, chunk, &written, nullptr) || written == 0)
        return false;
      data += written;
      size -= written;
    }
    return true;
  }

  std::map<int, HANDLE> files_;
  HostOutcome last_;
};

}  // namespace

std::unique_ptr<Host> CreateWindowsHost() {
  return std::make_unique<WindowsHost>();
}

Text AnsiFolderName(const std::wstring& folder, const std::wstring& shortForm) {
  bool lost = false;
  Text name = Narrow(folder, CP_ACP, &lost);
  if (!lost)
    return name;
  const Text shortName = Narrow(shortForm, CP_ACP, &lost);
  if (!lost)
    return shortName;
  const Text dots = DotsTo(folder);
  if (!dots.empty())
    return dots;
  // '?' stands in every name for what had no place: a name that leads
  // nowhere (no file name holds '?', and no folder of a path may be a
  // pattern), so a command that names it fails and changes nothing.
  return name.find('?') != Text::npos ? name : Text("?");
}

const char* LastHostOperation() {
  return g_lastOperation;
}

std::vector<Text> SplitArguments(const Text& commandLine) {
  const Text& line = commandLine;
  size_t i = 0;
  // The program's path: up to the closing quotation mark, or the first blank.
  if (i < line.size() && line[i] == '"') {
    ++i;
    while (i < line.size() && line[i] != '"')
      i += IsLeadByte(line[i]) ? 2 : 1;
    if (i < line.size())
      ++i;
  } else {
    while (i < line.size() && line[i] != ' ' && line[i] != '\t') {
      i += IsLeadByte(line[i]) ? 2 : 1;
    }
  }

  std::vector<Text> arguments;
  for (;;) {
    while (i < line.size() && (line[i] == ' ' || line[i] == '\t'))
      ++i;
    if (i >= line.size())
      break;
    Text argument;
    bool quoted = false;
    while (i < line.size()) {
      const char c = line[i];
      if (!quoted && (c == ' ' || c == '\t'))
        break;
      if (c == '\\') {
        size_t slashes = 0;
        while (i < line.size() && line[i] == '\\') {
          ++slashes;
          ++i;
        }
        if (i < line.size() && line[i] == '"') {
          argument.append(slashes / 2, '\\');
          if (slashes % 2 == 1) {
            argument += '"';
            ++i;
          }
        } else {
          argument.append(slashes, '\\');
        }
        continue;
      }
      if (c == '"') {
        if (quoted && i + 1 < line.size() && line[i + 1] == '"') {
          argument += '"';
          i += 2;
        } else {
          quoted = !quoted;
          ++i;
        }
        continue;
      }
      if (IsLeadByte(c) && i + 1 < line.size()) {
        argument.append(line, i, 2);
        i += 2;
        continue;
      }
      argument += c;
      ++i;
    }
    arguments.push_back(argument);
  }
  return arguments;
}

Text CommandLineToStart(const Text& commandLine) {
  if (commandLine.find_first_of(" \t") == Text::npos)
    return commandLine;
  if (commandLine.find('"') != Text::npos)
    return commandLine;
  const DWORD attributes = GetFileAttributesA(commandLine.c_str());
  if (attributes == INVALID_FILE_ATTRIBUTES || (attributes & FILE_ATTRIBUTE_DIRECTORY) != 0) {
    return commandLine;
  }
  return Concat({"\"", commandLine, "\""});
}

}  // namespace kvx
