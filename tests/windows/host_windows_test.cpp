// The Windows host on a real Windows (run under Wine by the test command):
// every operation against the file system, the registry, the environment,
// started processes, shell links and message boxes. Each test works in a
// scratch folder of its own whose name holds blanks, as a user's TMP may.
//
// Started as "--kvx-child MILLISECONDS FILE ARGUMENT...", the executable is
// instead the process that RunCommand starts: it waits, then writes what it
// found (current and program folder, environment, standard input, arguments)
// to FILE.
#include <memory>
#include <string>

#include "host/host.h"
#include "host/host_windows.h"
#include "host/text.h"
#include "host/windows_api.h"
#include "runlog/run_log.h"
#include "tests/windows/check.h"
#include "tests/windows/plain_files.h"

namespace kvx {
namespace {

// --- Plain Win32 helpers, independent of the host under test ---

bool Exists(const Text& path) {
  return GetFileAttributesA(path.c_str()) != INVALID_FILE_ATTRIBUTES;
}

DWORD AttributeBits(const Text& path) {
  return GetFileAttributesA(path.c_str()) &
         (FILE_ATTRIBUTE_READONLY | FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM);
}

Text ExecutablePath() {
  char buffer[MAX_PATH * 2] = {};
  const DWORD got = GetModuleFileNameA(nullptr, buffer, sizeof(buffer));
  return Text(buffer, got);
}

Text Quoted(const Text& text) {
  return "\"" + text + "\"";
}

class WindowsHostTest : public check::Test {
 protected:
  void SetUp() override {
    char temp[MAX_PATH + 1] = {};
    ASSERT_GT(GetTempPathA(sizeof(temp), temp), 0u);
    dir_ = Text(temp) + "kvx host test " + std::to_string(GetCurrentProcessId()) + " " +
           check::CurrentTestName();
    RemoveTree(dir_);
    ASSERT_TRUE(CreateDirectoryA(dir_.c_str(), nullptr)) << dir_;
    char current[MAX_PATH + 1] = {};
    GetCurrentDirectoryA(sizeof(current), current);
    startFolder_ = current;
    host_ = CreateWindowsHost();
  }

  void TearDown() override {
    host_.reset();
    SetCurrentDirectoryA(startFolder_.c_str());
    RemoveTree(dir_);
  }

  Text In(const Text& name) const { return dir_ + "\\" + name; }

  // Runs this executable (or a copy of it) as a child through RunCommand;
  // returns what the child wrote.
  Text RunChild(int milliseconds, const Text& extraArguments = Text(),
                const Text& executable = ExecutablePath()) {
    const Text report = In("child report.txt");
    host_->RunCommand(Quoted(executable) + " --kvx-child " + std::to_string(milliseconds) + " " +
                      Quoted(report) + extraArguments);
    return ReadRaw(report);
  }

  Text dir_;
  Text startFolder_;
  std::unique_ptr<Host> host_;
};

// --- Arguments and the end of the program ---

TEST(WindowsArguments, SplitAsTheRuntimeDoes) {
  using Args = std::vector<Text>;
  EXPECT_EQ(SplitArguments("kvxcfg.exe"), Args{});
  EXPECT_EQ(SplitArguments("kvxcfg.exe 1"), Args{"1"});
  EXPECT_EQ(SplitArguments("\"C:\\Program Files\\setup\\kvxcfg.exe\" 2"), Args{"2"});
  EXPECT_EQ(SplitArguments("\"C:\\a b\\kvxcfg.exe\"2"), Args{"2"});
  EXPECT_EQ(SplitArguments("kvxcfg.exe  1 \t 2 "), (Args{"1", "2"}));
  EXPECT_EQ(SplitArguments("kvxcfg.exe \"1 2\""), Args{"1 2"});
  EXPECT_EQ(SplitArguments("kvxcfg.exe \"\""), Args{""});
  EXPECT_EQ(SplitArguments("kvxcfg.exe a\\\\b c\\"), (Args{"a\\\\b", "c\\"}));
  EXPECT_EQ(SplitArguments("kvxcfg.exe a\\\"b"), Args{"a\"b"});
  EXPECT_EQ(SplitArguments("kvxcfg.exe \"a\\\\\" b"), (Args{"a\\", "b"}));
  EXPECT_EQ(SplitArguments("kvxcfg.exe \"say \"\"hi\"\"\""), Args{"say \"hi\""});
  EXPECT_EQ(SplitArguments("kvxcfg.exe 1\"2 3\"4"), Args{"12 34"});
}

TEST(WindowsArguments, TrailByteThatLooksLikeABackslashIsNoEscape) {
  ASSERT_EQ(GetACP(), 936u) << "the tests run with the ANSI code page 936";
  // "乗" is 81 5C in GBK: its trail byte is the backslash's byte.
  const Text character = "乗";
  ASSERT_EQ(character, "\x81\x5C");
  EXPECT_EQ(SplitArguments("kvxcfg.exe \"" + character + "\" 2"),
            (std::vector<Text>{character, "2"}));
  EXPECT_EQ(SplitArguments("\"C:\\" + character + "\" 1"), std::vector<Text>{"1"});
}

TEST_F(WindowsHostTest, GetArgumentsGivesTheProcessArgumentsWithoutItsPath) {
  const Text report = RunChild(0, " 1 \"a b\" 珂瓦克斯");
  EXPECT_NE(report.find("args=--kvx-child|0|" + In("child report.txt") + "|1|a b|珂瓦克斯\r\n"),
            Text::npos)
      << report;
}

TEST_F(WindowsHostTest, EndProgramEndsTheRunWithItsCode) {
  try {
    host_->EndProgram(0);
    FAIL() << "EndProgram returned";
  } catch (const EndProgramSignal& signal) {
    EXPECT_EQ(signal.exitCode, 0);
  }
}

// --- Commands ---

TEST_F(WindowsHostTest, RunCommandWaitsAndHandsOverFolderEnvironmentAndNoInput) {
  ASSERT_TRUE(SetCurrentDirectoryA(dir_.c_str()));
  ASSERT_TRUE(SetEnvironmentVariableA("KVX_PROBE", "珂瓦克斯 probe"));
  const DWORD started = GetTickCount();
  const Text report = RunChild(1500);
  const DWORD elapsed = GetTickCount() - started;
  SetEnvironmentVariableA("KVX_PROBE", nullptr);

  // The child writes its report only after its pause: the file is there and
  // the pause has passed when RunCommand returns.
  ASSERT_NE(report, "<missing>");
  EXPECT_GE(elapsed, 1400u);
  EXPECT_NE(report.find("cwd=" + dir_ + "\r\n"), Text::npos) << report;
  EXPECT_NE(report.find("env=珂瓦克斯 probe\r\n"), Text::npos) << report;
  EXPECT_NE(report.find("stdin=end-of-file\r\n"), Text::npos) << report;
}

TEST_F(WindowsHostTest, RunCommandStartsABatchFileByItsBarePathWithBlanks) {
  const Text output = In("batch output.txt");
  const Text batch = In("vk_spt01.bat");
  ASSERT_NE(batch.find(' '), Text::npos);
  // A batch file as the configurator writes them: GBK text, first line empty.
  WriteRaw(batch, "\r\necho 珂瓦克斯>\"" + output + "\"\r\nmkdir \"" + In("珂瓦") + "\"\r\n");
  host_->RunCommand(batch);
  EXPECT_EQ(ReadRaw(output), "珂瓦克斯\r\n");
  EXPECT_TRUE(Exists(In("珂瓦")));
}

TEST_F(WindowsHostTest, RunCommandRunsInterpreterLinesAndProgramsWithArguments) {
  char comspec[MAX_PATH + 1] = {};
  ASSERT_GT(GetEnvironmentVariableA("COMSPEC", comspec, sizeof(comspec)), 0u);
  const Text shellPrefix = Text(comspec) + " /c ";

  host_->RunCommand(shellPrefix + "echo first>\"" + In("a.txt") + "\"&&echo second>>\"" +
                    In("a.txt") + "\"");
  EXPECT_EQ(ReadRaw(In("a.txt")), "first\r\nsecond\r\n");

  // A prompt that reads the standard input gets end-of-file at once.
  WriteRaw(In("ask.bat"), "\r\nset /p answer=Continue?\r\necho after>\"" + In("b.txt") + "\"\r\n");
  host_->RunCommand(In("ask.bat"));
  EXPECT_EQ(ReadRaw(In("b.txt")), "after\r\n");
}

TEST_F(WindowsHostTest, RunCommandThatCannotStartReturnsAtOnce) {
  const DWORD started = GetTickCount();
  host_->RunCommand("C:\\no such folder\\no such program.exe -dd");
  host_->RunCommand(In("missing.bat"));
  host_->RunCommand("");
  EXPECT_LT(GetTickCount() - started, 5000u);
}

TEST(WindowsCommandLine, OnlyABarePathOfAnExistingFileIsQuoted) {
  char temp[MAX_PATH + 1] = {};
  GetTempPathA(sizeof(temp), temp);
  const Text batch = Text(temp) + "kvx quoting " + std::to_string(GetCurrentProcessId()) + ".bat";
  WriteRaw(batch, "\r\n");
  EXPECT_EQ(CommandLineToStart(batch), Quoted(batch));
  EXPECT_EQ(CommandLineToStart(Quoted(batch)), Quoted(batch));
  EXPECT_EQ(CommandLineToStart(batch + " 1"), batch + " 1");
  EXPECT_EQ(CommandLineToStart("C:\\vesk\\korv\\ghost32.exe -dd"),
            "C:\\vesk\\korv\\ghost32.exe -dd");
  EXPECT_EQ(CommandLineToStart("C:\\TEMP\\vk_spt01.bat"), "C:\\TEMP\\vk_spt01.bat");
  DeleteFileA(batch.c_str());
}

TEST_F(WindowsHostTest, DelayPauses) {
  const DWORD started = GetTickCount();
  host_->Delay(300);
  EXPECT_GE(GetTickCount() - started, 250u);
}

// --- Files and folders ---

TEST_F(WindowsHostTest, WriteWholeFileCreatesAndReplacesWholeKeepingAttributes) {
  const Text path = In("vk_001.tmp");
  const Text script = "\r\necho 珂瓦克斯\r\n";
  host_->WriteWholeFile(path, TextToBytes(script));
  EXPECT_EQ(ReadRaw(path), script);

  host_->WriteWholeFile(path, TextToBytes("short"));
  EXPECT_EQ(ReadRaw(path), "short");

  const Text withNul("a\0b", 3);
  host_->WriteWholeFile(path, TextToBytes(withNul));
  EXPECT_EQ(ReadRaw(path), withNul);

  SetFileAttributesA(path.c_str(), FILE_ATTRIBUTE_HIDDEN);
  host_->WriteWholeFile(path, TextToBytes("hidden"));
  EXPECT_EQ(ReadRaw(path), "hidden");
  EXPECT_EQ(AttributeBits(path), static_cast<DWORD>(FILE_ATTRIBUTE_HIDDEN));

  SetFileAttributesA(path.c_str(), FILE_ATTRIBUTE_READONLY);
  host_->WriteWholeFile(path, TextToBytes("changed"));
  EXPECT_EQ(ReadRaw(path), "hidden");

  host_->WriteWholeFile(In("no folder\\x.bat"), TextToBytes("x"));
  EXPECT_FALSE(Exists(In("no folder\\x.bat")));
}

TEST_F(WindowsHostTest, MissingFileOpensAndReadsAsEmptyText) {
  const int number = host_->OpenFile(In("vk_sys2.txt"), kReadOnly);
  EXPECT_EQ(host_->ReadText(number), "");
  host_->CloseFile(number);
  EXPECT_FALSE(Exists(In("vk_sys2.txt")));
  EXPECT_EQ(host_->ReadText(number), "");  // a closed number reads as empty too
  host_->CloseFile(number);
}

TEST_F(WindowsHostTest, OpenFilesHaveTheirOwnNumbersAndReadWhole) {
  Text big;
  for (int i = 0; big.size() < 200 * 1024; ++i)
    big += "行 " + std::to_string(i) + "\r\n";
  WriteRaw(In("big.txt"), big);
  WriteRaw(In("small.txt"), "small");

  const int first = host_->OpenFile(In("big.txt"), kReadOnly);
  const int second = host_->OpenFile(In("small.txt"), kReadOnly);
  EXPECT_NE(first, second);
  EXPECT_EQ(host_->ReadText(second), "small");
  EXPECT_EQ(host_->ReadText(first), big);
  EXPECT_EQ(host_->ReadText(first), "");  // from the end on there is nothing more
  host_->CloseFile(first);
  host_->CloseFile(second);
}

TEST_F(WindowsHostTest, AppendAndReadBackThroughOneReadWriteFile) {
  const Text path = In("vk_bios2.tmp");
  WriteRaw(path, "Manufacturer=LENOVO\r\n");
  const int number = host_->OpenFile(path, kReadWrite);
  host_->SeekToEnd(number);
  host_->WriteText(number, "\r\nSystemVersion=ThinkPad X220\r\n");
  host_->SeekToStart(number);
  const Text whole = host_->ReadText(number);
  host_->CloseFile(number);
  const Text expected = "Manufacturer=LENOVO\r\n\r\nSystemVersion=ThinkPad X220\r\n";
  EXPECT_EQ(whole, expected);
  EXPECT_EQ(ReadRaw(path), expected);
}

TEST_F(WindowsHostTest, ReadWriteOpenCreatesAMissingFileAndReadsAReadOnlyOne) {
  const int created = host_->OpenFile(In("new.tmp"), kReadWrite);
  EXPECT_EQ(host_->ReadText(created), "");
  host_->CloseFile(created);
  EXPECT_EQ(ReadRaw(In("new.tmp")), "");

  WriteRaw(In("locked.tmp"), "kept");
  SetFileAttributesA(In("locked.tmp").c_str(), FILE_ATTRIBUTE_READONLY);
  const int locked = host_->OpenFile(In("locked.tmp"), kReadWrite);
  host_->SeekToEnd(locked);
  host_->WriteText(locked, " more");
  host_->SeekToStart(locked);
  EXPECT_EQ(host_->ReadText(locked), "kept");
  host_->CloseFile(locked);
}

TEST_F(WindowsHostTest, FileExistsForFilesAndFolders) {
  WriteRaw(In("file.txt"), "x");
  ASSERT_TRUE(CreateDirectoryA(In("~1").c_str(), nullptr));
  EXPECT_TRUE(host_->FileExists(In("file.txt")));
  EXPECT_TRUE(host_->FileExists(In("~1")));
  EXPECT_TRUE(host_->FileExists(In("~1") + "\\"));
  EXPECT_FALSE(host_->FileExists(In("missing.txt")));
  EXPECT_FALSE(host_->FileExists(""));
}

TEST_F(WindowsHostTest, CopyRenameDeleteAndFolders) {
  WriteRaw(In("source.ini"), "source");
  WriteRaw(In("target.ini"), "old target");
  host_->CopyFile(In("source.ini"), In("target.ini"));
  EXPECT_EQ(ReadRaw(In("target.ini")), "source");
  host_->CopyFile(In("missing.ini"), In("copy.ini"));
  EXPECT_FALSE(Exists(In("copy.ini")));

  host_->RenameFile(In("source.ini"), In("renamed.ini"));
  EXPECT_FALSE(Exists(In("source.ini")));
  EXPECT_EQ(ReadRaw(In("renamed.ini")), "source");
  WriteRaw(In("other.ini"), "other");
  host_->RenameFile(In("other.ini"), In("renamed.ini"));  // the new name is taken
  EXPECT_EQ(ReadRaw(In("other.ini")), "other");
  EXPECT_EQ(ReadRaw(In("renamed.ini")), "source");

  host_->DeleteFile(In("renamed.ini"));
  EXPECT_FALSE(Exists(In("renamed.ini")));
  host_->DeleteFile(In("renamed.ini"));  // missing: no error

  host_->CreateFolder(In("korv"));
  EXPECT_TRUE(GetFileAttributesA(In("korv").c_str()) & FILE_ATTRIBUTE_DIRECTORY);
  host_->CreateFolder(In("a\\b"));  // one level only
  EXPECT_FALSE(Exists(In("a\\b")));
}

TEST_F(WindowsHostTest, SetAttributesSetsExactlyTheGivenSet) {
  WriteRaw(In("KVLDR"), "loader");
  SetFileAttributesA(In("KVLDR").c_str(), FILE_ATTRIBUTE_ARCHIVE);
  host_->SetAttributes(In("KVLDR"), kAttrHiddenSystemReadOnly);
  EXPECT_EQ(
      AttributeBits(In("KVLDR")),
      static_cast<DWORD>(FILE_ATTRIBUTE_READONLY | FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM));
  host_->DeleteFile(In("KVLDR"));  // read-only files stay
  EXPECT_TRUE(Exists(In("KVLDR")));
  host_->SetAttributes(In("KVLDR"), kAttrNormal);
  EXPECT_EQ(AttributeBits(In("KVLDR")), 0u);
  host_->DeleteFile(In("KVLDR"));
  EXPECT_FALSE(Exists(In("KVLDR")));
}

TEST_F(WindowsHostTest, ProgramFolderHoldsTheExecutable) {
  const Text folder = host_->ProgramFolder();
  ASSERT_FALSE(folder.empty());
  EXPECT_NE(folder.back(), '\\');
  EXPECT_TRUE(Exists(folder + "\\kvxcfg_host_tests.exe")) << folder;
}

TEST_F(WindowsHostTest, ProgramFolderWithAChineseName) {
  const Text folder = In("珂瓦 setup");
  ASSERT_TRUE(CreateDirectoryA(folder.c_str(), nullptr));
  ASSERT_TRUE(CopyFileA(ExecutablePath().c_str(), (folder + "\\kvxcfg.exe").c_str(), FALSE));
  const Text report = RunChild(0, "", folder + "\\kvxcfg.exe");
  EXPECT_NE(report.find("folder=" + folder + "\r\n"), Text::npos) << report;
}

TEST_F(WindowsHostTest, ShortPathDropsTheBlanksOfAnExistingPath) {
  const Text longFolder = In("Local Settings");
  ASSERT_TRUE(CreateDirectoryA(longFolder.c_str(), nullptr));
  const Text shortForm = host_->ShortPath(longFolder);
  EXPECT_EQ(shortForm.find(' '), Text::npos) << shortForm;
  EXPECT_TRUE(Exists(shortForm)) << shortForm;
  const Text missing = In("no such folder");
  EXPECT_EQ(host_->ShortPath(missing), missing);
}

// --- INI files ---

TEST_F(WindowsHostTest, IniValuesRoundTripInGbk) {
  const Text ini = In("krv_pass.ini");
  host_->WriteIni(ini, "boot", "drvc", "C:");
  host_->WriteIni(ini, "mem", "ramdrv", "珂瓦克斯 v2013.01.23");
  host_->WriteIni(ini, "设置", "名称", "珂瓦");
  EXPECT_EQ(host_->ReadIni(ini, "boot", "drvc"), "C:");
  EXPECT_EQ(host_->ReadIni(ini, "mem", "ramdrv"), "珂瓦克斯 v2013.01.23");
  EXPECT_EQ(host_->ReadIni(ini, "设置", "名称"), "珂瓦");
  // The file holds the GBK bytes themselves, for the product's boot-time part.
  const Text raw = ReadRaw(ini);
  EXPECT_NE(raw.find("ramdrv=珂瓦克斯 v2013.01.23"), Text::npos) << raw;
  EXPECT_NE(raw.find("[设置]"), Text::npos) << raw;

  host_->WriteIni(ini, "boot", "drvc", "D:");
  EXPECT_EQ(host_->ReadIni(ini, "boot", "drvc"), "D:");
}

TEST_F(WindowsHostTest, IniDefaultsWhenFileSectionOrKeyIsAbsent) {
  const Text ini = In("krv_drv.ini");
  EXPECT_EQ(host_->ReadIni(ini, "part", "pt_1", "none"), "none");
  EXPECT_EQ(host_->ReadIni(ini, "part", "pt_1"), "");
  host_->WriteIni(ini, "part", "pt_1", "2");
  EXPECT_EQ(host_->ReadIni(ini, "other", "pt_1", "none"), "none");
  EXPECT_EQ(host_->ReadIni(ini, "part", "pt_2", "none"), "none");
  EXPECT_EQ(host_->ReadIni(ini, "part", "pt_1", "none"), "2");
}

TEST_F(WindowsHostTest, LongIniValuesReadBackWhole) {
  Text value;
  for (int i = 0; value.size() < 20000; ++i)
    value += "珂瓦克斯" + std::to_string(i) + ",";
  host_->WriteIni(In("bcd_all.ini"), "bcd", "all", value);
  EXPECT_EQ(host_->ReadIni(In("bcd_all.ini"), "bcd", "all"), value);
}

TEST_F(WindowsHostTest, RelativeIniPathMeansTheCurrentFolder) {
  ASSERT_TRUE(SetCurrentDirectoryA(dir_.c_str()));
  host_->WriteIni("relative.ini", "sec", "sec1", "1");
  EXPECT_TRUE(Exists(In("relative.ini")));
  EXPECT_EQ(host_->ReadIni("relative.ini", "sec", "sec1"), "1");
}

// --- Registry and environment ---

class RegistryKey {
 public:
  RegistryKey(HKEY root, const char* path) : root_(root), path_(path) {
    RegCreateKeyExA(root, path, 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &key_, nullptr);
  }
  ~RegistryKey() {
    if (key_ != nullptr)
      RegCloseKey(key_);
    RegDeleteKeyA(root_, path_);
  }
  bool Set(const char* name, DWORD type, const Text& data) {
    return key_ != nullptr &&
           RegSetValueExA(key_, name, 0, type, reinterpret_cast<const BYTE*>(data.c_str()),
                          static_cast<DWORD>(data.size() + 1)) == ERROR_SUCCESS;
  }

 private:
  HKEY root_;
  const char* path_;
  HKEY key_ = nullptr;
};

TEST_F(WindowsHostTest, RegistryTextValuesOfBothRootsAndTheirDefaults) {
  RegistryKey user(HKEY_CURRENT_USER, "Software\\KvxHostTest");
  RegistryKey machine(HKEY_LOCAL_MACHINE, "Software\\KvxHostTest");
  ASSERT_TRUE(user.Set("Startup", REG_SZ, "C:\\开始\\启动"));
  ASSERT_TRUE(user.Set("Expanded", REG_EXPAND_SZ, "%SystemRoot%\\system32"));
  ASSERT_TRUE(user.Set("Number", REG_DWORD, "abc"));
  ASSERT_TRUE(machine.Set("InstallLanguage", REG_SZ, "0804"));

  EXPECT_EQ(host_->ReadRegistryText(kRootCurrentUser, "Software\\KvxHostTest\\Startup"),
            "C:\\开始\\启动");
  char systemRoot[MAX_PATH + 1] = {};
  GetEnvironmentVariableA("SystemRoot", systemRoot, sizeof(systemRoot));
  EXPECT_EQ(host_->ReadRegistryText(kRootCurrentUser, "Software\\KvxHostTest\\Expanded"),
            Text(systemRoot) + "\\system32");
  EXPECT_EQ(host_->ReadRegistryText(kRootCurrentUser, "Software\\KvxHostTest\\Number", "d"), "d");
  EXPECT_EQ(host_->ReadRegistryText(kRootLocalMachine, "Software\\KvxHostTest\\InstallLanguage"),
            "0804");
  // The same path under the other root is another value.
  EXPECT_EQ(host_->ReadRegistryText(kRootLocalMachine, "Software\\KvxHostTest\\Startup", "x"), "x");

  EXPECT_EQ(host_->ReadRegistryText(kRootCurrentUser, "Software\\KvxHostTest\\Missing", "0804"),
            "0804");
  EXPECT_EQ(host_->ReadRegistryText(kRootLocalMachine,
                                    "SYSTEM\\NoSuchKey\\Nls\\Language\\InstallLanguage", "0804"),
            "0804");
  EXPECT_EQ(host_->ReadRegistryText(kRootCurrentUser, "Software\\NoSuchKey\\Startup"), "");
  EXPECT_EQ(host_->ReadRegistryText(1, "Software\\KvxHostTest\\Startup", "other root"),
            "other root");
}

TEST_F(WindowsHostTest, EnvironmentValuesAndUnsetNames) {
  ASSERT_TRUE(SetEnvironmentVariableA("KVX_TMP", "C:\\Documents and Settings\\用户\\Temp"));
  EXPECT_EQ(host_->GetEnv("KVX_TMP"), "C:\\Documents and Settings\\用户\\Temp");
  EXPECT_EQ(host_->GetEnv("kvx_tmp"), "C:\\Documents and Settings\\用户\\Temp");
  const Text longValue(5000, 'v');
  ASSERT_TRUE(SetEnvironmentVariableA("KVX_LONG", longValue.c_str()));
  EXPECT_EQ(host_->GetEnv("KVX_LONG"), longValue);
  SetEnvironmentVariableA("KVX_TMP", nullptr);
  SetEnvironmentVariableA("KVX_LONG", nullptr);
  EXPECT_EQ(host_->GetEnv("KVX_TMP"), "");
  EXPECT_EQ(host_->GetEnv("ProgramFiles(x86)_KVX_UNSET"), "");
  EXPECT_FALSE(host_->GetEnv("COMSPEC").empty());
}

// --- Shell link, message box, system information ---

TEST_F(WindowsHostTest, CreateShortcutMakesALinkWithTargetAndFolder) {
  const Text target = ExecutablePath();
  host_->CreateShortcut(In("KVX_SU"), target, std::nullopt, std::nullopt, dir_);
  host_->CreateShortcut(In("with extras"), target, Text("描述"), Text("-x 1"), dir_);
  ASSERT_TRUE(Exists(In("KVX_SU.LNK")));
  ASSERT_TRUE(Exists(In("with extras.LNK")));

  ASSERT_TRUE(SUCCEEDED(CoInitialize(nullptr)));
  IShellLinkA* link = nullptr;
  ASSERT_TRUE(SUCCEEDED(CoCreateInstance(CLSID_ShellLink, nullptr, CLSCTX_INPROC_SERVER,
                                         IID_IShellLinkA, reinterpret_cast<void**>(&link))));
  IPersistFile* file = nullptr;
  ASSERT_TRUE(SUCCEEDED(link->QueryInterface(IID_IPersistFile, reinterpret_cast<void**>(&file))));
  wchar_t widePath[MAX_PATH * 2] = {};
  MultiByteToWideChar(CP_ACP, 0, In("with extras.LNK").c_str(), -1, widePath, MAX_PATH * 2);
  ASSERT_TRUE(SUCCEEDED(file->Load(widePath, STGM_READ)));
  char text[MAX_PATH * 2] = {};
  link->GetPath(text, sizeof(text), nullptr, 0);
  EXPECT_EQ(Text(text), target);
  link->GetWorkingDirectory(text, sizeof(text));
  EXPECT_EQ(Text(text), dir_);
  link->GetArguments(text, sizeof(text));
  EXPECT_EQ(Text(text), "-x 1");
  link->GetDescription(text, sizeof(text));
  EXPECT_EQ(Text(text), "描述");
  file->Release();
  link->Release();
  CoUninitialize();
}

TEST_F(WindowsHostTest, MessageBoxWithoutAnAnswerIsNoYes) {
  // Without a display Wine's message box returns at once; a box that was not
  // answered with Yes must not count as Yes.
  const Text message = "安装程序检测到另一个Windows。\r\n是否继续？";
  EXPECT_NE(host_->ShowMessage(message, kStyleQuestion, Text("警告")), kButtonYes);
  EXPECT_NE(host_->ShowMessage(message, kStyleStop), kButtonYes);
  EXPECT_NE(host_->ShowMessage(message, kStyleInformation), kButtonYes);
}

TEST_F(WindowsHostTest, SystemInfoNamesMakerAndModelFromTheBiosDescription) {
  RegistryKey bios(HKEY_LOCAL_MACHINE, "HARDWARE\\DESCRIPTION\\System\\BIOS");
  ASSERT_TRUE(bios.Set("SystemManufacturer", REG_SZ, "LENOVO"));
  ASSERT_TRUE(bios.Set("SystemVersion", REG_SZ, "ThinkPad X220"));
  ASSERT_TRUE(bios.Set("BaseBoardProduct", REG_SZ, "4291RV8"));

  SystemInfoRecord record;
  host_->QuerySystemInfo(record);
  const Text& model = record[5];
  EXPECT_EQ(model.compare(0, 2, "\r\n"), 0) << model;
  EXPECT_NE(model.find("\r\nSystemManufacturer=LENOVO\r\n"), Text::npos) << model;
  EXPECT_NE(model.find("\r\nSystemVersion=ThinkPad X220\r\n"), Text::npos) << model;
  EXPECT_NE(model.find("\r\nBaseBoardProduct=4291RV8\r\n"), Text::npos) << model;

  char windows[MAX_PATH + 1] = {};
  GetWindowsDirectoryA(windows, sizeof(windows));
  EXPECT_EQ(record[3], Text(windows));
  // The run log's head names the same version, in its own words.
  Text version = record[0];
  const size_t build = version.find('.', version.find('.') + 1);
  ASSERT_NE(build, Text::npos) << version;
  EXPECT_EQ(GatherRunFacts().windows, version.replace(build, 1, " build "));
  EXPECT_FALSE(record[1].empty());
}

// --- The child started by RunCommand ---

int RunAsChild(int argc, char** argv) {
  if (argc < 4)
    return 2;
  Sleep(static_cast<DWORD>(atoi(argv[2])));
  Text report;
  char folder[MAX_PATH + 1] = {};
  GetCurrentDirectoryA(sizeof(folder), folder);
  report += "cwd=" + Text(folder) + "\r\n";
  const std::unique_ptr<Host> host = CreateWindowsHost();
  report += "folder=" + host->ProgramFolder() + "\r\n";
  report += "env=" + host->GetEnv("KVX_PROBE") + "\r\n";
  char byte[16];
  DWORD got = 0;
  const BOOL read = ReadFile(GetStdHandle(STD_INPUT_HANDLE), byte, sizeof(byte), &got, nullptr);
  report += read && got == 0 ? Text("stdin=end-of-file\r\n")
                             : "stdin=" + std::to_string(read) + " " + std::to_string(got) + "\r\n";
  Text arguments;
  for (const Text& argument : SplitArguments(GetCommandLineA())) {
    arguments += (arguments.empty() ? "" : "|") + argument;
  }
  report += "args=" + arguments + "\r\n";
  const HANDLE file = CreateFileA(argv[3], GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
  DWORD written = 0;
  WriteFile(file, report.data(), static_cast<DWORD>(report.size()), &written, nullptr);
  CloseHandle(file);
  return 0;
}

}  // namespace
}  // namespace kvx

// Runs every test, or those whose "Group.Name" holds the one argument.
int main(int argc, char** argv) {
  if (argc >= 2 && std::string(argv[1]) == "--kvx-child")
    return kvx::RunAsChild(argc, argv);
  return kvx::check::RunAllTests(argc >= 2 ? argv[1] : "");
}
