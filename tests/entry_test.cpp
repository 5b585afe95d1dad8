// Program entry: exactly one argument, "1" or "2" by exact comparison;
// anything else ends at once with exit code 0 and does nothing.
#include "entry/program.h"

#include <gtest/gtest.h>

#include <algorithm>

#include "tests/support/scripted_host.h"

namespace kvx {
namespace {

using testing::ScriptedHost;

std::vector<std::string> OpNames(const ScriptedHost& host) {
  std::vector<std::string> names;
  for (const auto& op : host.Log())
    names.push_back(op.name);
  return names;
}

TEST(Entry, WrongArgumentsEndAtOnceAndDoNothing) {
  const std::vector<std::vector<Text>> cases = {{},     {""},   {"1", "2"}, {"2", "2"}, {" 1"},
                                                {"01"}, {"1."}, {"3"},      {"2 "},     {"１"}};
  for (const auto& arguments : cases) {
    ScriptedHost host;
    host.SetArguments(arguments);
    EXPECT_EQ(RunProgram(host), 0);
    EXPECT_TRUE(host.Ended());
    EXPECT_EQ(OpNames(host), (std::vector<std::string>{"GetArguments", "EndProgram"}))
        << "argument count " << arguments.size();
    EXPECT_EQ(host.Log().back().number, 0);
  }
}

TEST(Entry, OneAndTwoRunTheirJobAndEndWithZero) {
  for (const Text argument : {"1", "2"}) {
    ScriptedHost host;
    host.SetArguments({argument});
    EXPECT_EQ(RunProgram(host), 0);
    EXPECT_TRUE(host.Ended());
    EXPECT_EQ(host.Log().front().name, "GetArguments");
    EXPECT_EQ(host.Log().back().name, "EndProgram");
    EXPECT_EQ(host.Log().back().number, 0);
    const std::vector<Text> commands = host.Commands();
    if (argument == "1") {
      // The checks ran: the drive scan script was written to the scratch
      // folder (TMP unset: the root of the current drive) and run.
      EXPECT_NE(std::find(commands.begin(), commands.end(), "\\vk_sys2.bat"), commands.end());
      EXPECT_TRUE(host.Exists("C:\\vk_sys2.bat"));
    } else {
      // The install configuration ran from its first command to its last (no
      // Systemroot, no COMSPEC: the interpreter is \system32\cmd.exe).
      ASSERT_FALSE(commands.empty());
      EXPECT_EQ(commands.front(), "\\system32\\cmd.exe /c ren c:\\vesk\\korv\\zp zptlx.exe");
      EXPECT_EQ(commands.back(), "\\system32\\cmd.exe /c del /q \"c:\\vesk\\korv\\krv_run\\*.*\"");
    }
  }
}

}  // namespace
}  // namespace kvx
