// Boot options by machine model: the loader switch only for the four model
// markers and only when rei is "0" or absent, the ThinkPad image arrangement
// whatever rei holds, the loader switch first.
#include <gtest/gtest.h>

#include "deploy/deploy.h"
#include "tests/support/expected_blocks.h"
#include "tests/support/sample_context.h"
#include "tests/support/simulated_windows.h"

namespace kvx {
namespace {

using testing::Join;
using testing::Lines;
using testing::ScriptedHost;

const Lines kLoaderSwitch = testing::LoaderSwitch("C:\\WINDOWS\\system32\\cmd.exe /c ");
const Lines kThinkPadArrangement = testing::ThinkPadArrangement();

enum class Marker { kNone, kThinkPad, kToshiba, kMicroStar, kAsus };

ModelFindings Findings(Marker marker) {
  ModelFindings findings;
  switch (marker) {
    case Marker::kNone:
      break;
    case Marker::kThinkPad:
      findings.ThinkPadPos = 0;
      break;
    case Marker::kToshiba:
      findings.ToshibaPos = 12;
      break;
    case Marker::kMicroStar:
      findings.MicroStarPos = 40;
      break;
    case Marker::kAsus:
      findings.AsusPos = 7;
      break;
  }
  return findings;
}

// Runs the step on a machine whose krv_pass.ini holds [boot] rei with the
// given value, or no rei key at all.
Lines TranscriptOf(Marker marker, const std::optional<Text>& rei) {
  ScriptedHost host;
  host.PutFile("c:\\vesk\\korv\\krv_pass.ini",
               rei ? "[boot]\r\ndrvc=C:\r\nrei=" + *rei + "\r\n" : Text("[boot]\r\ndrvc=C:\r\n"));
  ApplyModelBootOptions(host, testing::SampleInstallContext(), Findings(marker));
  return host.Transcript();
}

TEST(ModelBootOptions, ReiDecidesTheLoaderSwitchForEveryModelMarker) {
  const std::optional<Text> absent;
  for (Marker marker : {Marker::kToshiba, Marker::kMicroStar, Marker::kAsus}) {
    EXPECT_EQ(TranscriptOf(marker, absent), kLoaderSwitch);
    EXPECT_EQ(TranscriptOf(marker, Text("0")), kLoaderSwitch);
    EXPECT_EQ(TranscriptOf(marker, Text("00")), Lines{});
    EXPECT_EQ(TranscriptOf(marker, Text("1")), Lines{});
    EXPECT_EQ(TranscriptOf(marker, Text("no")), Lines{});
  }
  EXPECT_EQ(TranscriptOf(Marker::kThinkPad, absent), Join({kLoaderSwitch, kThinkPadArrangement}));
  EXPECT_EQ(TranscriptOf(Marker::kThinkPad, Text("0")),
            Join({kLoaderSwitch, kThinkPadArrangement}));
  EXPECT_EQ(TranscriptOf(Marker::kThinkPad, Text("00")), kThinkPadArrangement);
  EXPECT_EQ(TranscriptOf(Marker::kThinkPad, Text("1")), kThinkPadArrangement);
  for (const std::optional<Text>& rei :
       {absent, std::optional<Text>("0"), std::optional<Text>("1")}) {
    EXPECT_EQ(TranscriptOf(Marker::kNone, rei), Lines{});
  }
}

TEST(ModelBootOptions, ImageEditsKeepTheImageSizeAndAreIdempotent) {
  const Text z(3, '\0');
  const Text original = "\xEB\x3C\x90MSDOS5.0" + z + "rem device=ramdrive\r\n" + z +
                        "xmsdsk.exe 25000 /y\r\nset ramdrive=x:\r\nrem call fdrd\r\n" + z;
  const Text edited = "\xEB\x3C\x90MSDOS5.0" + z + "device=ramdrive.sys\r\n" + z +
                      "rem xmsdsk 25000 /y\r\nrem ramdrive=x:\r\ncall fdrd.bat\r\n" + z;
  ScriptedHost host;
  testing::SimulatedWindows machine(host);
  host.PutFile("c:\\vesk\\korv\\fr.exe", "text replacer");
  host.PutFile("c:\\vesk\\korv\\ghost.img", original);
  const InstallContext context = testing::SampleInstallContext();
  ApplyModelBootOptions(host, context, Findings(Marker::kThinkPad));
  EXPECT_EQ(host.Content("c:\\vesk\\korv\\ghost.img"), edited);
  EXPECT_EQ(host.Content("c:\\vesk\\korv\\ghost.img").size(), original.size());
  ApplyModelBootOptions(host, context, Findings(Marker::kThinkPad));
  EXPECT_EQ(host.Content("c:\\vesk\\korv\\ghost.img"), edited);
}

}  // namespace
}  // namespace kvx
