// KVX_rd0, KVX_rd1 and the launcher shortcut, with echo and the text
// replacer run on the simulated machine.
#include <gtest/gtest.h>

#include "survey/survey.h"
#include "tests/support/expected_blocks.h"
#include "tests/support/sample_context.h"
#include "tests/support/simulated_windows.h"

namespace kvx {
namespace {

using testing::ScriptedHost;

TEST(StartupScripts, BuildsBothScriptsForAStartupFolderWithBlanks) {
  ScriptedHost host;
  host.PutFile("c:\\vesk\\korv\\fr.exe", "replacer");
  // Left by an earlier run: emptied, never appended to.
  host.PutFile("c:\\vesk\\korv\\KVX_rd0", "@echo off\r\nset su=D:\\old\\\r\n");
  host.PutFile("c:\\vesk\\korv\\KVX_rd1", "@echo off\r\nD:\r\n");
  testing::SimulatedWindows machine(host);

  WriteStartupScripts(host, testing::SampleInstallContext());

  EXPECT_EQ(host.Transcript(),
            testing::StartupScripts(
                "C:\\WINDOWS\\system32\\cmd.exe /c ",
                "C:\\Documents and Settings\\Administrator\\「开始」菜单\\程序\\启动"));

  EXPECT_EQ(host.Content("c:\\vesk\\korv\\KVX_rd0"),
            "@echo off\r\n"
            "set su=C:\\Documents and Settings\\Administrator\\「开始」菜单\\程序\\启动\\\r\n");
  EXPECT_EQ(host.Content("c:\\vesk\\korv\\KVX_rd1"),
            "@echo off\r\n"
            "C:\r\n"
            "cd\\\\\r\n"
            "cd \"C:\\Documents and Settings\\Administrator\\「开始」菜单\\程序\\启动\\\"\r\n");
  EXPECT_TRUE(host.Exists("c:\\vesk\\korv\\KVX_SU.LNK"));
  EXPECT_TRUE(machine.unhandled.empty());
}

}  // namespace
}  // namespace kvx
