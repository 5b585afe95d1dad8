// The finishing block: every line in order on any machine, and the two
// deletions touching only the scratch files and the files of the run folder.
#include <gtest/gtest.h>

#include "deploy/deploy.h"
#include "tests/support/sample_context.h"
#include "tests/support/simulated_windows.h"

namespace kvx {
namespace {

using testing::ScriptedHost;

const std::vector<std::string> kFinishing = {
    "run C:\\WINDOWS\\system32\\cmd.exe /c attrib -h -r -s c:\\vesk\\korv\\*.*",
    "run C:\\WINDOWS\\system32\\cmd.exe /c attrib -h -r -s c:\\vesk\\korv",
    "run C:\\WINDOWS\\system32\\cmd.exe /c attrib +h -r -s c:\\vesk",
    "run C:\\WINDOWS\\system32\\cmd.exe /c ren c:\\vesk\\korv\\ghostexp ghostexp.reg",
    "run C:\\WINDOWS\\system32\\cmd.exe /c reg import c:\\vesk\\korv\\ghostexp.reg",
    "run C:\\WINDOWS\\system32\\cmd.exe /c ren c:\\vesk\\korv\\ghostexp.reg ghostexp",
    "run C:\\WINDOWS\\system32\\cmd.exe /c ren c:\\vesk\\korv\\KVX_SU.LNK KVX_SU",
    "run C:\\WINDOWS\\system32\\cmd.exe /c ren c:\\vesk\\korv\\zptlx.exe zp",
    "run C:\\WINDOWS\\system32\\cmd.exe /c ren c:\\vesk\\korv\\fi.exe fi",
    "run C:\\WINDOWS\\system32\\cmd.exe /c ren c:\\vesk\\korv\\fr.exe fr",
    "delete c:\\vesk\\korv\\IRIMG2.BMP",
    "run C:\\WINDOWS\\system32\\cmd.exe /c del /q \"C:\\TEMP\\vk_*.*\"",
    "run C:\\WINDOWS\\system32\\cmd.exe /c del /q \"c:\\vesk\\korv\\krv_run\\*.*\"",
};

TEST(Finishing, EveryLineInOrderEvenOnAnEmptyMachine) {
  ScriptedHost host;  // no product folder, no IRIMG2.BMP, nothing to rename
  FinishInstallation(host, testing::SampleInstallContext());
  EXPECT_EQ(host.Transcript(), kFinishing);
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
