// The finishing block: every line in order on any machine, and the two
// deletions touching only the scratch files and the files of the run folder.
#include <gtest/gtest.h>

#include "deploy/deploy.h"
#include "tests/support/expected_blocks.h"
#include "tests/support/sample_context.h"
#include "tests/support/simulated_windows.h"

namespace kvx {
namespace {

using testing::ScriptedHost;

TEST(Finishing, EveryLineInOrderEvenOnAnEmptyMachine) {
  ScriptedHost host;  // no product folder, no IRIMG2.BMP, nothing to rename
  FinishInstallation(host, testing::SampleInstallContext());
  EXPECT_EQ(host.Transcript(),
            testing::FinishingBlock("C:\\WINDOWS\\system32\\cmd.exe /c ", "C:\\TEMP\\"));
}

TEST(Finishing, DeletesScratchFilesAndRunFolderFilesOnly) {
  ScriptedHost host;
  testing::SimulatedWindows machine(host);
  host.PutFile("C:\\TEMP\\vk_lpt01.bat", "x");
  host.PutFile("C:\\TEMP\\VK_001.TMP", "x");
  host.PutFile("C:\\TEMP\\setup.log", "x");
  host.PutFile("c:\\vesk\\korv\\IRIMG2.BMP", "x");
  host.PutFile("c:\\vesk\\korv\\krv_drv.ini", "x");
  host.PutFile("c:\\vesk\\korv\\krv_run.txt", "x");
  host.PutFile("c:\\vesk\\korv\\krv_run\\state", "x");
  host.PutFile("c:\\vesk\\korv\\krv_run\\run.log", "x");
  host.PutFile("c:\\vesk\\korv\\krv_run\\keep\\inner.txt", "x");
  FinishInstallation(host, testing::SampleInstallContext());
  // What is left, in the machine's sorted order of paths.
  EXPECT_EQ(host.Paths(), (std::vector<Text>{
                              "C:", "C:\\TEMP", "C:\\TEMP\\setup.log", "c:\\vesk", "c:\\vesk\\korv",
                              "c:\\vesk\\korv\\krv_drv.ini", "c:\\vesk\\korv\\krv_run",
                              "c:\\vesk\\korv\\krv_run.txt", "c:\\vesk\\korv\\krv_run\\keep",
                              "c:\\vesk\\korv\\krv_run\\keep\\inner.txt"}));
}

}  // namespace
}  // namespace kvx
