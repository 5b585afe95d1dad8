// Whole runs in which one host operation fails, each one in turn: a command
// that does nothing, a change that changes nothing, a read that gives the
// empty text or the default. Every such run must still end with code 0,
// reach its last step, stay within its command bounds and change nothing
// outside the product's places.
#include <gtest/gtest.h>

#include "tests/support/fault_runs.h"
#include "tests/support/install_machines.h"

namespace kvx {
namespace {

using testing::ExpectEveryOperationMayFail;
using testing::Machine;
using testing::Mode;

// The pre-install machine with the product on drive E: as well (the user
// answers the question), this very version's files in both product folders,
// and the misnamed menu file, so that a run passes every check.
void PreInstallPassing(Machine& m, int answer) {
  testing::SetUpPreInstallMachine(m.host);
  m.host.PutFile("E:\\vesk\\korv\\ghost.img", "image");
  m.host.PutFile("c:\\boot\\korv\\korv.ini", "[ver]\r\nv=v2013.01.23\r\n");
  m.host.PutFile("c:\\vesk\\korv\\uninstall.xml", "<v>v2013.01.23</v>");
  m.host.PutFile("c:\\vesk\\korv\\menul.lst", "title menu\r\n");
  m.host.AnswerMessages({answer});
}

TEST(EachOperationFailing, PreInstallRuns) {
  const struct {
    const char* name;
    testing::Recipe recipe;
  } machines[] = {
      {"question answered Yes, every check passes",
       [](Machine& m) { PreInstallPassing(m, kButtonYes); }},
      {"question answered No", [](Machine& m) { PreInstallPassing(m, 7); }},
      {"another version",
       [](Machine& m) {
         testing::SetUpPreInstallMachine(m.host);
         m.host.PutFile("c:\\vesk\\korv\\uninstall.xml", "<v>v2012.05.01</v>");
       }},
      {"unfinished uninstall",
       [](Machine& m) {
         testing::SetUpPreInstallMachine(m.host);
         m.host.PutFile(Concat({testing::kXpStartup, "\\KVX_UNIS.LNK"}), "link");
       }},
  };
  for (const auto& machine : machines) {
    SCOPED_TRACE(machine.name);
    EXPECT_GT(ExpectEveryOperationMayFail(machine.recipe, Mode::PreInstall), 10u);
  }
}

TEST(EachOperationFailing, InstallOnWindowsXp) {
  const size_t runs = ExpectEveryOperationMayFail(
      [](Machine& m) { testing::SetUpXpOnSecondDisk(m.host, *m.windows); }, Mode::Install);
  EXPECT_GT(runs, 150u);
}

TEST(EachOperationFailing, InstallOnSixtyFourBitWindows7) {
  const size_t runs = ExpectEveryOperationMayFail(
      [](Machine& m) { testing::SetUpWindows7OverEarlierInstall(m.host, *m.windows); },
      Mode::Install);
  EXPECT_GT(runs, 150u);
}

}  // namespace
}  // namespace kvx
