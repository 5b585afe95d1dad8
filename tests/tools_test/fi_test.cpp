// The INI writer: its command line and its edits, on the files the install
// writes (krv_pass.ini, krv_drv.ini, boot.ini).
#include <gtest/gtest.h>

#include "tests/support/tool_machine.h"
#include "tests/tools/doubles.h"
#include "tests/tools/ini.h"

namespace kvx::bench {
namespace {

IniWrite Parse(const std::string& tail) {
  IniWrite write;
  std::string error;
  EXPECT_TRUE(ParseIniWrite(tail, &write, &error)) << error;
  return write;
}

TEST(IniWriterLine, SectionWithBlanksAndValueToTheEndOfTheLine) {
  IniWrite entry = Parse("C:\\boot.ini [operating systems] C:\\KVLDR=KORVAX v2013.01.23");
  EXPECT_EQ(entry.file, "C:\\boot.ini");
  EXPECT_EQ(entry.section, "operating systems");
  EXPECT_EQ(entry.key, "C:\\KVLDR");
  EXPECT_EQ(entry.value, "KORVAX v2013.01.23");

  IniWrite arc =
      Parse("C:\\boot.ini [boot loader] default=multi(0)disk(0)rdisk(0)partition(1)\\WINDOWS");
  EXPECT_EQ(arc.value, "multi(0)disk(0)rdisk(0)partition(1)\\WINDOWS");

  // Further "=", quotes and trailing blanks stay in the value; it may be empty.
  EXPECT_EQ(Parse("a.ini [echo_of] cd=\"C:\\x y\\\" =2 ").value, "\"C:\\x y\\\" =2 ");
  EXPECT_EQ(Parse("c:\\vesk\\korv\\krv_pass.ini [boot] drvc=").value, "");
  EXPECT_EQ(Parse("\"C:\\a b\\x.ini\"  [s]  k=v").file, "C:\\a b\\x.ini");
}

// The closing bracket is a character of its own: in a GBK section name the
// byte 5D can be the trail byte of a character ("乇" is 81 5D). The system's
// profile functions take such a name whole, and so does the writer.
TEST(IniWriterLine, SectionNameWithABracketTrailByte) {
  const std::string section = "\x81]x";
  IniWrite write = Parse("a.ini [" + section + "] k=v");
  EXPECT_EQ(write.section, section);
  const std::string text = SetIniValue("", section, "k", "v");
  EXPECT_EQ(text, "[" + section + "]\r\nk=v\r\n");
  EXPECT_EQ(GetIniValue(text, section, "k").value_or("(none)"), "v");
  EXPECT_EQ(GetIniValue(text, "\x81", "k").value_or("(none)"), "(none)");
}

TEST(IniWriterLine, RefusesWhatItCannotRead) {
  IniWrite write;
  std::string error;
  EXPECT_FALSE(ParseIniWrite("a.ini boot drvc=0", &write, &error));
  EXPECT_FALSE(ParseIniWrite("a.ini [boot drvc=0", &write, &error));
  EXPECT_FALSE(ParseIniWrite("a.ini [boot] drvc", &write, &error));
  EXPECT_FALSE(ParseIniWrite("a.ini [] k=v", &write, &error));
  EXPECT_FALSE(ParseIniWrite("", &write, &error));
}

const char kBootIni[] =
    "[boot loader]\r\n"
    "timeout=30\r\n"
    "default=C:\\KVLDR\r\n"
    "\r\n"
    "[operating systems]\r\n"
    "multi(0)disk(0)rdisk(0)partition(1)\\WINDOWS=\"Microsoft Windows XP\" /fastdetect\r\n";

TEST(IniEdit, ReplacesInPlaceAndKeepsEverythingElse) {
  EXPECT_EQ(
      SetIniValue(kBootIni, "Boot Loader", "TIMEOUT", "1"),
      "[boot loader]\r\n"
      "TIMEOUT=1\r\n"
      "default=C:\\KVLDR\r\n"
      "\r\n"
      "[operating systems]\r\n"
      "multi(0)disk(0)rdisk(0)partition(1)\\WINDOWS=\"Microsoft Windows XP\" /fastdetect\r\n");
  // LF-only files keep their line breaks.
  EXPECT_EQ(SetIniValue("[part]\npt_1=3\npt_2=D:\n", "part", "pt_1", "2"),
            "[part]\npt_1=2\npt_2=D:\n");
}

TEST(IniEdit, AddsKeysAtTheEndOfTheirSectionAndNewSectionsAtTheEnd) {
  const std::string title = "\xe7\x8f\x82\xcd\xdf v2013.01.23";  // bytes kept as given
  EXPECT_EQ(
      SetIniValue(kBootIni, "boot loader", "x", "1"),
      "[boot loader]\r\ntimeout=30\r\ndefault=C:\\KVLDR\r\nx=1\r\n\r\n[operating systems]\r\n"
      "multi(0)disk(0)rdisk(0)partition(1)\\WINDOWS=\"Microsoft Windows XP\" /fastdetect\r\n");
  EXPECT_EQ(SetIniValue("[a]\r\nk=1", "a", "C:\\KVLDR", title),
            "[a]\r\nk=1\r\nC:\\KVLDR=" + title + "\r\n");
  EXPECT_EQ(SetIniValue("[part]\r\npt_1=1", "mem", "ramdrv", "1"),
            "[part]\r\npt_1=1\r\n[mem]\r\nramdrv=1\r\n");
  EXPECT_EQ(SetIniValue("", "spt_i", "spt_2", "C:"), "[spt_i]\r\nspt_2=C:\r\n");
  // A key of the same name in another section is not touched.
  EXPECT_EQ(SetIniValue("[a]\r\nk=1\r\n[b]\r\n", "b", "k", "2"), "[a]\r\nk=1\r\n[b]\r\nk=2\r\n");
}

TEST(IniWriterRun, CreatesOrEditsTheFileAndFailsOnAReadOnlyOne) {
  testing::ToolMachine machine;
  machine.PutFolder("c:\\vesk\\korv");
  Result first = RunFi("c:\\vesk\\korv\\fi c:\\vesk\\korv\\krv_pass.ini [boot] drvc=0", machine);
  EXPECT_EQ(first.code, 0);
  RunFi("c:\\vesk\\korv\\fi c:\\vesk\\korv\\krv_pass.ini [apt_i] apt_2=C:", machine);
  RunFi("c:\\vesk\\korv\\fi c:\\vesk\\korv\\krv_pass.ini [boot] drvc=1", machine);
  EXPECT_EQ(machine.Content("c:\\vesk\\korv\\krv_pass.ini"),
            "[boot]\r\ndrvc=1\r\n[apt_i]\r\napt_2=C:\r\n");

  machine.PutFile("C:\\boot.ini", kBootIni, kReadOnly | kHidden | kSystem);
  Result locked = RunFi("fi C:\\boot.ini [boot loader] timeout=1", machine);
  EXPECT_EQ(locked.code, 1);
  EXPECT_EQ(machine.Content("C:\\boot.ini"), kBootIni);
  EXPECT_EQ(RunFi("fi C:\\boot.ini timeout=1", machine).code, 2);
}

}  // namespace
}  // namespace kvx::bench
