#include "entry/crash_guard_windows.h"

#include <csignal>
#include <cstdlib>
#include <exception>
#include <memory>

#include "entry/program.h"
#include "host/host_windows.h"
#include "host/windows_api.h"
#include "runlog/run_log_windows.h"

namespace kvx {
namespace {

FaultNote g_note = nullptr;
// Set by the first fault; a second one finds it set. The other is set while
// the note runs.
volatile LONG g_faulted = 0;
volatile LONG g_noting = 0;
// The fault's line, built without the heap, which a fault may have left broken.
char g_line[1024];
char g_detail[32];

void Add(char* buffer, int size, const char* text) {
  const int used = lstrlenA(buffer);
  lstrcpynA(buffer + used, text, size - used);
}

// Notes the first fault of the run; true when this is the first.
bool NoteFirstFault(const char* what, const char* detail) {
  if (InterlockedExchange(&g_faulted, 1) != 0)
    return false;
  g_line[0] = '\0';
  Add(g_line, sizeof(g_line), what);
  if (detail != nullptr) {
    Add(g_line, sizeof(g_line), ": ");
    Add(g_line, sizeof(g_line), detail);
  }
  Add(g_line, sizeof(g_line), "; last host operation: ");
  Add(g_line, sizeof(g_line), LastHostOperation());
  g_noting = 1;
  if (g_note != nullptr)
    g_note(g_line);
  g_noting = 0;
  return true;
}

// Called first for every exception of the process. One raised while the note
// runs is a second fault (the system would not hand it to the unhandled
// exception filter again): the process ends at once, with exit code 0.
LONG WINAPI OnExceptionWhileNoting(EXCEPTION_POINTERS*) {
  if (g_noting != 0)
    TerminateProcess(GetCurrentProcess(), 0);
  return EXCEPTION_CONTINUE_SEARCH;
}

// Ends the run after a fault with exit code 0, at once: nothing of the
// broken run (destructors, exit handlers) runs any more. A fault while the
// first one is noted comes back here and ends the process without a note.
[[noreturn]] void EndAfterFault(const char* what, const char* detail) {
  NoteFirstFault(what, detail);
  TerminateProcess(GetCurrentProcess(), 0);
  ExitProcess(0);
}

[[noreturn]] void OnTerminate() {
  // Name the exception that is in flight, when there is one.
  if (const std::exception_ptr current = std::current_exception()) {
    try {
      std::rethrow_exception(current);
    } catch (const std::exception& error) {
      EndAfterFault("std::terminate with a C++ exception", error.what());
    } catch (...) {
    }
  }
  EndAfterFault("std::terminate", nullptr);
}

void OnAbort(int) {
  EndAfterFault("abort", nullptr);
}

void AddHex(unsigned long value) {
  char digits[] = "0x00000000";
  for (int i = 9; i >= 2; --i, value >>= 4)
    digits[i] = "0123456789ABCDEF"[value & 0xF];
  Add(g_detail, sizeof(g_detail), digits);
}

LONG WINAPI OnUnhandledException(EXCEPTION_POINTERS* exception) {
  const EXCEPTION_RECORD* record = exception != nullptr ? exception->ExceptionRecord : nullptr;
  if (record == nullptr || g_faulted != 0)
    EndAfterFault("structured exception", nullptr);
  g_detail[0] = '\0';
  AddHex(record->ExceptionCode);
  Add(g_detail, sizeof(g_detail), " at ");
  AddHex(static_cast<unsigned long>(reinterpret_cast<ULONG_PTR>(record->ExceptionAddress)));
  EndAfterFault("structured exception", g_detail);
}

}  // namespace

void GuardTheRun(FaultNote note) {
  g_note = note;
  // No box for a drive without a disk, a file that cannot be opened or a
  // fault, in this process and in every command it starts (they inherit
  // the mode): a hidden command that waited on an invisible box would hold
  // the run for ever.
  SetErrorMode(SEM_FAILCRITICALERRORS | SEM_NOGPFAULTERRORBOX | SEM_NOOPENFILEERRORBOX);
  // The C runtime's abort message goes to the standard error output (none
  // here), not to a "Runtime Error" box.
  _set_error_mode(_OUT_TO_STDERR);
  signal(SIGABRT, &OnAbort);
  std::set_terminate(&OnTerminate);
  SetUnhandledExceptionFilter(&OnUnhandledException);
  AddVectoredExceptionHandler(1, &OnExceptionWhileNoting);
}

int RunLoggedProgram(Host& host) {
  try {
    const std::unique_ptr<RunLogFile> log = CreateTempFolderLog();
    return RunProgram(host, log.get(), GatherRunFacts());
  } catch (const std::exception& error) {
    NoteFirstFault("C++ exception", error.what());
  } catch (...) {
    NoteFirstFault("C++ exception of an unknown type", nullptr);
  }
  return 0;
}

}  // namespace kvx
