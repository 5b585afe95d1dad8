// The run log's Windows side on a real Windows (under Wine, in the host's
// test executable): the log in the temporary folder, its UTF-8 text with one
// byte-order mark, the roll-over rename and the copy; and how the Windows host tells the log the
// way its operations ended.
#include <memory>
#include <string>

#include "host/host_windows.h"
#include "host/windows_api.h"
#include "runlog/run_log_windows.h"
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
    const HANDLE file = CreateFileW((folder_ + L"\\" + name).c_str(), GENERIC_READ, FILE_SHARE_READ,
                                    nullptr, OPEN_EXISTING, 0, nullptr);
    if (file == INVALID_HANDLE_VALUE)
      return "<missing>";
    std::string bytes(1 << 16, '\0');
    DWORD got = 0;
    ReadFile(file, &bytes[0], static_cast<DWORD>(bytes.size()), &got, nullptr);
    CloseHandle(file);
    bytes.resize(got);
    return bytes;
  }

  std::wstring folder_;
  std::wstring oldTmp_;
};

TEST_F(LogFolderTest, AppendsUtf8WithOneMarkRollsOverAndCopies) {
  const std::unique_ptr<RunLogFile> log = CreateTempFolderLog();
  EXPECT_EQ(log->Size(), -1);
  log->Append("警告 KORVAX\r\n");
  log->Append("珂瓦克斯\r\n");
  const std::string utf8 =
      "\xEF\xBB\xBF\xE8\xAD\xA6\xE5\x91\x8A KORVAX\r\n\xE7\x8F\x82\xE7\x93\xA6\xE5\x85\x8B"
      "\xE6\x96\xAF\r\n";
  EXPECT_EQ(Read(L"kvxcfg.log"), utf8);
  EXPECT_EQ(log->Size(), static_cast<long long>(utf8.size()));

  // The roll-over replaces an older log; the next append starts a new file.
  const HANDLE older = CreateFileW((folder_ + L"\\kvxcfg.old.log").c_str(), GENERIC_WRITE, 0,
                                   nullptr, CREATE_ALWAYS, 0, nullptr);
  CloseHandle(older);
  log->RollOver();
  EXPECT_EQ(Read(L"kvxcfg.old.log"), utf8);
  EXPECT_EQ(Read(L"kvxcfg.log"), "<missing>");
  log->Append("x");
  EXPECT_EQ(Read(L"kvxcfg.log"), "\xEF\xBB\xBFx");

  // The copy goes to an ANSI path, replacing what is there; one into a
  // folder that is not there tells the system's error.
  char ansi[MAX_PATH + 1] = {};
  WideCharToMultiByte(CP_ACP, 0, (folder_ + L"\\copy.log").c_str(), -1, ansi, MAX_PATH, nullptr,
                      nullptr);
  EXPECT_EQ(log->CopyTo(ansi), 0ul);
  log->Append("y");
  EXPECT_EQ(log->CopyTo(ansi), 0ul);
  EXPECT_EQ(Read(L"copy.log"), "\xEF\xBB\xBFxy");
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
