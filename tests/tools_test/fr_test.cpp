// The text replacer: both forms of its command line, and the edits the
// install makes with it (start-up scripts, menu files, the image, the BCD
// template and the line join).
#include <gtest/gtest.h>

#include "tests/support/tool_machine.h"
#include "tests/tools/doubles.h"
#include "tests/tools/replace.h"

namespace kvx::bench {
namespace {

Replacement Parse(const std::string& tail) {
  Replacement request;
  std::string error;
  EXPECT_TRUE(ParseReplacement(tail, &request, &error)) << error;
  return request;
}

TEST(ReplacerLine, PlainFormTakesTextsAsTheyStand) {
  Replacement menu =
      Parse("c:\\vesk\\korv\\menu*.lst -f:\"map --mem --a20-keep-on=0\" -t:\"map --mem\"");
  EXPECT_EQ(menu.files, "c:\\vesk\\korv\\menu*.lst");
  EXPECT_EQ(menu.find, "map --mem --a20-keep-on=0");
  EXPECT_EQ(menu.replacement, "map --mem");
  // Backslashes stay, a trailing blank stays, an empty find text is refused.
  EXPECT_EQ(Parse("KVX_rd1 -f:\"cc=\" -t:\"cd\\\\\"").replacement, "cd\\\\");
  EXPECT_EQ(Parse("KVX_rd1 -f:\"cd=\" -t:\"cd \"").replacement, "cd ");
  EXPECT_EQ(Parse("KVX_rd1 -f:\"a=\" -t:\"C:\"").replacement, "C:");
  // The fill-in: the identifier text ends in a real line break before the quote.
  Replacement fill = Parse("C:\\TEMP\\vk_vt01s.bat -f:\"{REALID}\" -t:\"{1fa4e2b0}\r\n\"");
  EXPECT_EQ(fill.replacement, "{1fa4e2b0}\r\n");

  Replacement unused;
  std::string error;
  EXPECT_FALSE(ParseReplacement("x -f:\"\" -t:\"y\"", &unused, &error));
  EXPECT_FALSE(ParseReplacement("x -t:\"y\"", &unused, &error));
  EXPECT_FALSE(ParseReplacement("x -f:\"a\" y", &unused, &error));
  EXPECT_FALSE(ParseReplacement("-f:\"a\" -t:\"b\"", &unused, &error));
}

TEST(ReplacerLine, EscapedFormTurnsBackslashSequencesIntoBreaks) {
  Replacement join = Parse("C:\\TEMP\\vk_vt01q.bat -r:\"}\\r\\n\" -t:\"}\"");
  EXPECT_EQ(join.find, "}\r\n");
  EXPECT_EQ(join.replacement, "}");
  EXPECT_EQ(Unescape("a\\tb\\\\r\\q"), "a\tb\\r\\q");
}

TEST(ReplaceAll, EveryOccurrenceLeftToRightWithoutRescanning) {
  std::string text = "}\r\n}\r\nx}\r\n";
  EXPECT_EQ(ReplaceAll(&text, "}\r\n", "}"), 3u);
  EXPECT_EQ(text, "}}x}");
  std::string grow = "aa";
  EXPECT_EQ(ReplaceAll(&grow, "a", "aa"), 2u);
  EXPECT_EQ(grow, "aaaa");
  std::string none = "abc";
  EXPECT_EQ(ReplaceAll(&none, "x", "y"), 0u);
  EXPECT_EQ(none, "abc");
}

class ReplacerRun : public ::testing::Test {
 protected:
  void SetUp() override { machine.PutFolder("c:\\vesk\\korv"); }
  Result Fr(const std::string& rest) { return RunFr("c:\\vesk\\korv\\fr " + rest, machine); }
  testing::ToolMachine machine;
};

TEST_F(ReplacerRun, WildcardReachesEveryMatchingFileOnly) {
  const std::string menu =
      "title a\r\nchainloader --disable-a20 (fd0)\r\nchainloader --disable-a20 (fd0)\r\n";
  machine.PutFile("c:\\vesk\\korv\\menu.lst", menu);
  machine.PutFile("c:\\vesk\\korv\\MENU1.LST", menu);
  machine.PutFile("c:\\vesk\\korv\\menu1.bak", menu);
  Result result = Fr(
      "c:\\vesk\\korv\\menu*.lst -f:\"chainloader --disable-a20 (fd0)\" -t:\"chainloader (fd0)\"");
  EXPECT_EQ(result.code, 0) << result.err;
  const std::string edited = "title a\r\nchainloader (fd0)\r\nchainloader (fd0)\r\n";
  EXPECT_EQ(machine.Content("c:\\vesk\\korv\\menu.lst"), edited);
  EXPECT_EQ(machine.Content("c:\\vesk\\korv\\menu1.lst"), edited);
  EXPECT_EQ(machine.Content("c:\\vesk\\korv\\menu1.bak"), menu);
  EXPECT_EQ(Fr("c:\\vesk\\korv\\nothing*.lst -f:\"a\" -t:\"b\"").code, 1);
}

TEST_F(ReplacerRun, BinaryImageKeepsItsSizeAndOtherBytes) {
  std::string image("\x00\x01rem call fdrd\x00\xff", 17);
  image += std::string(3, '\0') + "rem device=ramdrive";
  machine.PutFile("c:\\vesk\\korv\\ghost.img", image);
  Fr("c:\\vesk\\korv\\ghost.img -f:\"rem call fdrd\" -t:\"call fdrd.bat\"");
  Fr("c:\\vesk\\korv\\ghost.img -f:\"rem device=ramdrive\" -t:\"device=ramdrive.sys\"");
  std::string expected(
      "\x00\x01"
      "call fdrd.bat\x00\xff",
      17);
  expected += std::string(3, '\0') + "device=ramdrive.sys";
  EXPECT_EQ(machine.Content("c:\\vesk\\korv\\ghost.img"), expected);
}

TEST_F(ReplacerRun, TemplateFillInThenJoinGivesOneCommandPerLine) {
  machine.PutFile("C:\\TEMP\\vk_vt01s.bat",
                  "\r\nbcdedit /set {REALID} device partition=C:\r\n"
                  "bcdedit /set {REALID} path \\kvldr.mbr\r\n"
                  "bcdedit /displayorder {REALID} /addlast\r\n");
  const std::string id = "{1fa4e2b0-5c9d-11e2-8d37-000000000001}";
  EXPECT_EQ(Fr("C:\\TEMP\\vk_vt01s.bat -f:\"{REALID}\" -t:\"" + id + "\r\n\"").code, 0);
  EXPECT_EQ(Fr("C:\\TEMP\\vk_vt01s.bat -r:\"}\\r\\n\" -t:\"}\"").code, 0);
  EXPECT_EQ(machine.Content("C:\\TEMP\\vk_vt01s.bat"), "\r\nbcdedit /set " + id +
                                                           " device partition=C:\r\n"
                                                           "bcdedit /set " +
                                                           id +
                                                           " path \\kvldr.mbr\r\n"
                                                           "bcdedit /displayorder " +
                                                           id + " /addlast\r\n");
}

TEST_F(ReplacerRun, ReadOnlyFileIsReportedAndLeft) {
  machine.PutFile("c:\\vesk\\korv\\KVX_rd0", "[echo_of]\r\n", kReadOnly);
  Result result = Fr("c:\\vesk\\korv\\KVX_rd0 -f:\"[echo_of]\" -t:\"@echo off\"");
  EXPECT_EQ(result.code, 1);
  EXPECT_EQ(machine.Content("c:\\vesk\\korv\\KVX_rd0"), "[echo_of]\r\n");
}

}  // namespace
}  // namespace kvx::bench
