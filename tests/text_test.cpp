// The text layer: GBK literals, GBK-aware search, exact comparison.
#include "host/text.h"

#include <gtest/gtest.h>

namespace kvx {
namespace {

std::string Hex(const Text& text) {
  static const char* digits = "0123456789ABCDEF";
  std::string hex;
  for (unsigned char c : text) {
    if (!hex.empty())
      hex += ' ';
    hex += digits[c >> 4];
    hex += digits[c & 15];
  }
  return hex;
}

TEST(GbkLiterals, ChineseLiteralsAreGbkBytes) {
  EXPECT_EQ(Hex("警告"), "BE AF B8 E6");
  EXPECT_EQ(Hex("珂瓦克斯"), "E7 E6 CD DF BF CB CB B9");
  EXPECT_EQ(Hex("「开始」菜单\\程序\\启动"),
            "A1 B8 BF AA CA BC A1 B9 B2 CB B5 A5 5C B3 CC D0 F2 5C C6 F4 B6 AF");
  EXPECT_EQ(Hex("是=继续安装"), "CA C7 3D BC CC D0 F8 B0 B2 D7 B0");
}

// "亄" is 81 7B: its trail byte is "{". "宎" is 8C 61 ("a"), "昛" is 95 5A ("Z").
TEST(FindText, NeverMatchesInsideADoubleByteCharacter) {
  EXPECT_EQ(Hex("亄"), "81 7B");
  EXPECT_EQ(FindText("亄", "{", false), kNotFound);
  EXPECT_EQ(FindText("x亄y", "{", false), kNotFound);
  EXPECT_EQ(FindText("亄{", "{", false), 2);
  EXPECT_EQ(FindText("宎", "a", false), kNotFound);
  EXPECT_EQ(FindText("宎", "A", true), kNotFound);
  EXPECT_EQ(FindText("昛", "z", true), kNotFound);
  // A two-byte needle made of a trail byte and the next character's lead byte.
  EXPECT_EQ(FindText("宎宎", "a\x8C", false), kNotFound);
  // "{a" would line up with the trail of 亄 and a plain "a".
  EXPECT_EQ(FindText("亄a", "{a", false), kNotFound);
}

TEST(FindText, FindsWholeCharactersAndAsciiAfterThem) {
  EXPECT_EQ(FindText("BCD的本软件启动项", "启动", false), 11);
  EXPECT_EQ(FindText("亄宎{a", "{A", true), 4);
  EXPECT_EQ(FindText("珂瓦克斯 v2013.01.23", "珂瓦克斯 v2013.01.23", false), 0);
  EXPECT_EQ(FindText("珂瓦克斯", "瓦克", false), 2);
}

TEST(FindText, IgnoreCaseFoldsOnlyAsciiLetters) {
  EXPECT_EQ(FindText("...default=c:\\kvldr...", "default=C:\\KVLDR", true), 3);
  EXPECT_EQ(FindText("...default=c:\\kvldr...", "default=C:\\KVLDR", false), kNotFound);
  EXPECT_EQ(FindText("rem_thinkpad", "REM_ThinkPad", true), 0);
  EXPECT_EQ(FindText("V2013.01.23", "v2013.01.23", false), kNotFound);
  EXPECT_EQ(FindText("[", "{", true), kNotFound);  // no folding beyond letters
}

TEST(FindText, AbsentAndEmpty) {
  EXPECT_EQ(FindText("", "multi", true), kNotFound);
  EXPECT_EQ(FindText("mult", "multi", true), kNotFound);
  EXPECT_EQ(FindText("abc", "", false), 0);
  EXPECT_EQ(FindText("a RECOVERY", " RECOVERY", true), 1);
  EXPECT_EQ(FindText("1:RECOVERY", " RECOVERY", true), kNotFound);
}

TEST(TextOperations, EqualsLengthLeftConcat) {
  EXPECT_TRUE(TextEquals("", Text()));
  EXPECT_FALSE(TextEquals("1", "01"));
  EXPECT_FALSE(TextEquals("nt", "NT"));
  EXPECT_EQ(TextLength("C:"), 2);
  EXPECT_EQ(TextLength("警告"), 4);
  EXPECT_EQ(LeftText("C:\\Users\\a b\\", 2), "C:");
  EXPECT_EQ(LeftText("\\", 2), "\\");
  EXPECT_EQ(LeftText("abc", 0), "");
  EXPECT_EQ(Concat({"a", Text(), "b", "c"}), "abc");
  const Bytes bytes = TextToBytes("\r\n警");
  ASSERT_EQ(bytes.size(), 4u);
  EXPECT_EQ(bytes[0], 0x0D);
  EXPECT_EQ(bytes[2], 0xBE);
  EXPECT_EQ(BytesToText(bytes), "\r\n警");
}

}  // namespace
}  // namespace kvx
