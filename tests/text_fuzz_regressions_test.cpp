// Inputs of the text-layer fuzz target (scripts/fuzz.sh) replayed as tests:
// the committed seeds, and every fault the fuzzer found, also as a plain case.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "tests/support/scripted_host.h"
#include "tests/support/text_layer_checks.h"

namespace kvx::testing {
namespace {

namespace fs = std::filesystem;

TEST(TextLayerFuzzInputs, EverySeedAndFindingKeepsItsProperties) {
  const fs::path corpus = fs::path(__FILE__).parent_path() / "fuzz" / "corpus";
  ASSERT_TRUE(fs::is_directory(corpus)) << corpus;
  size_t replayed = 0;
  for (const fs::directory_entry& entry : fs::directory_iterator(corpus)) {
    std::ifstream file(entry.path(), std::ios::binary);
    const std::vector<char> bytes{std::istreambuf_iterator<char>(file),
                                  std::istreambuf_iterator<char>()};
    EXPECT_EQ(CheckTextLayer(reinterpret_cast<const uint8_t*>(bytes.data()), bytes.size()), "")
        << entry.path();
    ++replayed;
  }
  EXPECT_GE(replayed, 5u);
}

// Found by the fuzzer: a section name whose last character has the trail byte
// 5D ("]") was cut there, so the value written under it was never read back,
// and every further write added another copy of the section.
TEST(TextLayerFuzzFindings, SectionNameWithBracketTrailByteReadsBack) {
  const Text section = "disk\xB2\x5D";  // a double-byte character B2 5D
  ScriptedHost host;
  host.WriteIni("C:\\krv_drv.ini", section, "pt_1", "D:");
  host.WriteIni("C:\\krv_drv.ini", section, "pt_2", "E:");
  EXPECT_EQ(host.ReadIni("C:\\krv_drv.ini", section, "pt_1"), "D:");
  EXPECT_EQ(host.ReadIni("C:\\krv_drv.ini", "DISK\xB2\x5D", "PT_2"), "E:");
  EXPECT_EQ(host.ReadIni("C:\\krv_drv.ini", "disk\xB2", "pt_1"), "");
  EXPECT_EQ(host.Content("C:\\krv_drv.ini"), "[disk\xB2\x5D]\r\npt_1=D:\r\npt_2=E:\r\n");
}

// Shown by the file read-back check on a hand-made input: the byte 5C after a
// lead byte was taken for a path separator, so a name with such a character
// lost its folder ("a\xB1" was looked for as a folder) or its last byte.
TEST(TextLayerFuzzFindings, TrailByteBackslashIsNoPathSeparator) {
  const Text folder = "C:\\\xB1\x5C";  // a folder named by one double-byte character
  ScriptedHost host;
  host.CreateFolder(folder);
  EXPECT_TRUE(host.IsFolder(folder));
  EXPECT_FALSE(host.Exists("C:\\\xB1"));
  host.WriteWholeFile(Concat({folder, "\\vk_a.txt"}), TextToBytes("one"));
  EXPECT_EQ(host.Content("c:\\\xB1\x5C\\VK_A.TXT"), "one");

  const Text inName = Concat({"C:\\a\xB1\x5C", "b.txt"});
  host.WriteWholeFile(inName, TextToBytes("two"));
  EXPECT_EQ(host.Content(Concat({"C:\\A\xB1\x5C", "B.TXT"})), "two");
  EXPECT_FALSE(host.Exists("C:\\a\xB1"));

  host.PutFile("C:\\x\xB1\x5Cy\\z.txt", "three");
  EXPECT_TRUE(host.IsFolder("C:\\x\xB1\x5Cy"));
  EXPECT_FALSE(host.Exists("C:\\x\xB1"));
}

}  // namespace
}  // namespace kvx::testing
