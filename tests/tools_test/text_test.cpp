// Command-line splitting, GBK-aware searches and the call log.
#include "tests/tools/text.h"

#include <gtest/gtest.h>

#include "tests/support/tool_machine.h"
#include "tests/tools/doubles.h"

namespace kvx::bench {
namespace {

using Args = std::vector<std::string>;

TEST(CommandLine, SplitsLikeTheCRuntime) {
  EXPECT_EQ(SplitArgs("c:\\vesk\\korv\\xc D:\\~1 /t /c /y /g Everyone:f"),
            (Args{"c:\\vesk\\korv\\xc", "D:\\~1", "/t", "/c", "/y", "/g", "Everyone:f"}));
  EXPECT_EQ(SplitArgs("bcdedit /create /d \"KORVAX v2013.01.23\" /application bootsector"),
            (Args{"bcdedit", "/create", "/d", "KORVAX v2013.01.23", "/application", "bootsector"}));
  // A quoted program name keeps its blanks and backslashes; \" is a quote.
  EXPECT_EQ(SplitArgs("\"C:\\Program Files\\x.exe\"  a\\\"b  \"c \"\"d\"\"\" e\\\\"),
            (Args{"C:\\Program Files\\x.exe", "a\"b", "c \"d\"", "e\\\\"}));
  // GBK bytes pass unchanged, trail bytes that look like a quote's neighbours too.
  EXPECT_EQ(SplitArgs("bcdedit /d \"\xe7\x8f\x82 v1\""),
            (Args{"bcdedit", "/d", "\xe7\x8f\x82 v1"}));
}

TEST(CommandLine, TailIsRawAfterTheProgramName) {
  EXPECT_EQ(ArgumentTail("c:\\vesk\\korv\\fi  C:\\boot.ini [boot loader] timeout=1"),
            "C:\\boot.ini [boot loader] timeout=1");
  EXPECT_EQ(ArgumentTail("\"c:\\a b\\fr\" x -f:\"a\" -t:\"{1}\r\n\""), "x -f:\"a\" -t:\"{1}\r\n\"");
  EXPECT_EQ(ArgumentTail("zptlx"), "");
}

TEST(GbkText, SearchesNeverMatchInsideADoubleByteCharacter) {
  // 0x81 0x41 is one character whose trail byte is the letter A.
  const std::string text = "x\x81\x41y";
  EXPECT_EQ(FindText(text, "A", false), std::string::npos);
  EXPECT_EQ(FindText(text, "a", true), std::string::npos);
  EXPECT_EQ(FindText(text, "Y", true), 3u);
  EXPECT_EQ(FoldCase("AB\x81\x41"), "ab\x81\x41");
  EXPECT_EQ(UpperCase("c:\\x\x81\x61"), "C:\\X\x81\x61");
  EXPECT_FALSE(EqualsIgnoreCase("\x81\x41", "\x81\x61"));
  EXPECT_TRUE(EqualsIgnoreCase("Boot Loader", "boot loader"));
}

TEST(GbkText, LinesDropTheirBreaks) {
  EXPECT_EQ(SplitLines("a\r\nb\nc"), (Args{"a", "b", "c"}));
  EXPECT_EQ(SplitLines("a\r\n\r\n"), (Args{"a", ""}));
  EXPECT_TRUE(SplitLines("").empty());
}

TEST(CallLog, RecordsEveryCallOnOneLineEachWithItsBytesRecoverable) {
  testing::ToolMachine machine;
  machine.SetCurrentDir("C:\\vesk\\korv");
  Result unlogged = RunDouble("find", "find \"x\"", machine);
  EXPECT_EQ(unlogged.code, 1);
  EXPECT_FALSE(machine.Has("C:\\bench\\calls.log"));

  machine.PutFolder("C:\\bench");
  machine.SetEnv("KVX_BENCH_LOG", "C:\\bench\\calls.log");
  RunDouble("fr", "c:\\vesk\\korv\\fr x -f:\"{REALID}\" -t:\"{1}\r\n\"", machine);
  RunDouble("fi", "fi a.ini [s] k=100%\tx", machine);
  EXPECT_EQ(machine.Content("C:\\bench\\calls.log"),
            "fr\tC:\\vesk\\korv\tc:\\vesk\\korv\\fr x -f:\"{REALID}\" -t:\"{1}%0D%0A\"\r\n"
            "fi\tC:\\vesk\\korv\tfi a.ini [s] k=100%25%09x\r\n");

  Result unknown = RunDouble("nosuch", "nosuch", machine);
  EXPECT_EQ(unknown.code, 9);
}

}  // namespace
}  // namespace kvx::bench
