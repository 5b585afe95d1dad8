// The run log's Windows side on a real Windows (under Wine, in the host's
// test executable): the log's folder in the temporary folder, its UTF-8 text
// with one byte-order mark, the roll-over rename and the copy; and what the
// Windows host tells the log about its operations.
#include <memory>
#include <string>

#include "host/host.h"
#include "host/host_windows.h"
#include "host/run_log.h"
#include "host/run_log_windows.h"
#include "host/text.h"
#include "host/windows_api.h"
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
  const std::unique_ptr<RunLogSink> sink = CreateTempFolderLogSink();
  EXPECT_EQ(sink->FileSize(kRunLogName), -1);
  sink->Append(kRunLogName, "警告 KORVAX\r\n");
  sink->Append(kRunLogName, "珂瓦克斯\r\n");
  const std::string utf8 =
      "\xEF\xBB\xBF\xE8\xAD\xA6\xE5\x91\x8A KORVAX\r\n\xE7\x8F\x82\xE7\x93\xA6\xE5\x85\x8B"
      "\xE6\x96\xAF\r\n";
  EXPECT_EQ(Read(L"kvxcfg.log"), utf8);
  EXPECT_EQ(sink->FileSize(kRunLogName), static_cast<long long>(utf8.size()));

  // The rename replaces an older log; the next append starts a new file.
  sink->Append(kOldRunLogName, "older");
  sink->Rename(kRunLogName, kOldRunLogName);
  EXPECT_EQ(Read(L"kvxcfg.old.log"), utf8);
  EXPECT_EQ(Read(L"kvxcfg.log"), "<missing>");
  sink->Append(kRunLogName, "x");
  EXPECT_EQ(Read(L"kvxcfg.log"), "\xEF\xBB\xBFx");

  // The copy goes to an ANSI path, replacing what is there.
  char ansi[MAX_PATH + 1] = {};
  WideCharToMultiByte(CP_ACP, 0, (folder_ + L"\\copy.log").c_str(), -1, ansi, MAX_PATH, nullptr,
                      nullptr);
  sink->CopyTo(kOldRunLogName, ansi);
  sink->CopyTo(kRunLogName, ansi);
  EXPECT_EQ(Read(L"copy.log"), "\xEF\xBB\xBFx");
}

TEST(WindowsHostOutcomes, ExitCodesAndFailedFileOperations) {
  const std::unique_ptr<Host> host = CreateWindowsHost();
  const HostOutcomes* outcomes = dynamic_cast<const HostOutcomes*>(host.get());
  ASSERT_TRUE(outcomes != nullptr);

  host->RunCommand("cmd /c exit 3");
  EXPECT_TRUE(outcomes->LastCommand().started);
  EXPECT_EQ(outcomes->LastCommand().exitCode, 3ul);
  host->RunCommand("C:\\no such folder\\no-such-program.exe");
  EXPECT_FALSE(outcomes->LastCommand().started);
  EXPECT_NE(outcomes->LastCommand().error, 0ul);

  const Text missing = "C:\\kvx-no-such-folder\\file.txt";
  host->CopyFile(missing, "C:\\kvx-no-such-folder\\copy.txt");
  EXPECT_NE(outcomes->LastFileError(), 0ul);
  // Deleting what is not there, and making a folder that is, are done.
  host->DeleteFile(missing);
  EXPECT_EQ(outcomes->LastFileError(), 0ul);
  char windows[MAX_PATH + 1] = {};
  GetWindowsDirectoryA(windows, MAX_PATH);
  host->CreateFolder(windows);
  EXPECT_EQ(outcomes->LastFileError(), 0ul);
  host->SetAttributes(missing, kAttrNormal);
  EXPECT_NE(outcomes->LastFileError(), 0ul);
}

}  // namespace
}  // namespace kvx
