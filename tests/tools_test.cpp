// The companion tools' command forms, checked against the lines as they run.
#include "host/tools.h"

#include <gtest/gtest.h>

namespace kvx {
namespace {

const Text kProduct = "c:\\vesk\\korv\\";
const Text kShell = "C:\\WINDOWS\\system32\\cmd.exe /c ";

TEST(ToolForms, IniWriter) {
  EXPECT_EQ(
      FiCommand(kProduct, "C:\\boot.ini", "operating systems", "C:\\KVLDR", "KORVAX v2013.01.23"),
      "c:\\vesk\\korv\\fi C:\\boot.ini [operating systems] C:\\KVLDR=KORVAX v2013.01.23");
  EXPECT_EQ(FiCommand(kProduct, kProduct + "krv_pass.ini", "boot", "drvc", ""),
            "c:\\vesk\\korv\\fi c:\\vesk\\korv\\krv_pass.ini [boot] drvc=");
}

TEST(ToolForms, TextReplacerBothForms) {
  EXPECT_EQ(
      FrCommand(kProduct, kProduct + "ghost.img", "rem call fdrd", "call fdrd.bat"),
      "c:\\vesk\\korv\\fr c:\\vesk\\korv\\ghost.img -f:\"rem call fdrd\" -t:\"call fdrd.bat\"");
  EXPECT_EQ(FrEscapedCommand(kProduct, "C:\\TEMP\\vk_vt01q.bat", "}\\r\\n", "}"),
            "c:\\vesk\\korv\\fr C:\\TEMP\\vk_vt01q.bat -r:\"}\\r\\n\" -t:\"}\"");
}

TEST(ToolForms, SurveyAccessImagingAndRename) {
  EXPECT_EQ(ZptlxScanCommand(kShell, kProduct, "3", kProduct + "zp_all3.txt"),
            "C:\\WINDOWS\\system32\\cmd.exe /c c:\\vesk\\korv\\zptlx 3 /find:all /GhostStyle /y "
            ">c:\\vesk\\korv\\zp_all3.txt");
  EXPECT_EQ(ZptlxNormalCommand(kShell, kProduct, "", kProduct + "zp_nor.txt"),
            "C:\\WINDOWS\\system32\\cmd.exe /c c:\\vesk\\korv\\zptlx  /find:normal /y "
            ">c:\\vesk\\korv\\zp_nor.txt");
  EXPECT_EQ(XcGrantCommand(kProduct, "D:\\~1", false, "Everyone", "f"),
            "c:\\vesk\\korv\\xc D:\\~1 /c /y /g Everyone:f");
  EXPECT_EQ(XcGrantCommand(kProduct, "D:\\~1", true, "Everyone", "rewx"),
            "c:\\vesk\\korv\\xc D:\\~1 /t /c /y /g Everyone:rewx");
  EXPECT_EQ(GhostStatusCommand(kProduct), "c:\\vesk\\korv\\ghost32.exe -dd");
  EXPECT_EQ(RenameCommand(kShell, kProduct + "zp", "zptlx.exe"),
            "C:\\WINDOWS\\system32\\cmd.exe /c ren c:\\vesk\\korv\\zp zptlx.exe");
}

}  // namespace
}  // namespace kvx
