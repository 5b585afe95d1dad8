// The run's guard against faults of the program itself (GuardTheRun).
#include <csignal>
#include <cstdlib>
#include <exception>
#include <memory>

#include "entry/program.h"
#include "host/host_windows.h"
#include "host/windows_api.h"
#include "runlog/run_log.h"

namespace kvx {
namespace {

FaultNote g_note = nullptr;
volatile LONG g_faulted = 0;  // 1 from the first fault on
// The fault's line, made without the heap, which a fault may have broken.
char g_line[1024];

// Notes the run's first fault; a later one goes unnoted.
void NoteFault(const char* what, const char* detail) {
  if (InterlockedExchange(&g_faulted, 1) != 0)
    return;
  wsprintfA(g_line, "%s%s%.400s; last host operation: %.512s", what, detail != nullptr ? ": " : "",
            detail != nullptr ? detail : "", LastHostOperation());
  if (g_note != nullptr)
    g_note(g_line);
}

// Ends the run at once with exit code 0: nothing of the broken run
// (destructors, exit handlers) runs any more.
[[noreturn]] void EndAfterFault(const char* what, const char* detail) {
  NoteFault(what, detail);
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

// Windows hands the filter the exception's record, always.
LONG WINAPI OnUnhandledException(EXCEPTION_POINTERS* exception) {
  static char detail[32];
  const EXCEPTION_RECORD& record = *exception->ExceptionRecord;
  wsprintfA(detail, "0x%08lX at 0x%08lX", record.ExceptionCode,
            static_cast<unsigned long>(reinterpret_cast<ULONG_PTR>(record.ExceptionAddress)));
  EndAfterFault("structured exception", detail);
}

// Called first for every exception: one raised once a fault has come (while
// its note runs) ends the run at once, as the system would not hand it to
// the filter above again.
LONG WINAPI OnExceptionAfterFault(EXCEPTION_POINTERS*) {
  if (g_faulted != 0)
    TerminateProcess(GetCurrentProcess(), 0);
  return EXCEPTION_CONTINUE_SEARCH;
}

}  // namespace

void GuardTheRun(FaultNote note) {
  g_note = note;
  // A hidden command that waited on an invisible box would hold the run for ever.
  SetErrorMode(SEM_FAILCRITICALERRORS | SEM_NOGPFAULTERRORBOX | SEM_NOOPENFILEERRORBOX);
  // The C runtime's abort message goes to the standard error output (none
  // here), not to a "Runtime Error" box.
  _set_error_mode(_OUT_TO_STDERR);
  signal(SIGABRT, [](int) { EndAfterFault("abort", nullptr); });
  std::set_terminate(&OnTerminate);
  SetUnhandledExceptionFilter(&OnUnhandledException);
  AddVectoredExceptionHandler(1, &OnExceptionAfterFault);
}

int RunLoggedProgram(Host& host) {
  try {
    const std::unique_ptr<RunLogFile> log = CreateTempFolderLog();
    return RunProgram(host, log.get(), GatherRunFacts());
  } catch (const std::exception& error) {
    NoteFault("C++ exception", error.what());
  } catch (...) {
    NoteFault("C++ exception of an unknown type", nullptr);
  }
  return 0;
}

}  // namespace kvx
