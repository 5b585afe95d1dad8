// The Windows host where a real PC differs from the sample machines. Run
// under Wine as on an English Windows (ANSI code page 1252) with Wine's null
// display driver, on which a box really opens and waits to be answered, as
// on a desktop (tests/windows/real_pc.sh):
// - the style bits that the message-box call gets;
// - faults of the program itself: a C++ exception in a step, std::terminate
//   and a fault, each ending with exit code 0 and no box waiting, and a
//   second fault while the first one's line is being written;
// - folder and user names outside the ANSI code page.
//
// Started as "--kvx-probe WHAT REPORT", the executable is instead a guarded
// run of the program, as the shipped entry makes it, in which a step goes
// wrong as WHAT says; it writes its fault note to REPORT. Started as
// "--kvx-verdict REPORT", it refuses the installation as the pre-install
// checks do (the marker beside it becomes win_lan1) and writes the program
// folder it used to REPORT.
#include <memory>
#include <set>
#include <stdexcept>
#include <string>

#include "entry/program.h"
#include "host/host.h"
#include "host/host_windows.h"
#include "host/scratch.h"
#include "host/text.h"
#include "host/windows_api.h"
#include "precheck/run_values.h"
#include "runlog/run_log.h"
#include "tests/windows/check.h"
#include "tests/windows/plain_files.h"

namespace kvx {
namespace {

// --- Plain Win32 helpers, independent of the host under test ---

std::wstring WideOf(const Text& ansi) {
  std::wstring wide(ansi.size() + 1, L'\0');
  const int got =
      MultiByteToWideChar(CP_ACP, 0, ansi.c_str(), -1, &wide[0], static_cast<int>(wide.size()));
  wide.resize(got > 0 ? static_cast<size_t>(got - 1) : 0);
  return wide;
}

std::wstring LongFormOf(const std::wstring& path) {
  wchar_t buffer[MAX_PATH * 2] = {};
  const DWORD got = GetLongPathNameW(path.c_str(), buffer, MAX_PATH * 2);
  return got > 0 && got < MAX_PATH * 2 ? std::wstring(buffer, got) : L"<none>";
}

bool IsFolderW(const std::wstring& path) {
  const DWORD attributes = GetFileAttributesW(path.c_str());
  return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
}

bool ExistsW(const std::wstring& path) {
  return GetFileAttributesW(path.c_str()) != INVALID_FILE_ATTRIBUTES;
}

std::wstring ExecutablePathW() {
  wchar_t buffer[MAX_PATH * 2] = {};
  const DWORD got = GetModuleFileNameW(nullptr, buffer, MAX_PATH * 2);
  return std::wstring(buffer, got);
}

BOOL CALLBACK AddIfVisible(HWND window, LPARAM windows) {
  if (IsWindowVisible(window))
    reinterpret_cast<std::set<HWND>*>(windows)->insert(window);
  return TRUE;
}

// The visible top-level windows of the desktop, every process's.
std::set<HWND> VisibleWindows() {
  std::set<HWND> windows;
  EnumWindows(&AddIfVisible, reinterpret_cast<LPARAM>(&windows));
  return windows;
}

// How a started program ended: its exit code, or that it still ran after
// the time allowed; the windows it (or a crash handler for it) left open.
struct Ending {
  bool ended = false;
  DWORD exitCode = 0;
  std::string boxes;  // titles of the windows that appeared, "|"-separated
};

// Starts the command line in the folder, waits for it at most the given
// time, and closes whatever window appeared meanwhile (ending its process),
// so that a failing run leaves nothing behind.
Ending RunAndWatch(const std::wstring& commandLine, const std::wstring& folder,
                   DWORD milliseconds) {
  Ending ending;
  const std::set<HWND> before = VisibleWindows();
  std::wstring line = commandLine;
  STARTUPINFOW startup = {};
  startup.cb = sizeof(startup);
  PROCESS_INFORMATION process = {};
  if (!CreateProcessW(nullptr, &line[0], nullptr, nullptr, FALSE, 0, nullptr, folder.c_str(),
                      &startup, &process)) {
    ending.boxes = "<could not start>";
    return ending;
  }
  CloseHandle(process.hThread);
  ending.ended = WaitForSingleObject(process.hProcess, milliseconds) == WAIT_OBJECT_0;
  for (HWND window : VisibleWindows()) {
    if (before.count(window) != 0)
      continue;
    char title[256] = {};
    GetWindowTextA(window, title, sizeof(title));
    ending.boxes += (ending.boxes.empty() ? "" : "|") + std::string(title);
    DWORD owner = 0;
    GetWindowThreadProcessId(window, &owner);
    if (const HANDLE other = OpenProcess(PROCESS_TERMINATE, FALSE, owner)) {
      TerminateProcess(other, 1);
      CloseHandle(other);
    }
  }
  if (!ending.ended)
    TerminateProcess(process.hProcess, 1);
  GetExitCodeProcess(process.hProcess, &ending.exitCode);
  CloseHandle(process.hProcess);
  return ending;
}

// A scratch folder of each test's own, with a Chinese name and a blank.
class RealPcTest : public check::Test {
 protected:
  void SetUp() override {
    ASSERT_EQ(GetACP(), 1252u) << "these tests run with the ANSI code page 1252";
    wchar_t temp[MAX_PATH + 1] = {};
    ASSERT_GT(GetTempPathW(MAX_PATH + 1, temp), 0u);
    dir_ = std::wstring(temp) + L"kvx 真机 " + std::to_wstring(GetCurrentProcessId()) + L" " +
           WideOf(check::CurrentTestName());
    RemoveTree(dir_);
    ASSERT_TRUE(CreateDirectoryW(dir_.c_str(), nullptr));
    wchar_t current[MAX_PATH + 1] = {};
    GetCurrentDirectoryW(MAX_PATH + 1, current);
    startFolder_ = current;
    host_ = CreateWindowsHost();
  }

  void TearDown() override {
    host_.reset();
    SetCurrentDirectoryW(startFolder_.c_str());
    RemoveTree(dir_);
  }

  std::wstring InW(const std::wstring& name) const { return dir_ + L"\\" + name; }
  // A path in the test folder that the ANSI functions can open: through
  // the folder's short name.
  Text AnsiIn(const Text& name) const {
    wchar_t shortDir[MAX_PATH * 2] = {};
    GetShortPathNameW(dir_.c_str(), shortDir, MAX_PATH * 2);
    char ansi[MAX_PATH * 2] = {};
    WideCharToMultiByte(CP_ACP, 0, shortDir, -1, ansi, sizeof(ansi), nullptr, nullptr);
    return Text(ansi) + "\\" + name;
  }

  std::wstring dir_;
  std::wstring startFolder_;
  std::unique_ptr<Host> host_;
};

// TMP of this process, for as long as it lives.
class TmpAs {
 public:
  explicit TmpAs(const std::wstring& value) {
    GetEnvironmentVariableW(L"TMP", saved_, MAX_PATH * 2);
    SetEnvironmentVariableW(L"TMP", value.c_str());
  }
  ~TmpAs() { SetEnvironmentVariableW(L"TMP", saved_); }
  TmpAs(const TmpAs&) = delete;
  TmpAs& operator=(const TmpAs&) = delete;

 private:
  wchar_t saved_[MAX_PATH * 2] = {};
};

// --- Message boxes come to the front ---

struct BoxCall {
  std::wstring text;
  std::wstring caption;
  UINT style = 0;
};
BoxCall g_lastBox;
int g_boxAnswer = 0;

int WINAPI RecordBox(HWND, LPCWSTR text, LPCWSTR caption, UINT style) {
  g_lastBox = {text != nullptr ? text : L"", caption != nullptr ? caption : L"", style};
  return g_boxAnswer;
}

// The executable's import slot through which it calls the function, found
// by the address the loader put there.
void** ImportSlot(const char* dll, const char* function) {
  auto* base = reinterpret_cast<BYTE*>(GetModuleHandleA(nullptr));
  const auto* dos = reinterpret_cast<const IMAGE_DOS_HEADER*>(base);
  const auto* nt = reinterpret_cast<const IMAGE_NT_HEADERS*>(base + dos->e_lfanew);
  const IMAGE_DATA_DIRECTORY& table = nt->OptionalHeader.DataDirectory[IMAGE_DIRECTORY_ENTRY_IAT];
  const void* target =
      reinterpret_cast<const void*>(GetProcAddress(GetModuleHandleA(dll), function));
  auto** slots = reinterpret_cast<void**>(base + table.VirtualAddress);
  for (size_t i = 0; target != nullptr && i < table.Size / sizeof(void*); ++i) {
    if (slots[i] == target)
      return &slots[i];
  }
  return nullptr;
}

// Points the slot at a replacement for as long as it lives.
class SlotRedirect {
 public:
  SlotRedirect(void** slot, void* replacement) : slot_(slot) {
    VirtualProtect(slot_, sizeof(void*), PAGE_READWRITE, &protection_);
    original_ = *slot_;
    *slot_ = replacement;
  }
  ~SlotRedirect() {
    *slot_ = original_;
    VirtualProtect(slot_, sizeof(void*), protection_, &protection_);
  }
  SlotRedirect(const SlotRedirect&) = delete;
  SlotRedirect& operator=(const SlotRedirect&) = delete;

 private:
  void** slot_;
  void* original_ = nullptr;
  DWORD protection_ = 0;
};

TEST_F(RealPcTest, MessageBoxesAskToComeToTheFrontAndKeepTheirStyleAndAnswer) {
  void** slot = ImportSlot("user32.dll", "MessageBoxW");
  // Without the redirection a box would open and wait for ever.
  ASSERT_TRUE(slot != nullptr);
  const SlotRedirect redirect(slot, reinterpret_cast<void*>(&RecordBox));
  const UINT front = MB_SETFOREGROUND | MB_TOPMOST;
  ASSERT_EQ(front, 0x50000u);

  g_boxAnswer = kButtonYes;
  EXPECT_EQ(host_->ShowMessage("是否继续？", kStyleQuestion, Text("警告")), kButtonYes);
  EXPECT_EQ(g_lastBox.style, 0x34u | front);
  EXPECT_TRUE(g_lastBox.caption == L"警告");
  EXPECT_TRUE(g_lastBox.text == L"是否继续？");

  g_boxAnswer = 7;
  EXPECT_EQ(host_->ShowMessage("x", kStyleQuestion, Text("y")), 7);
  g_boxAnswer = IDOK;
  EXPECT_EQ(host_->ShowMessage("stop", kStyleStop), IDOK);
  EXPECT_EQ(g_lastBox.style, 0x10u | front);
  EXPECT_EQ(host_->ShowMessage("notice", kStyleInformation), IDOK);
  EXPECT_EQ(g_lastBox.style, 0x40u | front);
  EXPECT_TRUE(g_lastBox.caption == L"kvxcfg_real_pc_tests");  // the default caption
}

// --- Faults of the program itself ---

// A run of the program ("1") on this machine whose first command goes wrong
// once it has run, in the way that WHAT names ("fault-twice": a fault, and
// another one in the fault's note). A run log without a file hands the rest on.
class StepFaultHost : public RunLog {
 public:
  StepFaultHost(Host& real, std::string what) : RunLog(real, nullptr, {}), what_(std::move(what)) {}

  std::vector<Text> GetArguments() override { return {"1"}; }
  [[noreturn]] void EndProgram(int exitCode) override { throw EndProgramSignal{exitCode}; }
  void RunCommand(const Text& commandLine) override {
    RunLog::RunCommand(commandLine);
    if (what_ == "throw")
      throw std::runtime_error("thrown in a step");
    if (what_ == "terminate")
      ThrowThroughNoexcept();
    if (what_ == "fault" || what_ == "fault-twice")
      *faultAddress_ = 1;
  }

 private:
  static void Throw() { throw std::runtime_error("thrown through a noexcept function"); }
  static void ThrowThroughNoexcept() noexcept { Throw(); }

  std::string what_;
  volatile int* volatile faultAddress_ = nullptr;
};

Text g_notePath;
bool g_faultInNote = false;
volatile int* volatile g_noteFaultAddress = nullptr;

// The line goes to the report and, as in the shipped entry, to the run log;
// for "fault-twice" a fault follows while the note is still being written.
void WriteNote(const char* line) {
  const Text report = ReadRaw(g_notePath);
  WriteRaw(g_notePath, (report == "<missing>" ? Text() : report) + line);
  NoteFaultInRunLog(line);
  if (g_faultInNote)
    *g_noteFaultAddress = 1;
}

int RunProbe(const std::string& what, const Text& report) {
  GuardTheRun(&WriteNote);
  g_notePath = report;
  g_faultInNote = what == "fault-twice";
  const std::unique_ptr<Host> real = CreateWindowsHost();
  StepFaultHost host(*real, what);
  return RunLoggedProgram(host);
}

class Faults : public RealPcTest {
 protected:
  // Runs the probe; it must end with exit code 0 in good time, leaving no
  // box, and its run log in the temporary folder (here the test's folder)
  // must end with the fault's line.
  Text ProbeEndsQuietly(const std::string& what) {
    const Text report = AnsiIn("note.txt");
    DeleteFileA(report.c_str());
    DeleteFileA(AnsiIn("kvxcfg.log").c_str());
    const TmpAs tmp(dir_);
    const Ending ending = RunAndWatch(L"\"" + ExecutablePathW() + L"\" --kvx-probe " +
                                          WideOf(what) + L" \"" + WideOf(report) + L"\"",
                                      dir_, 120000);
    EXPECT_TRUE(ending.ended) << what << " still ran after two minutes";
    EXPECT_EQ(ending.exitCode, 0u) << what;
    EXPECT_EQ(ending.boxes, "") << what << " left a box";
    const Text note = ReadRaw(report);
    const Text log = ReadRaw(AnsiIn("kvxcfg.log"));
    const Text end = "======== the run ended after a fault of the program: " + note +
                     "; exit code 0 ========\r\n\r\n";
    EXPECT_EQ(log.find("\xEF\xBB\xBF======== kvxcfg "), 0u) << log;
    EXPECT_TRUE(log.size() > end.size() &&
                log.compare(log.size() - end.size(), end.size(), end) == 0)
        << log;
    // One note and one fault's line, however many faults.
    EXPECT_EQ(log.find("======== the run ended after a fault"),
              log.rfind("======== the run ended after a fault"))
        << log;
    return note;
  }
};

TEST_F(Faults, ExceptionTerminateAndFaultInAStepEndWithZeroAndNoBox) {
  // The step: the first command of the pre-install checks, the delete of a
  // finding of an earlier run.
  const Text step = "; last host operation: RunCommand ";
  const Text thrown = ProbeEndsQuietly("throw");
  EXPECT_EQ(thrown.find("C++ exception: thrown in a step" + step), 0u) << thrown;
  EXPECT_NE(thrown.find("del /q \""), Text::npos) << thrown;

  const Text terminated = ProbeEndsQuietly("terminate");
  EXPECT_EQ(terminated.find("std::terminate with a C++ exception: thrown through a noexcept "
                            "function" +
                            step),
            0u)
      << terminated;

  // The write to address 0 is an access violation (0xC0000005) on Windows;
  // under Wine through qemu-i386 it arrives as an illegal instruction
  // (0xC000001D).
  const Text faulted = ProbeEndsQuietly("fault");
  EXPECT_EQ(faulted.find("structured exception: 0xC0000"), 0u) << faulted;
  EXPECT_NE(faulted.find(" at 0x"), Text::npos) << faulted;
  EXPECT_NE(faulted.find(step), Text::npos) << faulted;
  EXPECT_NE(faulted.find("vk_sys2.txt\""), Text::npos) << faulted;

  // A second fault while the first one's note is written ends the process
  // at once, still with exit code 0, no box and the first fault's line.
  const Text twice = ProbeEndsQuietly("fault-twice");
  EXPECT_EQ(twice.find("structured exception: 0xC0000"), 0u) << twice;
  EXPECT_EQ(twice.find("structured exception", 1), Text::npos) << twice;
  EXPECT_NE(twice.find("vk_sys2.txt\""), Text::npos) << twice;
}

// --- Names outside the ANSI code page ---

TEST_F(RealPcTest, ProgramInAChineseFolderRenamesItsVerdictMarker) {
  const std::wstring setup = InW(L"珂瓦克斯 安装");
  ASSERT_TRUE(CreateDirectoryW(setup.c_str(), nullptr));
  ASSERT_TRUE(CopyFileW(ExecutablePathW().c_str(), (setup + L"\\kvxcfg.exe").c_str(), FALSE));
  WriteRaw(AnsiIn("win_lan"), "");
  ASSERT_TRUE(MoveFileW(InW(L"win_lan").c_str(), (setup + L"\\win_lan").c_str()));

  // Started from another folder, as a setup package may start it.
  const Text report = AnsiIn("folder.txt");
  const Ending ending = RunAndWatch(
      L"\"" + setup + L"\\kvxcfg.exe\" --kvx-verdict \"" + WideOf(report) + L"\"", dir_, 120000);
  ASSERT_TRUE(ending.ended);
  EXPECT_EQ(ending.boxes, "");
  const Text folder = ReadRaw(report);
  EXPECT_EQ(folder.find('?'), Text::npos) << folder;
  EXPECT_TRUE(LongFormOf(WideOf(folder)) == setup) << folder;
  EXPECT_TRUE(ExistsW(setup + L"\\win_lan1"));
  EXPECT_FALSE(ExistsW(setup + L"\\win_lan"));
}

TEST_F(RealPcTest, EnvironmentPathOutsideTheCodePageComesInItsShortForm) {
  // A user named in Cyrillic.
  const std::wstring temp = InW(L"Иван") + L"\\Temp";
  ASSERT_TRUE(CreateDirectoryW(InW(L"Иван").c_str(), nullptr));
  ASSERT_TRUE(CreateDirectoryW(temp.c_str(), nullptr));
  {
    const TmpAs tmp(temp);
    const Text scratch = ScratchFolder(*host_);
    EXPECT_EQ(scratch.find('?'), Text::npos) << scratch;
    ASSERT_TRUE(LongFormOf(WideOf(scratch)) == temp) << scratch;
    ASSERT_TRUE(IsFolderW(WideOf(scratch))) << scratch;
    // The batch lines carry the folder: a script written there runs.
    ScratchBatchRun(*host_, scratch + "\\", "vk_spt01.bat",
                    "\r\necho ran>\"" + scratch + "\\ran.txt\"\r\n");
    EXPECT_EQ(ReadRaw(scratch + "\\ran.txt"), "ran\r\n");
  }
  // A path that cannot be named at all (here: none by that name, so no
  // short form) is taken as unset: the scratch files go to the drive root.
  const TmpAs tmp(InW(L"Пётр\\Temp"));
  EXPECT_EQ(host_->GetEnv("TMP"), "");
  EXPECT_EQ(ScratchFolder(*host_), "");
}

TEST_F(RealPcTest, FolderWithoutANameInTheCodePageIsNamedByDotsOrLeadsNowhere) {
  // As where 8.3 names are switched off: the short form is the long one.
  const std::wstring setup = InW(L"珂瓦克斯");
  const std::wstring inner = setup + L"\\解压";
  ASSERT_TRUE(CreateDirectoryW(setup.c_str(), nullptr));
  ASSERT_TRUE(CreateDirectoryW(inner.c_str(), nullptr));

  ASSERT_TRUE(SetCurrentDirectoryW(setup.c_str()));
  EXPECT_EQ(AnsiFolderName(setup, setup), ".");
  ASSERT_TRUE(SetCurrentDirectoryW(inner.c_str()));
  EXPECT_EQ(AnsiFolderName(setup, setup), "..");
  EXPECT_EQ(AnsiFolderName(inner, inner), ".");

  // From elsewhere no name reaches it: the rename of the marker fails and
  // changes nothing.
  ASSERT_TRUE(SetCurrentDirectoryW(dir_.c_str()));
  WriteRaw(AnsiIn("win_lan"), "");
  ASSERT_TRUE(MoveFileW(InW(L"win_lan").c_str(), (setup + L"\\win_lan").c_str()));
  const Text nowhere = AnsiFolderName(setup, setup);
  EXPECT_NE(nowhere.find('?'), Text::npos) << nowhere;
  char comspec[MAX_PATH + 1] = {};
  GetEnvironmentVariableA("COMSPEC", comspec, sizeof(comspec));
  host_->RunCommand(Text(comspec) + " /c ren \"" + nowhere + "\\win_lan\" win_lan1");
  EXPECT_TRUE(ExistsW(setup + L"\\win_lan"));
  EXPECT_FALSE(ExistsW(setup + L"\\win_lan1"));
}

// --- The programs the tests start ---

int RunVerdict(const Text& report) {
  const std::unique_ptr<Host> host = CreateWindowsHost();
  const PreInstallValues values = BuildPreInstallValues(*host);
  WriteRaw(report, host->ProgramFolder());
  RenameVerdictMarker(*host, values, "win_lan1");
  return 0;
}

}  // namespace
}  // namespace kvx

int main(int argc, char** argv) {
  const std::string mode = argc >= 2 ? argv[1] : "";
  if (mode == "--kvx-probe" && argc >= 4)
    return kvx::RunProbe(argv[2], argv[3]);
  if (mode == "--kvx-verdict" && argc >= 3)
    return kvx::RunVerdict(argv[2]);
  return kvx::check::RunAllTests(mode);
}
