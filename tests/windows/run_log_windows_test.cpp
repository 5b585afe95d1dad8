// The run log's Windows side on a real Windows (under Wine, in the host's
// test executable): the log in the temporary folder, its UTF-8 text with one
// byte-order mark, the roll-over past 1 MiB and the copy; and how the Windows
// host tells the log the way its operations ended.
#include <fstream>
#include <iterator>
#include <memory>
#include <string>

#include "host/host_windows.h"
#include "host/windows_api.h"
#include "runlog/run_log.h"
#include "tests/windows/check.h"

namespace kvx {
namespace {

// A scratch folder with a blank and a Chinese name, made TMP while the test
// runs; removed again with what it holds.
class LogFolderTest : public check::Test {
 protected:
  void SetUp() override {
    wchar_t base[MAX_PATH + 1] = {};
    GetTempPathW(MAX_PATH, base);
    folder_ = std::wstring(base) + L"kvx log \x65E5\x5FD7";
    CreateDirectoryW(folder_.c_str(), nullptr);
    wchar_t old[MAX_PATH + 1] = {};
    oldTmp_.assign(old, GetEnvironmentVariableW(L"TMP", old, MAX_PATH));
    SetEnvironmentVariableW(L"TMP", folder_.c_str());
  }
  void TearDown() override {
    SetEnvironmentVariableW(L"TMP", oldTmp_.c_str());
    for (const wchar_t* name : {L"kvxcfg.log", L"kvxcfg.old.log", L"copy.log"})
      DeleteFileW((folder_ + L"\\" + name).c_str());
    RemoveDirectoryW(folder_.c_str());
  }

  std::string Read(const wchar_t* name) const {
    std::ifstream file((folder_ + L"\\" + name).c_str(), std::ios::binary);
    return file ? std::string(std::istreambuf_iterator<char>(file), {}) : "<missing>";
  }
  void Write(const wchar_t* name, const std::string& bytes) const {
    std::ofstream((folder_ + L"\\" + name).c_str(), std::ios::binary) << bytes;
  }

  std::wstring folder_;
  std::wstring oldTmp_;
};

TEST_F(LogFolderTest, AppendsUtf8WithOneMarkRollsOverAndCopies) {
  const std::unique_ptr<RunLogFile> log = CreateTempFolderLog();
  log->Append("警告 KORVAX\r\n");
  log->Append("珂瓦克斯\r\n");
  const std::string utf8 =
      "\xEF\xBB\xBF\xE8\xAD\xA6\xE5\x91\x8A KORVAX\r\n\xE7\x8F\x82\xE7\x93\xA6\xE5\x85\x8B"
      "\xE6\x96\xAF\r\n";
  EXPECT_EQ(Read(L"kvxcfg.log"), utf8);

  // A run's log of exactly 1 MiB (1,048,576 bytes) is appended to, also
  // past 1 MiB; one over it becomes the older log, replacing one, and the
  // run starts a new log; one whose older log is held open goes on.
  const std::string mebibyte(1048576, 'x');
  Write(L"kvxcfg.old.log", "older");
  for (const std::string ending : {"", "y", "z"}) {
    Write(L"kvxcfg.log", mebibyte + ending);
    const HANDLE held = ending == "z"
                            ? CreateFileW((folder_ + L"\\kvxcfg.old.log").c_str(), GENERIC_READ, 0,
                                          nullptr, OPEN_EXISTING, 0, nullptr)
                            : INVALID_HANDLE_VALUE;
    const std::unique_ptr<RunLogFile> next = CreateTempFolderLog();
    next->Append("a");
    next->Append("b");
    CloseHandle(held);
    EXPECT_EQ(Read(L"kvxcfg.log"),
              ending == "y" ? "\xEF\xBB\xBF" + std::string("ab") : mebibyte + ending + "ab");
    EXPECT_EQ(Read(L"kvxcfg.old.log"), ending.empty() ? "older" : mebibyte + "y");
  }

  // The copy goes to an ANSI path, replacing what is there; one into a
  // folder that is not there tells the system's error.
  Write(L"kvxcfg.log", "x");
  char ansi[MAX_PATH + 1] = {};
  WideCharToMultiByte(CP_ACP, 0, (folder_ + L"\\copy.log").c_str(), -1, ansi, MAX_PATH, nullptr,
                      nullptr);
  EXPECT_EQ(log->CopyTo(ansi), 0ul);
  log->Append("y");
  EXPECT_EQ(log->CopyTo(ansi), 0ul);
  EXPECT_EQ(Read(L"copy.log"), "xy");
  EXPECT_EQ(log->CopyTo("C:\\kvx-no-such-folder\\copy.log"), 3ul);
}

// The Windows host tells how its last operation ended through the host
// interface, also through a host wrapped around it.
TEST(WindowsHostOutcomes, ExitCodesAndFailedFileOperations) {
  const std::unique_ptr<Host> real = CreateWindowsHost();
  RunLog wrapped(*real, nullptr, {});
  Host* const host = &wrapped;

  host->RunCommand("cmd /c exit 3");
  EXPECT_TRUE(host->LastOutcome().known);
  EXPECT_TRUE(host->LastOutcome().started);
  EXPECT_EQ(host->LastOutcome().code, 3ul);
  host->RunCommand("C:\\no such folder\\no-such-program.exe");
  EXPECT_FALSE(host->LastOutcome().started);
  EXPECT_NE(host->LastOutcome().code, 0ul);

  const Text missing = "C:\\kvx-no-such-folder\\file.txt";
  host->CopyFile(missing, "C:\\kvx-no-such-folder\\copy.txt");
  EXPECT_NE(host->LastOutcome().code, 0ul);
  // Deleting what is not there, and making a folder that is, are done.
  host->DeleteFile(missing);
  EXPECT_EQ(host->LastOutcome().code, 0ul);
  char windows[MAX_PATH + 1] = {};
  GetWindowsDirectoryA(windows, MAX_PATH);
  host->CreateFolder(windows);
  EXPECT_EQ(host->LastOutcome().code, 0ul);
  host->SetAttributes(missing, kAttrNormal);
  EXPECT_NE(host->LastOutcome().code, 0ul);
}

}  // namespace
}  // namespace kvx
