// The scripted machine that every other test stands on: its files, INI
// handling and command effects must behave like the Windows they stand for.
#include "tests/support/scripted_host.h"

#include <gtest/gtest.h>

namespace kvx::testing {
namespace {

TEST(ScriptedMachine, NamesIgnoreCaseAndNeedTheirFolder) {
  ScriptedHost host;
  host.PutFolder("c:\\vesk\\korv");
  host.WriteWholeFile("C:\\VESK\\KORV\\a.txt", TextToBytes("x"));
  EXPECT_TRUE(host.FileExists("c:\\vesk\\korv\\A.TXT"));
  host.WriteWholeFile("C:\\nowhere\\a.txt", TextToBytes("x"));
  EXPECT_FALSE(host.Exists("C:\\nowhere\\a.txt"));
  EXPECT_TRUE(host.FileExists("C:\\vesk"));  // folders exist too
  host.DeleteFile("C:\\vesk");               // but are not deleted as files
  EXPECT_TRUE(host.Exists("C:\\vesk"));
  host.SetCurrentFolder("C:\\vesk\\korv");
  EXPECT_TRUE(host.FileExists("a.txt"));
}

TEST(ScriptedMachine, OpenMissingReadsEmptyAndReadWriteAppends) {
  ScriptedHost host;
  const int missing = host.OpenFile("C:\\none.txt", kReadOnly);
  EXPECT_EQ(host.ReadText(missing), "");
  host.CloseFile(missing);
  EXPECT_FALSE(host.Exists("C:\\none.txt"));

  host.PutFile("C:\\TEMP\\vk_bios2.tmp", "wmic\r\n");
  const int file = host.OpenFile("C:\\TEMP\\vk_bios2.tmp", kReadWrite);
  host.SeekToEnd(file);
  host.WriteText(file, "LENOVO ThinkPad");
  host.SeekToStart(file);
  EXPECT_EQ(host.ReadText(file), "wmic\r\nLENOVO ThinkPad");
  host.CloseFile(file);
  EXPECT_EQ(host.Content("C:\\TEMP\\vk_bios2.tmp"), "wmic\r\nLENOVO ThinkPad");
}

TEST(ScriptedMachine, IniReadsAndWritesLikeThePrivateProfileFunctions) {
  ScriptedHost host;
  host.PutFile(
      "C:\\boot.ini",
      "[boot loader]\r\ntimeout=30\r\ndefault=multi(0)disk(0)rdisk(0)partition(1)\\WINDOWS\r\n"
      "[operating systems]\r\nmulti(0)disk(0)rdisk(0)partition(1)\\WINDOWS=\"XP\" /fastdetect\r\n");
  EXPECT_EQ(host.ReadIni("C:\\boot.ini", "BOOT LOADER", "Timeout"), "30");
  EXPECT_EQ(host.ReadIni("C:\\boot.ini", "boot loader", "missing", "5"), "5");
  host.WriteIni("C:\\boot.ini", "operating systems", "C:\\KVLDR", "KORVAX v2013.01.23");
  host.WriteIni("C:\\boot.ini", "boot loader", "timeout", "1");
  EXPECT_EQ(
      host.Content("C:\\boot.ini"),
      "[boot loader]\r\ntimeout=1\r\ndefault=multi(0)disk(0)rdisk(0)partition(1)\\WINDOWS\r\n"
      "[operating systems]\r\nmulti(0)disk(0)rdisk(0)partition(1)\\WINDOWS=\"XP\" /fastdetect\r\n"
      "C:\\KVLDR=KORVAX v2013.01.23\r\n");
  host.WriteIni("C:\\new.ini", "part", "type", "NTFS");
  EXPECT_EQ(host.Content("C:\\new.ini"), "[part]\r\ntype=NTFS\r\n");
  EXPECT_EQ(host.IniValue("C:\\new.ini", "PART", "TYPE"), "NTFS");
}

TEST(ScriptedMachine, EffectsRunInOrderAndTheLogKeepsEverything) {
  ScriptedHost host;
  host.OnCommandPrefix("x", [](ScriptedHost& m, const Text&) { m.PutFile("C:\\out.txt", "1"); });
  host.OnCommand("x y", [](ScriptedHost& m, const Text& line) {
    m.PutFile("C:\\out.txt", m.Content("C:\\out.txt") + line);
  });
  host.RunCommand("x y");
  host.RunCommand("z");
  EXPECT_EQ(host.Content("C:\\out.txt"), "1x y");
  EXPECT_EQ(host.Commands(), (std::vector<Text>{"x y", "z"}));
  host.AnswerMessages({6});
  EXPECT_EQ(host.ShowMessage("q", 0x34, Text("警告")), 6);
  EXPECT_EQ(host.ShowMessage("n", 0x40), 1);
  EXPECT_EQ(host.Transcript(), (std::vector<std::string>{"run x y", "run z", "message 0x34 警告 q",
                                                         "message 0x40 - n"}));
}

TEST(ScriptedMachine, AFailingOperationChangesNothing) {
  ScriptedHost host;
  host.PutFile("C:\\a.txt", "a");
  host.FailOperation(2);
  host.CopyFile("C:\\a.txt", "C:\\b.txt");  // 1: works
  host.CopyFile("C:\\a.txt", "C:\\c.txt");  // 2: fails
  EXPECT_TRUE(host.Exists("C:\\b.txt"));
  EXPECT_FALSE(host.Exists("C:\\c.txt"));
}

}  // namespace
}  // namespace kvx::testing
