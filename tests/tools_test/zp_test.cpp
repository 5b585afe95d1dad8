// The partition survey tool: fixture, layout, and the tokens that the
// install's batch lines take from it (findstr lines split as "for /f" does).
#include <gtest/gtest.h>

#include "tests/support/tool_machine.h"
#include "tests/tools/doubles.h"
#include "tests/tools/survey.h"
#include "tests/tools/text.h"

namespace kvx::bench {
namespace {

// Tokens of a line as "for /f" splits it: runs of delimiters separate them.
std::vector<std::string> ForTokens(const std::string& line, const std::string& delims) {
  std::vector<std::string> tokens;
  std::string token;
  for (char c : line + delims.substr(0, 1)) {
    if (delims.find(c) != std::string::npos) {
      if (!token.empty())
        tokens.push_back(token);
      token.clear();
    } else {
      token += c;
    }
  }
  return tokens;
}

// The lines that findstr with one literal string selects.
std::vector<std::string> Grep(const std::string& text, const std::string& needle) {
  std::vector<std::string> found;
  for (const std::string& line : SplitLines(text)) {
    if (line.find(needle) != std::string::npos)
      found.push_back(line);
  }
  return found;
}

const char kDisks[] =
    "# a notebook with a recovery partition and a second disk\n"
    "disk 1 basic\n"
    "part 1 - NTFS 100 pri active SYSTEM_DRV\n"
    "part 2 C NTFS 102400 pri - \n"
    "part 3 - NTFS 15000 pri - HP_RECOVERY\n"
    "part 4 - - 200000 ext -\n"
    "part 5 D NTFS 120000 log - DATA DISK\n"
    "part 6 - FAT32 2000 log -\n"
    "disk 2 dynamic\n"
    "part 1 E NTFS 500000 pri active BACKUP\n";

class SurveyRun : public ::testing::Test {
 protected:
  void SetUp() override {
    machine.SetEnv("KVX_BENCH_DIR", "C:\\bench");
    machine.PutFile("C:\\bench\\zp_disks.txt", kDisks);
  }
  Result Zp(const std::string& rest) { return RunZp("c:\\vesk\\korv\\zptlx " + rest, machine); }
  testing::ToolMachine machine;
};

TEST_F(SurveyRun, FullListGivesTheTokensOfTheSurveySettings) {
  Result result = Zp("1 /find:all /GhostStyle /y");
  ASSERT_EQ(result.code, 0) << result.err;
  EXPECT_EQ(result.out,
            "Disk 1 Basic_Disk\r\n"
            "1:1 Pri NTFS 100MB Pri Yes SYSTEM_DRV\r\n"
            "1:2 C: NTFS 102400MB Pri No\r\n"
            "1:3 Pri NTFS 15000MB Pri No HP_RECOVERY\r\n"
            "1:4 Ext - 200000MB Ext No\r\n"
            "1:5 D: NTFS 120000MB Log No DATA DISK\r\n"
            "1:6 Log FAT32 2000MB Log No\r\n");
  // spt_1: token 2 of the line holding " C: ".
  std::vector<std::string> system = Grep(result.out, " C: ");
  ASSERT_EQ(system.size(), 1u);
  EXPECT_EQ(ForTokens(system[0], ": ")[1], "2");
  // apt_1, apt_2: tokens 2 and 3 of the "Yes" line; a letterless active
  // partition gives "Pri", which the install's length check turns into C:.
  std::vector<std::string> active = Grep(result.out, "Yes");
  ASSERT_EQ(active.size(), 1u);
  EXPECT_EQ(ForTokens(active[0], ": ")[1], "1");
  EXPECT_EQ(ForTokens(active[0], ": ")[2], "Pri");

  Result second = Zp("2 /FIND:ALL /GhostStyle /Y");
  EXPECT_NE(second.out.find("Disk 2 Dynamic_Disk\r\n2:1 E: NTFS 500000MB Pri Yes BACKUP\r\n"),
            std::string::npos);
  EXPECT_EQ(ForTokens(Grep(second.out, "Yes")[0], ": ")[2], "E");
}

TEST_F(SurveyRun, NormalListCountsDisksFromZeroAndServesThePartitionChoice) {
  Result result = Zp("0 /find:normal /y");
  ASSERT_EQ(result.code, 0) << result.err;
  std::vector<std::string> lines = SplitLines(result.out);
  ASSERT_EQ(lines.size(), 7u);  // two headers, five partitions (no container)
  EXPECT_EQ(lines[0].find(':'), std::string::npos);
  EXPECT_EQ(lines[1].find(':'), std::string::npos);
  EXPECT_EQ(lines[2], "0:1 Pri NTFS 100MB Pri Yes SYSTEM_DRV");
  EXPECT_EQ(lines[6], "0:6 Log FAT32 2000MB Log No");
  // The loop "skip=2 tokens=2,3" ends on the last partition: pt_1=6, pt_2=Log:.
  std::vector<std::string> last = ForTokens(lines.back(), ": ");
  EXPECT_EQ(last[1] + "|" + last[2] + ":", "6|Log:");
  // Third partition of disk 0, " RECOVERY" and ":2 " as the install searches them.
  EXPECT_NE(result.out.find("0:3"), std::string::npos);
  // The label is a field of its own: "HP_RECOVERY" is found as hp_recover,
  // and not as " RECOVERY", which needs a blank just before it.
  EXPECT_EQ(FindText(result.out, "hp_recover", true), result.out.find("HP_RECOVERY"));
  EXPECT_EQ(FindText(result.out, " RECOVERY", true), std::string::npos);
  // find /v ":3 " drops the third partition's line only.
  size_t kept = 0;
  for (const std::string& line : lines)
    kept += line.find(":3 ") == std::string::npos;
  EXPECT_EQ(kept, lines.size() - 1);
}

TEST_F(SurveyRun, MissingDisksAndBadCallsLeaveTheOutputEmpty) {
  for (const char* rest : {"3 /find:all /GhostStyle /y", "2 /find:normal /y", " /find:normal /y",
                           "1 /y", "1 /find:all /x"}) {
    Result result = Zp(rest);
    EXPECT_NE(result.code, 0) << rest;
    EXPECT_EQ(result.out, "") << rest;
  }
  machine.PutFile("C:\\bench\\zp_disks.txt", "disk 1 basic\npart 1 CD NTFS 1 pri -\n");
  EXPECT_EQ(Zp("1 /find:all /GhostStyle /y").code, 2);
}

TEST_F(SurveyRun, RawFixtureStandsInForTheLayout) {
  machine.PutFile("C:\\bench\\zp_raw_normal_0.txt", "odd layout\r\n");
  EXPECT_EQ(Zp("0 /find:normal /y").out, "odd layout\r\n");
  EXPECT_EQ(Zp("1 /find:all /GhostStyle /y").out.substr(0, 17), "Disk 1 Basic_Disk");
}

TEST(SurveyFixture, ReportsTheLineOfAnError) {
  std::vector<Disk> disks;
  std::string error;
  EXPECT_FALSE(ParseDisks("part 1 C NTFS 1 pri -\n", &disks, &error));
  EXPECT_FALSE(ParseDisks("disk 1 basic\n\npart 1 C NTFS 1 primary -\n", &disks, &error));
  EXPECT_EQ(error.substr(0, 7), "line 3:");
  disks.clear();
  ASSERT_TRUE(ParseDisks("disk 1 basic\npart 7 - NTFS 5 log - A B  \n", &disks, &error));
  EXPECT_EQ(disks[0].partitions[0].label, "A B");
  EXPECT_EQ(disks[0].partitions[0].letter, "");
}

}  // namespace
}  // namespace kvx::bench
