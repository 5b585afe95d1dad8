// find, attrib, xc, ghost32, chkntfs and wmic as the install calls them.
#include <gtest/gtest.h>

#include "tests/support/tool_machine.h"
#include "tests/tools/doubles.h"

namespace kvx::bench {
namespace {

class Tools : public ::testing::Test {
 protected:
  void SetUp() override {
    machine.SetEnv("KVX_BENCH_DIR", "C:\\bench");
    machine.PutFolder("C:\\bench");
  }
  testing::ToolMachine machine;
};

TEST_F(Tools, FindExitCodeDrivesTheInstallsChains) {
  machine.SetStdin("\r\nMicrosoft Windows [Version 6.1.7601]\r\n");
  Result six = RunFind("find \" 6.\"", machine);
  EXPECT_EQ(six.code, 0);
  EXPECT_EQ(six.out, "Microsoft Windows [Version 6.1.7601]\r\n");
  EXPECT_EQ(RunFind("find \" 5.\"", machine).code, 1);

  machine.SetStdin(" Directory of D:\\\r\n2013-01-23  10:00    <DIR>          ~1           ~1\r\n");
  EXPECT_EQ(RunFind("find \" ~1 \"", machine).code, 0);
  machine.SetStdin(" Directory of D:\\\r\n2013-01-23  10:00    <DIR>                       ~1\r\n");
  EXPECT_EQ(RunFind("find \" ~1 \"", machine).code, 1);
}

TEST_F(Tools, FindVInvertsAndOtherSwitchesWork) {
  machine.SetStdin("hdr\r\n0:1 C: NTFS\r\n0:3 D: NTFS\r\nlast without break");
  Result kept = RunFind("find /v \":3 \"", machine);
  EXPECT_EQ(kept.code, 0);
  EXPECT_EQ(kept.out, "hdr\r\n0:1 C: NTFS\r\nlast without break\r\n");
  EXPECT_EQ(RunFind("find /I /N \"ntfs\"", machine).out, "[2]0:1 C: NTFS\r\n[3]0:3 D: NTFS\r\n");
  EXPECT_EQ(RunFind("find /c \"NTFS\"", machine).out, "2\r\n");
  EXPECT_EQ(RunFind("find \"ntfs\"", machine).code, 1);
  machine.SetStdin("only \"quoted\" here\r\n");
  EXPECT_EQ(RunFind("find \"\"\"quoted\"\"\"", machine).code, 0);

  machine.PutFile("C:\\d\\a.txt", "x 6.1\r\n");
  machine.PutFile("C:\\d\\b.txt", "none\r\n");
  Result files = RunFind("find \"6.\" C:\\d\\*.txt", machine);
  EXPECT_EQ(files.out, "\r\n---------- C:\\D\\A.TXT\r\nx 6.1\r\n\r\n---------- C:\\D\\B.TXT\r\n");
  EXPECT_EQ(files.code, 0);
  EXPECT_EQ(RunFind("find \"x\" C:\\d\\none.txt", machine).err,
            "File not found - C:\\D\\NONE.TXT\r\n");

  for (const char* bad : {"find", "find /v", "find /q \"x\"", "find x \"y\""}) {
    EXPECT_EQ(RunFind(bad, machine).code, 2) << bad;
  }
}

TEST_F(Tools, AttribAppliesEveryFlagAndHonoursTheHiddenGuard) {
  machine.PutFolder("D:\\~1");
  machine.PutFile("D:\\~1\\c_pan.txt", "x", kArchive | kHidden | kSystem | kReadOnly);
  machine.PutFile("D:\\~1\\a.dat", "x", kReadOnly);
  machine.PutFolder("D:\\~1\\sub");
  machine.SetAttributes("D:\\~1", kHidden | kSystem | kReadOnly);

  EXPECT_EQ(RunAttrib("attrib -h -s -r D:\\~1", machine).code, 0);
  EXPECT_EQ(machine.Attributes("D:\\~1"), unsigned{kDirectory});
  EXPECT_EQ(RunAttrib("attrib -h -s -r D:\\~1\\*.*", machine).code, 0);
  EXPECT_EQ(machine.Attributes("D:\\~1\\c_pan.txt"), unsigned{kArchive});
  EXPECT_EQ(machine.Attributes("D:\\~1\\a.dat"), 0u);
  EXPECT_EQ(RunAttrib("attrib +h D:\\~1", machine).code, 0);
  EXPECT_EQ(machine.Attributes("D:\\~1"), unsigned{kDirectory | kHidden});

  // Wildcards take folders only with /d; a hidden entry keeps its
  // attributes unless h or s is named.
  EXPECT_EQ(RunAttrib("attrib +r D:\\~1\\*", machine).code, 0);
  EXPECT_EQ(machine.Attributes("D:\\~1\\sub"), unsigned{kDirectory});
  EXPECT_EQ(machine.Attributes("D:\\~1\\a.dat"), unsigned{kReadOnly});
  Result guarded = RunAttrib("attrib -r D:\\~1", machine);
  EXPECT_EQ(guarded.out, "Not resetting hidden file - D:\\~1\r\n");
  EXPECT_EQ(machine.Attributes("D:\\~1"), unsigned{kDirectory | kHidden});
  RunAttrib("attrib +r D:\\~1\\* /d", machine);
  EXPECT_EQ(machine.Attributes("D:\\~1\\sub"), unsigned{kDirectory | kReadOnly});
}

TEST_F(Tools, AttribListsSearchesBelowAndReportsMissingFiles) {
  machine.PutFile("c:\\vesk\\korv\\fi", "x", kArchive | kHidden | kReadOnly);
  machine.PutFile("c:\\vesk\\korv\\deep\\fr", "x", kSystem);
  EXPECT_EQ(RunAttrib("attrib c:\\vesk\\korv\\fi", machine).out,
            "A   HR       c:\\vesk\\korv\\fi\r\n");
  EXPECT_EQ(RunAttrib("attrib -s c:\\vesk\\korv\\f* /s", machine).code, 0);
  EXPECT_EQ(machine.Attributes("c:\\vesk\\korv\\deep\\fr"), 0u);
  EXPECT_EQ(machine.Attributes("c:\\vesk\\korv\\fi"), unsigned{kArchive | kHidden | kReadOnly});
  Result missing = RunAttrib("attrib -h D:\\~1\\*.*", machine);
  EXPECT_EQ(missing.code, 1);
  EXPECT_EQ(missing.err, "File not found - D:\\~1\\*.*\r\n");
  EXPECT_EQ(RunAttrib("attrib +x c:\\vesk", machine).code, 2);
}

TEST_F(Tools, AccessToolRecordsGrantsOnTheFolderAndBelow) {
  machine.PutFile("D:\\~1\\c_pan.txt", "x");
  machine.PutFile("D:\\~1\\sub\\deep.txt", "x");
  EXPECT_EQ(RunXc("c:\\vesk\\korv\\xc D:\\~1 /t /c /y /g Everyone:f", machine).code, 0);
  EXPECT_EQ(RunXc("c:\\vesk\\korv\\xc D:\\~1 /c /y /g Everyone:rewx", machine).code, 0);
  EXPECT_EQ(machine.Content("C:\\bench\\xc_grants.txt"),
            "D:\\~1\tEveryone:rewx\r\n"
            "D:\\~1\\c_pan.txt\tEveryone:f\r\n"
            "D:\\~1\\sub\tEveryone:f\r\n"
            "D:\\~1\\sub\\deep.txt\tEveryone:f\r\n");
  RunXc("xc D:\\~1\\c_pan.txt /e /g Users:r", machine);
  EXPECT_NE(machine.Content("C:\\bench\\xc_grants.txt").find("c_pan.txt\tEveryone:f Users:r\r\n"),
            std::string::npos);

  const std::string before = machine.Content("C:\\bench\\xc_grants.txt");
  for (const char* bad : {"xc D:\\none /c /y /g Everyone:f", "xc D:\\~1 /c /g Everyone:f"}) {
    EXPECT_EQ(RunXc(bad, machine).code, 1) << bad;
  }
  for (const char* unread : {"xc D:\\~1 /c /y /g Everyone:z", "xc D:\\~1 /c /y"}) {
    EXPECT_EQ(RunXc(unread, machine).code, 2) << unread;
  }
  EXPECT_EQ(machine.Content("C:\\bench\\xc_grants.txt"), before);
}

TEST_F(Tools, GhostLeavesItsStatusFileInTheCurrentFolder) {
  machine.PutFolder("C:\\run");
  machine.SetCurrentDir("C:\\run");
  EXPECT_EQ(RunGhost("c:\\vesk\\korv\\ghost32.exe -dd", machine).code, 0);
  EXPECT_NE(machine.Content("C:\\run\\GHSTSTAT.TXT"), "");
  machine.PutFile("C:\\bench\\ghststat.txt", "fixture status\r\n");
  RunGhost("ghost32.exe -DD", machine);
  EXPECT_EQ(machine.Content("C:\\run\\GHSTSTAT.TXT"), "fixture status\r\n");
  EXPECT_EQ(RunGhost("ghost32.exe -clone", machine).code, 2);
}

TEST_F(Tools, ChkntfsNamesTheFileSystemOfEachDrive) {
  machine.PutFile("C:\\bench\\chkntfs.txt", "C: NTFS\r\nd: FAT32 dirty\r\n");
  Result ntfs = RunChkntfs("chkntfs C:", machine);
  EXPECT_EQ(ntfs.out, "The type of the file system is NTFS.\r\nC: is not dirty.\r\n");
  Result fat = RunChkntfs("chkntfs D:", machine);
  EXPECT_EQ(fat.out, "The type of the file system is FAT32.\r\nD: is dirty.\r\n");
  Result none = RunChkntfs("chkntfs 8:", machine);
  EXPECT_EQ(none.code, 1);
  EXPECT_EQ(none.out, "");
  EXPECT_EQ(RunChkntfs("chkntfs /d", machine).code, 2);
}

TEST_F(Tools, WmicPrintsItsListsFromFixtures) {
  EXPECT_EQ(RunWmic("wmic exit", machine).code, 0);
  machine.PutFile("C:\\bench\\wmic_csproduct.txt",
                  "Name=2356AB9\nVendor=LENOVO\nVersion=REM_ThinkPad T61\n");
  Result list = RunWmic("wmic csproduct list full", machine);
  EXPECT_EQ(list.out,
            "\r\n\r\nName=2356AB9\r\nVendor=LENOVO\r\nVersion=REM_ThinkPad T61\r\n\r\n\r\n");
  EXPECT_EQ(RunWmic("wmic bios list full", machine).code, 1);
  EXPECT_EQ(RunWmic("wmic csproduct get name", machine).code, 2);

  machine.PutFile("C:\\bench\\wmic_utf16", "");
  EXPECT_EQ(RunWmic("wmic csproduct list full", machine).out.substr(0, 8),
            std::string("\xFF\xFE\r\0\n\0\r\0", 8));
}

}  // namespace
}  // namespace kvx::bench
