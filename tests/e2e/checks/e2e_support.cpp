#include "tests/e2e/checks/e2e_support.h"

#include <cstdlib>
#include <map>
#include <memory>

#include "tests/e2e/bench/trace_record.h"
#include "tests/support/expected_blocks.h"
#include "tests/tools/text.h"

namespace kvx::e2e {

const RunFolder& Machine(const std::string& name) {
  static std::map<std::string, std::unique_ptr<RunFolder>> loaded;
  std::unique_ptr<RunFolder>& folder = loaded[name];
  if (!folder) {
    folder = std::make_unique<RunFolder>();
    const char* dir = std::getenv("KVX_E2E_DIR");
    std::string error;
    if (dir == nullptr) {
      ADD_FAILURE() << "KVX_E2E_DIR names no folder of machine runs";
    } else if (!folder->Load(std::string(dir) + "/" + name, &error)) {
      ADD_FAILURE() << error;
    }
  }
  return *folder;
}

const ProgramRun& RunOf(const RunFolder& folder, const std::string& argument) {
  static const ProgramRun kNone;
  const ProgramRun* run = folder.Run(argument);
  if (run == nullptr) {
    ADD_FAILURE() << "kvxcfg " << argument << " did not run in " << folder.folder();
    return kNone;
  }
  return *run;
}

Lines Steps(const ProgramRun& run) {
  Lines steps;
  for (const Event& event : run.events) {
    if (event.kind == bench::kRecordRun) {
      steps.push_back("run " + event.Field(0));
    } else if (event.kind == bench::kRecordBatch) {
      steps.push_back("batch " + event.Field(1));
    } else if (event.kind == bench::kRecordBox) {
      steps.push_back("box " + event.Field(0) + " " + event.Field(1) + " " + event.Field(2));
    } else if (event.kind == bench::kRecordPause) {
      steps.push_back("pause " + event.Field(0));
    } else if (event.kind == bench::kRecordHost) {
      std::string line = "host";
      for (const std::string& field : event.fields)
        line += " " + field;
      steps.push_back(line);
    } else if (event.kind == bench::kRecordNotStarted) {
      steps.push_back("not started " + event.Field(0));
    }
  }
  return steps;
}

Lines Calls(const ProgramRun& run, const std::string& double_name) {
  Lines calls;
  for (const Event& event : run.events) {
    if (event.IsDouble() && event.kind == double_name)
      calls.push_back(event.Field(1));
  }
  return calls;
}

Lines AsTraced(const Lines& transcript) {
  Lines steps;
  std::map<std::string, std::string> written;  // batch path -> text
  for (const std::string& line : transcript) {
    const size_t blank = line.find(' ');
    const std::string kind = line.substr(0, blank);
    const std::string rest = blank == std::string::npos ? "" : line.substr(blank + 1);
    if (kind == "write") {
      const size_t end = rest.find(' ');
      written[rest.substr(0, end)] = rest.substr(end + 1);
    } else if (kind == "run") {
      steps.push_back(line);
      const auto batch = written.find(rest);
      if (batch != written.end())
        steps.push_back("batch " + batch->second);
    } else if (kind == "attributes" && bench::EndsWith(rest, " 0")) {
      steps.push_back("host attributes " + rest.substr(0, rest.size() - 2) + " 128");
    } else if (kind == "attributes" || kind == "delete" || kind == "mkdir") {
      steps.push_back("host " + line);
    } else if (kind == "message") {
      const size_t style = rest.find(' ');
      const size_t caption = rest.find(' ', style + 1);
      const std::string name = rest.substr(style + 1, caption - style - 1);
      steps.push_back("box " + rest.substr(0, style) + " " + (name == "-" ? "kvxcfg" : name) +
                      rest.substr(caption));
    } else if (kind == "delay") {
      steps.push_back("pause " + rest);
    } else {
      ADD_FAILURE() << "no traced form for: " << bench::Utf8(line);
    }
  }
  return steps;
}

::testing::AssertionResult InOrder(const Lines& steps, const Lines& wanted) {
  size_t at = 0;
  for (const std::string& line : wanted) {
    while (at < steps.size() && steps[at] != line)
      ++at;
    if (at == steps.size())
      return ::testing::AssertionFailure() << "not found in this order: " << bench::Utf8(line);
    ++at;
  }
  return ::testing::AssertionSuccess();
}

::testing::AssertionResult SameBytes(const std::string& actual, const std::string& expected) {
  if (actual == expected)
    return ::testing::AssertionSuccess();
  size_t at = 0;
  while (at < actual.size() && at < expected.size() && actual[at] == expected[at])
    ++at;
  return ::testing::AssertionFailure() << actual.size() << " bytes where " << expected.size()
                                       << " were expected, first difference at byte " << at;
}

void ExpectInstalled(const RunFolder& folder, const Installed& expected) {
  EXPECT_EQ(folder.Verdict(), "win_lan");
  for (const std::string argument : {"1", "2"}) {
    const ProgramRun& run = RunOf(folder, argument);
    EXPECT_EQ(run.exitCode, "0") << argument;
    for (const std::string& step : Steps(run))
      EXPECT_NE(step.compare(0, 11, "not started"), 0) << bench::Utf8(step);
  }
  const ProgramRun& run = RunOf(folder, "2");

  // The tools, the shortcut and the registry file under their stored names.
  for (const std::string name : {"zp", "fi", "fr", "ghost32.exe", "ghostexp", "KVX_SU"})
    EXPECT_TRUE(folder.Exists(kProduct + name)) << name;
  EXPECT_TRUE(folder.Exists(kProduct + expected.accessTool));
  for (const std::string name :
       {"zptlx.exe", "fi.exe", "fr.exe", "xc.exe", "KVX_SU.LNK", "ghostexp.reg", "IRIMG2.BMP"}) {
    EXPECT_FALSE(folder.Exists(kProduct + name)) << name;
  }
  EXPECT_FALSE(folder.Exists(kProduct + (expected.accessTool == "xc" ? "xc1" : "xc")));
  // A shell link (header size 0x4C) to the launcher.
  const std::string link = folder.Text(kProduct + "KVX_SU");
  EXPECT_EQ(link.compare(0, 4, std::string("\x4c\0\0\0", 4)), 0);
  EXPECT_NE(link.find("KVX_SU.EXE"), std::string::npos);
  EXPECT_EQ(folder.Text(kProduct + "GHSTSTAT.TXT").empty(), false);
  EXPECT_FALSE(folder.Exists("C:\\KVX Setup\\GHSTSTAT.TXT"));

  // ghostexp imported through the registry tool.
  const std::string registry = folder.Registry();
  EXPECT_NE(registry.find("HKEY_CURRENT_USER\\Software\\KORVAX\\GhostExp"), std::string::npos);
  EXPECT_NE(registry.find("Title    REG_SZ    珂瓦克斯"), std::string::npos) << registry;
  EXPECT_NE(registry.find("ShowHidden    REG_DWORD    0x1"), std::string::npos);

  // No scratch file left; the folders' attributes as the finishing block sets them.
  for (const std::string& name : folder.List(expected.temp))
    EXPECT_NE(bench::FoldCase(name).compare(0, 3, "vk_"), 0) << bench::Utf8(name);
  EXPECT_TRUE(folder.Exists(expected.temp)) << bench::Utf8(expected.temp);
  EXPECT_EQ(folder.Attributes("C:\\vesk"), "H");
  EXPECT_EQ(folder.Attributes("C:\\vesk\\korv"), "");
  for (const std::string& name : folder.List("C:\\vesk\\korv"))
    EXPECT_EQ(folder.Attributes("C:\\vesk\\korv\\" + name), "") << bench::Utf8(name);
  EXPECT_EQ(folder.Attributes("C:\\KVLDR"), "RHS");
  EXPECT_EQ(folder.Attributes("C:\\kvldr.mbr"), "RHS");

  // The start-up scripts, rebuilt from their INI-shaped skeletons.
  EXPECT_EQ(folder.Text(kProduct + "KVX_rd0"),
            "@echo off\r\nset su=" + expected.startup + "\\\r\n");
  EXPECT_EQ(folder.Text(kProduct + "KVX_rd1"), "@echo off\r\n" + expected.startup.substr(0, 2) +
                                                   "\r\ncd\\\\\r\ncd \"" + expected.startup +
                                                   "\\\"\r\n");

  // The hidden target folder with the panel marker, open to Everyone; none
  // where the target has no drive letter ("8:", a mark Windows cannot open).
  if (expected.target.compare(0, 2, "8:") == 0) {
    EXPECT_FALSE(folder.Exists(expected.target));
  } else {
    EXPECT_EQ(folder.Attributes(expected.target), "H");
    EXPECT_EQ(folder.Text(expected.target + "\\c_pan.txt"), folder.Text(kProduct + "c_pan.txt"));
    // On FAT the marker is copied a second time when the root listing with
    // short names has no " ~1 " line; Wine's dir /x shows no short name for
    // the folder ~1, so under Wine the copy always runs on FAT.
    EXPECT_EQ(folder.Exists(expected.target + "\\c_pan.ini"), expected.fat);
    const std::string grants = folder.Text("C:\\kvxbench\\fixture\\xc_grants.txt");
    EXPECT_NE(grants.find(expected.target +
                          "\tEveryone:" + (expected.accessTool == "xc1" ? "f" : "rewx") + "\r\n"),
              std::string::npos)
        << grants;
  }

  // The mandated pauses, and the finishing block as the run's last steps.
  Lines pauses;
  for (const std::string& step : Steps(run)) {
    if (step.compare(0, 6, "pause ") == 0)
      pauses.push_back(step);
  }
  EXPECT_EQ(pauses, (Lines{"pause 3000", "pause 3000", "pause 5000"}));
  const Lines steps = Steps(run);
  const Lines finishing = AsTraced(testing::FinishingBlock(
      kCmd, (expected.tempAsRun.empty() ? expected.temp : expected.tempAsRun) + "\\"));
  ASSERT_GE(steps.size(), finishing.size());
  EXPECT_EQ(Lines(steps.end() - finishing.size(), steps.end()), finishing);
}

}  // namespace kvx::e2e
