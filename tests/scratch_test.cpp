// The command prefix, scratch batch runs, file probes and scratch deletes.
#include "host/scratch.h"

#include <gtest/gtest.h>

#include "tests/support/scripted_host.h"

namespace kvx {
namespace {

using testing::ScriptedHost;

TEST(ShellPrefix, ComspecSetWinsOverSystemroot) {
  ScriptedHost host;
  host.SetEnv("COMSPEC", "D:\\WIN\\system32\\cmd.exe");
  host.SetEnv("Systemroot", "C:\\WINDOWS");
  EXPECT_EQ(BuildShellPrefix(BuildCommandInterpreter(host)), "D:\\WIN\\system32\\cmd.exe /c ");
}

TEST(ShellPrefix, EmptyOrUnsetComspecFallsBackToSystemroot) {
  ScriptedHost empty;
  empty.SetEnv("COMSPEC", "");
  empty.SetEnv("Systemroot", "C:\\WINDOWS");
  EXPECT_EQ(BuildShellPrefix(BuildCommandInterpreter(empty)), "C:\\WINDOWS\\system32\\cmd.exe /c ");

  ScriptedHost unset;
  unset.SetEnv("Systemroot", "C:\\WINDOWS");
  EXPECT_EQ(BuildShellPrefix(BuildCommandInterpreter(unset)), "C:\\WINDOWS\\system32\\cmd.exe /c ");
  // COMSPEC is read twice: once for the value, once for the emptiness test.
  std::vector<Text> reads;
  for (const auto& op : unset.Log())
    reads.push_back(op.path);
  EXPECT_EQ(reads, (std::vector<Text>{"COMSPEC", "COMSPEC", "Systemroot"}));
}

TEST(ScratchBatchRun, WritesExactBytesThenRunsTheBarePath) {
  ScriptedHost host;
  host.PutFolder("C:\\Documents and Settings\\A B\\Local Settings\\Temp");
  const Text dir = "C:\\Documents and Settings\\A B\\Local Settings\\Temp\\";
  const Text script = "\r\nbcdedit /timeout 5\r\n";
  ScratchBatchRun(host, dir, "vk_vt020.bat", script);
  // Written, read back whole, then run.
  std::vector<std::string> names;
  for (const auto& op : host.Log())
    names.push_back(op.name);
  EXPECT_EQ(names, (std::vector<std::string>{"WriteWholeFile", "OpenFile", "ReadText", "CloseFile",
                                             "RunCommand"}));
  EXPECT_EQ(host.Log()[0].path, dir + "vk_vt020.bat");
  EXPECT_EQ(host.Log()[0].text, script);
  EXPECT_EQ(host.Log()[1].path, dir + "vk_vt020.bat");
  EXPECT_EQ(host.Commands(), (std::vector<Text>{dir + "vk_vt020.bat"}));
  EXPECT_EQ(host.Content(dir + "VK_VT020.BAT"), script);
}

TEST(FileProbe, MissingAndEmptyFilesAnswerAbsent) {
  ScriptedHost host;
  host.PutFile("C:\\TEMP\\empty.txt", "");
  host.PutFile("C:\\TEMP\\full.txt", "x {abc}");
  SharedFileValues shared;
  EXPECT_EQ(ProbeIntoShared(host, shared, "C:\\TEMP\\missing.txt", "{", false), kNotFound);
  EXPECT_EQ(ProbeIntoShared(host, shared, "C:\\TEMP\\empty.txt", "{", false), kNotFound);
  EXPECT_EQ(ProbeIntoShared(host, shared, "c:\\temp\\FULL.TXT", "{ABC", true), 2);
  EXPECT_EQ(shared.SharedFindResult, 2);
  EXPECT_EQ(shared.SharedFileText, "x {abc}");
  EXPECT_EQ(ProbeIntoShared(host, shared, "C:\\TEMP\\full.txt", "{ABC", false), kNotFound);
}

TEST(ScratchDelete, QuotesThePath) {
  ScriptedHost host;
  ScratchDelete(host, "C:\\WINDOWS\\system32\\cmd.exe /c ", "C:\\Temp Dir\\vk_sys2.txt");
  EXPECT_EQ(host.Commands(),
            (std::vector<Text>{
                "C:\\WINDOWS\\system32\\cmd.exe /c del /q \"C:\\Temp Dir\\vk_sys2.txt\""}));
}

TEST(ScratchFolder, BlankInTmpTakesTheShortFormOrTheDriveRoot) {
  ScriptedHost plain;
  plain.SetEnv("TMP", "C:\\TEMP");
  EXPECT_EQ(ScratchFolder(plain), "C:\\TEMP");
  for (const auto& op : plain.Log())
    EXPECT_NE(op.name, "ShortPath");

  ScriptedHost blank;
  blank.SetEnv("TMP", "C:\\Users\\Li Wei\\AppData\\Local\\Temp");
  blank.SetShortForm("C:\\Users\\Li Wei\\AppData\\Local\\Temp",
                     "C:\\Users\\LIWEI~1\\AppData\\Local\\Temp");
  EXPECT_EQ(ScratchFolder(blank), "C:\\Users\\LIWEI~1\\AppData\\Local\\Temp");

  // Without a short form, or with a character the interpreter takes for its
  // own, the folder cannot go unquoted into the batch lines: the scratch
  // files go to the root of the current drive, as for an unset TMP.
  for (const Text tmp : {"D:\\my temp", "C:\\Users\\AT&T\\Temp", "C:\\100%\\Temp"}) {
    ScriptedHost unusable;
    unusable.SetEnv("TMP", tmp);
    EXPECT_EQ(ScratchFolder(unusable), "") << tmp;
  }

  ScriptedHost unset;
  EXPECT_EQ(ScratchFolder(unset), "");
}

}  // namespace
}  // namespace kvx
