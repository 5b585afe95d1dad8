// kvx_start.exe: starts a program the way a setup package does, in the
// program's own folder with its arguments, and traces it.
//
//   kvx_start.exe PROGRAM [ARGUMENT...]
//   kvx_start.exe --boxes PROGRAM [ARGUMENT...]
//
// The program is created suspended inside a job object; kvx_trace.dll (from
// this program's folder) is loaded into it before its first instruction
// runs; then it runs to its end. The call log (KVX_BENCH_LOG) gets a start
// record and an exit record with the program's exit code and the number of
// processes started in the job (the program and everything it started).
// The exit code is the program's, or 99 when it could not be started or
// traced.
//
// With --boxes the program is not traced (a setup package, which starts the
// configurator itself): instead every message box that opens on the desktop
// while it runs, whichever of its processes shows it, is read and answered as
// the tracer answers the configurator's (KVX_BENCH_ANSWERS), with the same
// records.
#include <windows.h>

#include <string>
#include <vector>

#include "tests/e2e/bench/box_windows.h"
#include "tests/e2e/bench/trace_record.h"
#include "tests/tools/doubles.h"
#include "tests/tools/text.h"

namespace {

using kvx::bench::EscapeForLog;

void Record(const char* kind, std::initializer_list<std::string> fields) {
  char log[4096];
  DWORD got = GetEnvironmentVariableA(kvx::bench::kLogVariable, log, sizeof log);
  if (got == 0 || got >= sizeof log)
    return;
  std::string line = std::string(kind) + "\t" + std::to_string(GetTickCount());
  for (const std::string& field : fields)
    line += "\t" + EscapeForLog(field);
  line += "\r\n";
  HANDLE file = CreateFileA(log, FILE_APPEND_DATA, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                            OPEN_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
  if (file != INVALID_HANDLE_VALUE) {
    DWORD wrote = 0;
    WriteFile(file, line.data(), static_cast<DWORD>(line.size()), &wrote, nullptr);
    CloseHandle(file);
  }
}

int Fail(const char* what) {
  char text[256];
  wsprintfA(text, "kvx_start: %s (error %lu)\n", what, GetLastError());
  DWORD wrote = 0;
  WriteFile(GetStdHandle(STD_ERROR_HANDLE), text, lstrlenA(text), &wrote, nullptr);
  return 99;
}

std::string FolderOf(const std::string& path) {
  size_t slash = path.find_last_of("\\/");
  return slash == std::string::npos ? std::string(".") : path.substr(0, slash);
}

// Loads the DLL into the suspended process through a thread of its own.
bool LoadInto(HANDLE process, const std::string& dll) {
  void* remote =
      VirtualAllocEx(process, nullptr, dll.size() + 1, MEM_COMMIT | MEM_RESERVE, PAGE_READWRITE);
  if (remote == nullptr ||
      !WriteProcessMemory(process, remote, dll.c_str(), dll.size() + 1, nullptr))
    return false;
  auto load = reinterpret_cast<LPTHREAD_START_ROUTINE>(
      reinterpret_cast<void*>(GetProcAddress(GetModuleHandleA("kernel32.dll"), "LoadLibraryA")));
  HANDLE thread = CreateRemoteThread(process, nullptr, 0, load, remote, 0, nullptr);
  if (thread == nullptr)
    return false;
  WaitForSingleObject(thread, INFINITE);
  DWORD module = 0;
  GetExitCodeThread(thread, &module);
  CloseHandle(thread);
  VirtualFreeEx(process, remote, 0, MEM_RELEASE);
  return module != 0;
}

BOOL CALLBACK FindBox(HWND window, LPARAM found) {
  if (kvx::bench::IsShownBox(window)) {
    *reinterpret_cast<HWND*>(found) = window;
    return FALSE;
  }
  return TRUE;
}

// Waits for the process's end, answering each box that opens meanwhile.
void AnswerBoxesUntilEnd(HANDLE process) {
  char list[256];
  DWORD got = GetEnvironmentVariableA(kvx::bench::kAnswersVariable, list, sizeof list);
  const std::vector<int> answers =
      kvx::bench::Answers(got > 0 && got < sizeof list ? std::string(list, got) : std::string());
  size_t boxes = 0;
  HWND answered = nullptr;
  while (WaitForSingleObject(process, 50) == WAIT_TIMEOUT) {
    HWND box = nullptr;
    EnumWindows(FindBox, reinterpret_cast<LPARAM>(&box));
    if (box == nullptr || box == answered)
      continue;
    const kvx::bench::ShownBox shown = kvx::bench::ReadBox(box);
    Record(kvx::bench::kRecordShown, {shown.caption, shown.text, shown.buttons});
    const int answer = boxes < answers.size() ? answers[boxes] : 0;
    ++boxes;
    Record(kvx::bench::kRecordPress, {std::to_string(kvx::bench::Press(box, shown, answer))});
    answered = box;
  }
}

}  // namespace

int main(int argc, char** argv) {
  const bool boxes = argc > 1 && lstrcmpA(argv[1], "--boxes") == 0;
  const int first = boxes ? 2 : 1;
  if (argc <= first)
    return Fail("usage: kvx_start.exe [--boxes] PROGRAM [ARGUMENT...]");
  char full[MAX_PATH];
  if (GetFullPathNameA(argv[first], MAX_PATH, full, nullptr) == 0)
    return Fail("no such program");
  const std::string program = full;
  std::string commandLine = "\"" + program + "\"";
  for (int i = first + 1; i < argc; ++i)
    commandLine += std::string(" ") + argv[i];
  const std::string folder = FolderOf(program);

  char self[MAX_PATH];
  GetModuleFileNameA(nullptr, self, MAX_PATH);
  const std::string dll = FolderOf(self) + "\\kvx_trace.dll";

  HANDLE job = CreateJobObjectA(nullptr, nullptr);
  STARTUPINFOA startup = {};
  startup.cb = sizeof startup;
  PROCESS_INFORMATION info = {};
  Record(kvx::bench::kRecordStart, {commandLine, folder});
  if (!CreateProcessA(nullptr, &commandLine[0], nullptr, nullptr, FALSE, CREATE_SUSPENDED, nullptr,
                      folder.c_str(), &startup, &info)) {
    return Fail("cannot start the program");
  }
  if (job != nullptr)
    AssignProcessToJobObject(job, info.hProcess);
  if (!boxes && !LoadInto(info.hProcess, dll)) {
    TerminateProcess(info.hProcess, 99);
    return Fail("cannot load kvx_trace.dll into the program");
  }
  ResumeThread(info.hThread);
  if (boxes)
    AnswerBoxesUntilEnd(info.hProcess);
  WaitForSingleObject(info.hProcess, INFINITE);
  DWORD code = 0;
  GetExitCodeProcess(info.hProcess, &code);

  std::string processes = "?";
  JOBOBJECT_BASIC_ACCOUNTING_INFORMATION accounting = {};
  if (job != nullptr && QueryInformationJobObject(job, JobObjectBasicAccountingInformation,
                                                  &accounting, sizeof accounting, nullptr)) {
    processes = std::to_string(accounting.TotalProcesses);
  }
  Record(kvx::bench::kRecordExit, {std::to_string(code), processes});
  CloseHandle(info.hThread);
  CloseHandle(info.hProcess);
  return static_cast<int>(code);
}
