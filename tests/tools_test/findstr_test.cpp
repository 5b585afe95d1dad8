// findstr as the install's batch lines use it, and its expressions.
#include <gtest/gtest.h>

#include "tests/support/tool_machine.h"
#include "tests/tools/doubles.h"
#include "tests/tools/findstr_match.h"

namespace kvx::bench {
namespace {

class Findstr : public ::testing::Test {
 protected:
  Result Run(const std::string& rest) { return RunFindstr("findstr " + rest, machine); }
  testing::ToolMachine machine;
};

TEST_F(Findstr, NumberedLinesForTheIdentifierExtraction) {
  machine.PutFile("c:\\vesk\\korv\\bcd_all.ini",
                  "\r\nWindows Boot Manager\r\n--------------------\r\n"
                  "identifier              {bootmgr}\r\n"
                  "\r\nReal-mode Boot Sector\r\n---------------------\r\n"
                  "identifier              {1fa4}\r\npath                    \\kvldr.mbr\r\n");
  Result braces = Run("/n \"{\" c:\\vesk\\korv\\bcd_all.ini");
  EXPECT_EQ(braces.code, 0);
  EXPECT_EQ(braces.out,
            "4:identifier              {bootmgr}\r\n8:identifier              {1fa4}\r\n");
  EXPECT_EQ(Run("/n \"kvldr.mbr\" c:\\vesk\\korv\\bcd_all.ini").out,
            "9:path                    \\kvldr.mbr\r\n");
  EXPECT_EQ(Run("/n \"KVLDR.MBR\" c:\\vesk\\korv\\bcd_all.ini").code, 1);
}

TEST_F(Findstr, AnchoredCaseFreeSearchForTheBootIniDefault) {
  machine.PutFile("C:\\boot.ini",
                  "[boot loader]\r\ndefault=C:\\KVLDR\r\n[operating systems]\r\n"
                  "MULTI(0)disk(0)rdisk(0)partition(1)\\WINDOWS=\"XP\"\r\n"
                  " multi(0)indented\r\nC:\\KVLDR=multi in the middle\r\n");
  Result result = Run("/i \"^multi\" C:\\boot.ini");
  EXPECT_EQ(result.out, "MULTI(0)disk(0)rdisk(0)partition(1)\\WINDOWS=\"XP\"\r\n");
  EXPECT_EQ(Run("\"^multi\" C:\\boot.ini").code, 1);
}

TEST_F(Findstr, BlanksSeparateAlternativesUnlessGivenWithC) {
  machine.PutFile("z.txt", "1:2 C: NTFS\r\ndevice partition=C:\r\n0:3 Pri NTFS HP_RECOVERY\r\n");
  // " C: " is the one word C:, which the device line holds too.
  EXPECT_EQ(Run("\" C: \" z.txt").out, "1:2 C: NTFS\r\ndevice partition=C:\r\n");
  EXPECT_EQ(Run("/c:\" C: \" z.txt").out, "1:2 C: NTFS\r\n");
  EXPECT_EQ(Run("/i \" recovery\" z.txt").out, "0:3 Pri NTFS HP_RECOVERY\r\n");
  EXPECT_EQ(Run("\"HP_ partition\" z.txt").out,
            "device partition=C:\r\n0:3 Pri NTFS HP_RECOVERY\r\n");
  // A GBK title with a blank: either word selects the line.
  machine.PutFile("t.txt", "description \xe7\x8f\x82\xcd\xdf\r\nother v2013.01.23\r\nnone\r\n");
  EXPECT_EQ(Run("/n \"\xe7\x8f\x82\xcd\xdf v2013.01.23\" t.txt").out,
            "1:description \xe7\x8f\x82\xcd\xdf\r\n2:other v2013.01.23\r\n");
}

TEST_F(Findstr, FilesStandardInputAndExitCodes) {
  machine.PutFile("C:\\d\\a.txt", "Yes one\r\n");
  machine.PutFile("C:\\d\\b.txt", "No two\r\nYes three\r\n");
  EXPECT_EQ(Run("\"Yes\" C:\\d\\*.txt").out, "C:\\d\\a.txt:Yes one\r\nC:\\d\\b.txt:Yes three\r\n");
  EXPECT_EQ(Run("/m \"Yes\" C:\\d\\a.txt C:\\d\\b.txt").out, "C:\\d\\a.txt\r\nC:\\d\\b.txt\r\n");
  EXPECT_EQ(Run("/v /n \"Yes\" C:\\d\\b.txt").out, "1:No two\r\n");
  Result missing = Run("\"Yes\" C:\\d\\none.txt");
  EXPECT_EQ(missing.code, 1);
  EXPECT_NE(missing.err, "");
  machine.SetStdin("a\r\nb\r\n");
  EXPECT_EQ(Run("/x \"b\"").out, "b\r\n");
  EXPECT_EQ(Run("/q \"b\"").code, 2);
  EXPECT_EQ(Run("/n").code, 2);
}

TEST(FindstrMatch, ExpressionsAndLiterals) {
  const SearchOptions plain;
  auto regex = [&](const std::string& p, const std::string& line) {
    return PatternMatches(Pattern{p, true}, line, plain);
  };
  EXPECT_TRUE(regex("kvldr.mbr", "x kvldrXmbr"));
  EXPECT_FALSE(PatternMatches(Pattern{"kvldr.mbr", false}, "kvldrXmbr", plain));
  EXPECT_TRUE(regex("^a*b$", "aaab"));
  EXPECT_TRUE(regex("^a*b$", "b"));
  EXPECT_FALSE(regex("^a*b$", "aaabc"));
  EXPECT_TRUE(regex("[0-9][0-9]*:3", "disk 12:3 x"));
  EXPECT_FALSE(regex("[^0-9]:3", "0:3"));
  EXPECT_TRUE(regex("\\<ab\\>", "x ab y"));
  EXPECT_FALSE(regex("\\<ab\\>", "xab y"));
  EXPECT_TRUE(regex("a\\.b\\$", "a.b$"));
  EXPECT_FALSE(regex("a\\.b", "aXb"));

  SearchOptions edges;
  edges.atStart = true;
  EXPECT_TRUE(PatternMatches(Pattern{"multi", false}, "multi(0)", edges));
  EXPECT_FALSE(PatternMatches(Pattern{"multi", false}, " multi(0)", edges));
  edges.atStart = false;
  edges.atEnd = true;
  EXPECT_TRUE(PatternMatches(Pattern{"=C:", true}, "device=C:", edges));
  EXPECT_FALSE(PatternMatches(Pattern{"=C:", true}, "device=C: x", edges));
  SearchOptions invert;
  invert.invert = true;
  EXPECT_FALSE(LineSelected("a b", {Pattern{"x", false}, Pattern{"b", false}}, invert));
  EXPECT_TRUE(LineSelected("a b", {Pattern{"x", false}}, invert));
}

}  // namespace
}  // namespace kvx::bench
