// kvx_trace.dll: loaded into kvxcfg.exe by kvx_start.exe before its first
// instruction runs. It redirects a few entries of the executable's import
// table to functions that append a record to the bench's call log (the file
// named by KVX_BENCH_LOG, which the doubles write too) and then call the
// system's function unchanged:
//
//   CreateProcessA      the exact command line; for a batch file started by
//                       its path, also the file's bytes as they are run
//   WaitForSingleObject the end of that process, with its exit code
//   MessageBoxW/A       style, caption and text as passed; what the box
//                       really shows (read from its window) and the button
//                       pressed on it; the code returned
//   Sleep               each pause; with KVX_BENCH_PAUSES=skip it is recorded
//                       but not waited out (every double has ended by then)
//   CopyFileA, MoveFileA, DeleteFileA, CreateDirectoryA, SetFileAttributesA,
//   WritePrivateProfileStringA   the host's own file operations
//   GetProcAddress      only on a machine that started through UEFI
//                       (KVX_BENCH_FIRMWARE=uefi): the firmware's answers
//
// Message boxes open for real (Wine's null display driver gives them a
// window without a display). A watcher thread finds each box of the
// program's thread, reads its caption, text and buttons, and presses the
// answer that KVX_BENCH_ANSWERS names for it: a comma-separated list of
// button codes, one per box in order (6 Yes, 7 No, 1 OK); a box beyond the
// list gets OK, or No when it has no OK button.
#include <windows.h>

#include <string>
#include <vector>

#include "tests/e2e/bench/box_windows.h"
#include "tests/e2e/bench/trace_record.h"
#include "tests/tools/doubles.h"
#include "tests/tools/text.h"

namespace {

using kvx::bench::EscapeForLog;
using kvx::bench::GbkOf;

std::string g_log;
std::vector<int> g_answers;
size_t g_boxes = 0;
HANDLE g_lastProcess = nullptr;

decltype(&CreateProcessA) RealCreateProcessA;
decltype(&WaitForSingleObject) RealWaitForSingleObject;
decltype(&MessageBoxW) RealMessageBoxW;
decltype(&MessageBoxA) RealMessageBoxA;
decltype(&Sleep) RealSleep;
decltype(&CopyFileA) RealCopyFileA;
decltype(&MoveFileA) RealMoveFileA;
decltype(&DeleteFileA) RealDeleteFileA;
decltype(&CreateDirectoryA) RealCreateDirectoryA;
decltype(&SetFileAttributesA) RealSetFileAttributesA;
decltype(&WritePrivateProfileStringA) RealWritePrivateProfileStringA;

std::string Env(const char* name) {
  char buffer[4096];
  DWORD got = GetEnvironmentVariableA(name, buffer, sizeof buffer);
  return got > 0 && got < sizeof buffer ? std::string(buffer, got) : std::string();
}

// One record: the kind, the time in ms, then the fields, tab-separated.
void Record(const char* kind, std::initializer_list<std::string> fields) {
  if (g_log.empty())
    return;
  std::string line = std::string(kind) + "\t" + std::to_string(GetTickCount());
  for (const std::string& field : fields)
    line += "\t" + EscapeForLog(field);
  line += "\r\n";
  DWORD error = GetLastError();
  HANDLE file = CreateFileA(g_log.c_str(), FILE_APPEND_DATA, FILE_SHARE_READ | FILE_SHARE_WRITE,
                            nullptr, OPEN_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
  if (file != INVALID_HANDLE_VALUE) {
    DWORD wrote = 0;
    WriteFile(file, line.data(), static_cast<DWORD>(line.size()), &wrote, nullptr);
    CloseHandle(file);
  }
  SetLastError(error);  // the program sees the error of its own call
}

// The file a command line names when it is nothing but a path (in quotes
// or not) of an existing .bat file; empty otherwise.
std::string BatchPath(const std::string& commandLine) {
  std::string path = commandLine;
  if (path.size() >= 2 && path.front() == '"' && path.back() == '"')
    path = path.substr(1, path.size() - 2);
  if (path.size() < 4 || !kvx::bench::EqualsIgnoreCase(path.substr(path.size() - 4), ".bat"))
    return std::string();
  DWORD attributes = GetFileAttributesA(path.c_str());
  if (attributes == INVALID_FILE_ATTRIBUTES || (attributes & FILE_ATTRIBUTE_DIRECTORY) != 0)
    return std::string();
  return path;
}

std::string ReadWhole(const std::string& path) {
  std::string bytes;
  HANDLE file = CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                            OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
  if (file == INVALID_HANDLE_VALUE)
    return bytes;
  char chunk[65536];
  DWORD got = 0;
  while (ReadFile(file, chunk, sizeof chunk, &got, nullptr) && got > 0)
    bytes.append(chunk, got);
  CloseHandle(file);
  return bytes;
}

BOOL WINAPI HookCreateProcessA(LPCSTR application, LPSTR commandLine, LPSECURITY_ATTRIBUTES process,
                               LPSECURITY_ATTRIBUTES thread, BOOL inherit, DWORD flags,
                               LPVOID environment, LPCSTR folder, LPSTARTUPINFOA startup,
                               LPPROCESS_INFORMATION info) {
  const std::string line = commandLine != nullptr ? commandLine : "";
  Record(kvx::bench::kRecordRun, {line});
  const std::string batch = BatchPath(line);
  if (!batch.empty())
    Record(kvx::bench::kRecordBatch, {batch, ReadWhole(batch)});
  BOOL started = RealCreateProcessA(application, commandLine, process, thread, inherit, flags,
                                    environment, folder, startup, info);
  if (!started) {
    DWORD error = GetLastError();
    Record(kvx::bench::kRecordNotStarted, {std::to_string(error)});
    SetLastError(error);
  } else {
    g_lastProcess = info->hProcess;
  }
  return started;
}

DWORD WINAPI HookWaitForSingleObject(HANDLE handle, DWORD milliseconds) {
  DWORD result = RealWaitForSingleObject(handle, milliseconds);
  if (handle == g_lastProcess && handle != nullptr) {
    g_lastProcess = nullptr;
    DWORD exitCode = 0;
    DWORD error = GetLastError();
    if (!GetExitCodeProcess(handle, &exitCode))
      exitCode = STILL_ACTIVE;
    SetLastError(error);
    Record(kvx::bench::kRecordEnded, {std::to_string(exitCode)});
  }
  return result;
}

// --- Message boxes ---

struct BoxWatch {
  DWORD thread = 0;
  int answer = 0;
  volatile LONG done = 0;
};

BOOL CALLBACK FindDialog(HWND window, LPARAM found) {
  if (kvx::bench::IsShownBox(window)) {
    *reinterpret_cast<HWND*>(found) = window;
    return FALSE;
  }
  return TRUE;
}

DWORD WINAPI WatchBox(LPVOID parameter) {
  BoxWatch* watch = static_cast<BoxWatch*>(parameter);
  for (int tries = 0; tries < 2400 && watch->done == 0; ++tries) {
    HWND box = nullptr;
    EnumThreadWindows(watch->thread, FindDialog, reinterpret_cast<LPARAM>(&box));
    if (box == nullptr) {
      RealSleep(50);
      continue;
    }
    const kvx::bench::ShownBox shown = kvx::bench::ReadBox(box);
    Record(kvx::bench::kRecordShown, {shown.caption, shown.text, shown.buttons});
    Record(kvx::bench::kRecordPress,
           {std::to_string(kvx::bench::Press(box, shown, watch->answer))});
    return 0;
  }
  return 0;
}

int NextAnswer() {
  return g_boxes < g_answers.size() ? g_answers[g_boxes++] : (++g_boxes, 0);
}

template <typename Show>
int WatchedBox(Show show) {
  BoxWatch watch;
  watch.thread = GetCurrentThreadId();
  watch.answer = NextAnswer();
  HANDLE watcher = CreateThread(nullptr, 0, WatchBox, &watch, 0, nullptr);
  int result = show();
  InterlockedExchange(&watch.done, 1);
  if (watcher != nullptr) {
    RealWaitForSingleObject(watcher, INFINITE);
    CloseHandle(watcher);
  }
  Record(kvx::bench::kRecordAnswer, {std::to_string(result)});
  return result;
}

std::string StyleText(UINT style) {
  char hex[16];
  wsprintfA(hex, "0x%02X", style);
  return hex;
}

int WINAPI HookMessageBoxW(HWND owner, LPCWSTR text, LPCWSTR caption, UINT style) {
  Record(kvx::bench::kRecordBox,
         {StyleText(style), caption != nullptr ? GbkOf(caption) : std::string("-"), GbkOf(text)});
  return WatchedBox([&] { return RealMessageBoxW(owner, text, caption, style); });
}

int WINAPI HookMessageBoxA(HWND owner, LPCSTR text, LPCSTR caption, UINT style) {
  Record(kvx::bench::kRecordBox,
         {StyleText(style), caption != nullptr ? caption : "-", text != nullptr ? text : ""});
  return WatchedBox([&] { return RealMessageBoxA(owner, text, caption, style); });
}

void WINAPI HookSleep(DWORD milliseconds) {
  Record(kvx::bench::kRecordPause, {std::to_string(milliseconds)});
  if (Env("KVX_BENCH_PAUSES") != "skip")
    RealSleep(milliseconds);
}

// --- The host's file operations ---

std::string Text(LPCSTR text) {
  return text != nullptr ? text : "";
}

BOOL WINAPI HookCopyFileA(LPCSTR from, LPCSTR to, BOOL failIfExists) {
  Record(kvx::bench::kRecordHost, {"copy", Text(from), Text(to)});
  return RealCopyFileA(from, to, failIfExists);
}

BOOL WINAPI HookMoveFileA(LPCSTR from, LPCSTR to) {
  Record(kvx::bench::kRecordHost, {"move", Text(from), Text(to)});
  return RealMoveFileA(from, to);
}

BOOL WINAPI HookDeleteFileA(LPCSTR path) {
  Record(kvx::bench::kRecordHost, {"delete", Text(path)});
  return RealDeleteFileA(path);
}

BOOL WINAPI HookCreateDirectoryA(LPCSTR path, LPSECURITY_ATTRIBUTES security) {
  Record(kvx::bench::kRecordHost, {"mkdir", Text(path)});
  return RealCreateDirectoryA(path, security);
}

BOOL WINAPI HookSetFileAttributesA(LPCSTR path, DWORD attributes) {
  Record(kvx::bench::kRecordHost, {"attributes", Text(path), std::to_string(attributes)});
  return RealSetFileAttributesA(path, attributes);
}

BOOL WINAPI HookWritePrivateProfileStringA(LPCSTR section, LPCSTR key, LPCSTR value, LPCSTR file) {
  Record(kvx::bench::kRecordHost, {"ini", Text(file), Text(section), Text(key), Text(value)});
  return RealWritePrivateProfileStringA(section, key, value, file);
}

// --- The firmware of a machine that started through UEFI ---

// Wine answers as legacy BIOS firmware does. With KVX_BENCH_FIRMWARE=uefi the
// program's lookups of the two firmware functions get these, which answer as
// on a PC that started through UEFI: the firmware type UEFI, and a read of a
// firmware variable that does not exist failing with an error of the
// firmware's own, not ERROR_INVALID_FUNCTION.
decltype(&GetProcAddress) RealGetProcAddress;

BOOL WINAPI UefiFirmwareType(DWORD* type) {
  *type = 2;  // FirmwareTypeUefi
  return TRUE;
}

DWORD WINAPI UefiFirmwareVariable(LPCSTR, LPCSTR, PVOID, DWORD) {
  SetLastError(ERROR_NOACCESS);
  return 0;
}

FARPROC WINAPI HookGetProcAddress(HMODULE module, LPCSTR name) {
  if (HIWORD(reinterpret_cast<ULONG_PTR>(name)) != 0) {
    if (lstrcmpA(name, "GetFirmwareType") == 0)
      return reinterpret_cast<FARPROC>(&UefiFirmwareType);
    if (lstrcmpA(name, "GetFirmwareEnvironmentVariableA") == 0)
      return reinterpret_cast<FARPROC>(&UefiFirmwareVariable);
  }
  return RealGetProcAddress(module, name);
}

// --- The import table ---

// Points the module's import of dll!function at hook; keeps the address it
// held in *real. False when the module does not import it by name.
template <typename Function>
bool Redirect(HMODULE module, const char* dll, const char* function, Function hook,
              Function* real) {
  BYTE* base = reinterpret_cast<BYTE*>(module);
  auto* dos = reinterpret_cast<IMAGE_DOS_HEADER*>(base);
  auto* nt = reinterpret_cast<IMAGE_NT_HEADERS*>(base + dos->e_lfanew);
  const IMAGE_DATA_DIRECTORY& directory =
      nt->OptionalHeader.DataDirectory[IMAGE_DIRECTORY_ENTRY_IMPORT];
  if (directory.VirtualAddress == 0)
    return false;
  for (auto* import = reinterpret_cast<IMAGE_IMPORT_DESCRIPTOR*>(base + directory.VirtualAddress);
       import->Name != 0; ++import) {
    if (lstrcmpiA(reinterpret_cast<const char*>(base + import->Name), dll) != 0 ||
        import->OriginalFirstThunk == 0) {
      continue;
    }
    auto* names = reinterpret_cast<IMAGE_THUNK_DATA*>(base + import->OriginalFirstThunk);
    auto* slots = reinterpret_cast<IMAGE_THUNK_DATA*>(base + import->FirstThunk);
    for (; names->u1.AddressOfData != 0; ++names, ++slots) {
      if (IMAGE_SNAP_BY_ORDINAL(names->u1.Ordinal))
        continue;
      auto* name = reinterpret_cast<IMAGE_IMPORT_BY_NAME*>(base + names->u1.AddressOfData);
      if (lstrcmpA(reinterpret_cast<const char*>(name->Name), function) != 0)
        continue;
      DWORD old = 0;
      if (!VirtualProtect(&slots->u1.Function, sizeof(slots->u1.Function), PAGE_READWRITE, &old))
        return false;
      *real = reinterpret_cast<Function>(slots->u1.Function);
      slots->u1.Function = reinterpret_cast<ULONG_PTR>(hook);
      VirtualProtect(&slots->u1.Function, sizeof(slots->u1.Function), old, &old);
      return true;
    }
  }
  return false;
}

// What the program does not import (MessageBoxA, say) still needs the real
// address for the watcher's own use.
template <typename Function>
void Hook(HMODULE module, const char* dll, const char* function, Function hook, Function* real) {
  if (!Redirect(module, dll, function, hook, real))
    *real = reinterpret_cast<Function>(
        reinterpret_cast<void*>(GetProcAddress(GetModuleHandleA(dll), function)));
}

void Install() {
  g_log = Env(kvx::bench::kLogVariable);
  g_answers = kvx::bench::Answers(Env(kvx::bench::kAnswersVariable));
  HMODULE exe = GetModuleHandleA(nullptr);
  Hook(exe, "kernel32.dll", "CreateProcessA", &HookCreateProcessA, &RealCreateProcessA);
  Hook(exe, "kernel32.dll", "WaitForSingleObject", &HookWaitForSingleObject,
       &RealWaitForSingleObject);
  Hook(exe, "user32.dll", "MessageBoxW", &HookMessageBoxW, &RealMessageBoxW);
  Hook(exe, "user32.dll", "MessageBoxA", &HookMessageBoxA, &RealMessageBoxA);
  Hook(exe, "kernel32.dll", "Sleep", &HookSleep, &RealSleep);
  Hook(exe, "kernel32.dll", "CopyFileA", &HookCopyFileA, &RealCopyFileA);
  Hook(exe, "kernel32.dll", "MoveFileA", &HookMoveFileA, &RealMoveFileA);
  Hook(exe, "kernel32.dll", "DeleteFileA", &HookDeleteFileA, &RealDeleteFileA);
  Hook(exe, "kernel32.dll", "CreateDirectoryA", &HookCreateDirectoryA, &RealCreateDirectoryA);
  Hook(exe, "kernel32.dll", "SetFileAttributesA", &HookSetFileAttributesA, &RealSetFileAttributesA);
  Hook(exe, "kernel32.dll", "WritePrivateProfileStringA", &HookWritePrivateProfileStringA,
       &RealWritePrivateProfileStringA);
  if (Env(kvx::bench::kFirmwareVariable) == "uefi")
    Hook(exe, "kernel32.dll", "GetProcAddress", &HookGetProcAddress, &RealGetProcAddress);
}

}  // namespace

BOOL WINAPI DllMain(HINSTANCE, DWORD reason, LPVOID) {
  if (reason == DLL_PROCESS_ATTACH)
    Install();
  return TRUE;
}
