// The bcdedit double: the store file, the English listing, and the commands
// of the install's BCD steps, checked the way the install reads the results
// (identifier extraction as its findstr/for batch does it).
#include <gtest/gtest.h>

#include "tests/support/tool_machine.h"
#include "tests/tools/bcd_store.h"
#include "tests/tools/doubles.h"
#include "tests/tools/text.h"

namespace kvx::bench {
namespace {

const char kStore[] =
    "next 1\n"
    "{bootmgr} bootmgr\n"
    "  description Windows Boot Manager\n"
    "  device partition=C:\n"
    "  default {current}\n"
    "  displayorder {current}\n"
    "  timeout 30\n"
    "{current} osloader\n"
    "  device partition=C:\n"
    "  path \\Windows\\system32\\winload.exe\n"
    "  description Windows 7\n"
    "  inherit {bootloadersettings}\n"
    "{bootloadersettings} bootloadersettings\n"
    "  description Boot Loader Settings\n";

// What the install's identifier batch leaves in krv_id.ini: over the numbered
// lines of the listing, the third ": "-token of the last "{" line before the
// last line holding the search text (findstr, case-sensitive).
std::string ExtractedId(const std::string& listing, const std::string& search) {
  std::vector<std::string> lines = SplitLines(listing);
  size_t target = 0;
  for (size_t i = 0; i < lines.size(); ++i) {
    if (lines[i].find(search) != std::string::npos)
      target = i + 1;
  }
  std::string id;
  for (size_t i = 0; i < lines.size() && i + 1 < target; ++i) {
    if (lines[i].find('{') == std::string::npos)
      continue;
    std::string numbered = std::to_string(i + 1) + ":" + lines[i];
    std::vector<std::string> tokens;
    std::string token;
    for (char c : numbered + " ") {
      if (c == ':' || c == ' ') {
        if (!token.empty())
          tokens.push_back(token);
        token.clear();
      } else {
        token += c;
      }
    }
    id = tokens.size() > 2 ? tokens[2] : "";
  }
  return id;
}

class Bcdedit : public ::testing::Test {
 protected:
  void SetUp() override {
    machine.SetEnv("KVX_BENCH_DIR", "C:\\bench");
    machine.PutFile("C:\\bench\\bcd_store.txt", kStore);
  }
  Result Run(const std::string& rest) { return RunBcdedit("bcdedit " + rest, machine); }
  std::string Store() { return machine.Content("C:\\bench\\bcd_store.txt"); }
  testing::ToolMachine machine;
};

TEST_F(Bcdedit, ListingsHaveTheEnglishLayout) {
  Result bare = RunBcdedit("bcdedit", machine);
  EXPECT_EQ(bare.code, 0);
  EXPECT_EQ(bare.out,
            "\r\nWindows Boot Manager\r\n--------------------\r\n"
            "identifier              {bootmgr}\r\n"
            "device                  partition=C:\r\n"
            "description             Windows Boot Manager\r\n"
            "default                 {current}\r\n"
            "displayorder            {current}\r\n"
            "timeout                 30\r\n"
            "\r\nWindows Boot Loader\r\n-------------------\r\n"
            "identifier              {current}\r\n"
            "device                  partition=C:\r\n"
            "path                    \\Windows\\system32\\winload.exe\r\n"
            "description             Windows 7\r\n"
            "inherit                 {bootloadersettings}\r\n");
  Result all = Run("/enum all");
  EXPECT_NE(all.out.find("\r\nBoot Loader Settings\r\n--------------------\r\n"
                         "identifier              {bootloadersettings}\r\n"),
            std::string::npos);
  EXPECT_EQ(Run("/enum {default}").out.substr(0, 21), "\r\nWindows Boot Loader");
  EXPECT_EQ(Run("/ENUM osloader").out, Run("/enum {current}").out);
}

TEST_F(Bcdedit, CreateSetOrderThenTheInstallFindsItsEntry) {
  const std::string title = "\xe7\x8f\x82\xcd\xdf\xbf\xcb\xcb\xb9 v2013.01.23";
  Result created = Run("/create /d \"" + title + "\" /application bootsector");
  ASSERT_EQ(created.code, 0) << created.err;
  const std::string id = "{1fa4e2b0-5c9d-11e2-8d37-000000000001}";
  EXPECT_EQ(created.out, "The entry " + id + " was successfully created.\r\n");
  EXPECT_EQ(Run("/set " + id + " device partition=C:").out,
            "The operation completed successfully.\r\n");
  EXPECT_EQ(Run("/set " + id + " path \\kvldr.mbr").code, 0);
  EXPECT_EQ(Run("/displayorder " + id + " /addlast").code, 0);
  EXPECT_EQ(Run("/timeout 5").code, 0);

  const std::string listing = Run("/enum all").out;
  EXPECT_NE(listing.find("\r\nReal-mode Boot Sector\r\n---------------------\r\n"
                         "identifier              " +
                         id +
                         "\r\n"
                         "device                  partition=C:\r\n"
                         "path                    \\kvldr.mbr\r\n"
                         "description             " +
                         title + "\r\n"),
            std::string::npos);
  EXPECT_NE(listing.find("displayorder            {current}\r\n"
                         "                        " +
                         id +
                         "\r\n"
                         "timeout                 5\r\n"),
            std::string::npos);
  EXPECT_EQ(ExtractedId(listing, "kvldr.mbr"), id);
  EXPECT_EQ(ExtractedId(listing, title), id);
  EXPECT_NE(RunBcdedit("bcdedit", machine).out.find("identifier              " + id),
            std::string::npos);

  // A second creation gets the next identifier; the store file keeps the count.
  EXPECT_NE(Run("/create /d \"x\" /application bootsector").out.find("000000000002}"),
            std::string::npos);
  EXPECT_NE(Store().find("next 3"), std::string::npos);
}

TEST_F(Bcdedit, DeleteWithCleanupLeavesNoTraceOfTheEntry) {
  const std::string id = "{1fa4e2b0-5c9d-11e2-8d37-000000000001}";
  Run("/create /d \"KORVAX v2013.01.23\" /application bootsector");
  Run("/displayorder " + id + " /addlast");
  EXPECT_EQ(Run("/delete " + id + " /cleanup").code, 0);
  const std::string listing = Run("/enum all").out;
  EXPECT_EQ(listing.find("KORVAX"), std::string::npos);
  EXPECT_EQ(listing.find(id), std::string::npos);

  // Deleting again, an empty identifier (as "/delete  /cleanup" gives), a
  // reserved one without /f, or an unbraced one all fail with exit code 1.
  for (const std::string& rest :
       {"/delete " + id + " /cleanup", std::string("/delete  /cleanup"),
        std::string("/delete {current} /cleanup"), std::string("/set entry device partition=C:")}) {
    Result failed = Run(rest);
    EXPECT_EQ(failed.code, 1) << rest;
    EXPECT_EQ(failed.out, "") << rest;
    EXPECT_NE(failed.err, "") << rest;
  }
  EXPECT_EQ(Run("/delete {current} /f").code, 0);
}

// As with the real tool: a /set without an identifier in braces acts on the
// running Windows' entry; a name bcdedit does not know is refused; a locked
// entry stays; the store may hold bcdedit's answer to a creation in another
// wording, where the identifier is the second word; the default entry is
// listed as {default}.
TEST_F(Bcdedit, SetWithoutIdentifierLockedEntriesAndTheCreationAnswer) {
  EXPECT_EQ(Run("/set path \\kvldr.mbr").code, 0);
  EXPECT_NE(Run("/enum {current}").out.find("path                    \\kvldr.mbr\r\n"),
            std::string::npos);
  EXPECT_EQ(Run("/set {current} colour blue").err.find("not recognized") != std::string::npos,
            true);

  machine.PutFile("C:\\bench\\bcd_store.txt",
                  std::string(kStore) +
                      "{1fa4e2b0-5c9d-11e2-8d37-0000000000aa} bootsector locked\n"
                      "  description Rescue\n");
  EXPECT_EQ(Run("/delete {1fa4e2b0-5c9d-11e2-8d37-0000000000aa} /cleanup").code, 1);
  EXPECT_NE(Run("/enum all").out.find("Rescue"), std::string::npos);

  machine.PutFile("C:\\bench\\bcd_store.txt",
                  std::string("create-answer Entry {id} created.\n") + kStore);
  EXPECT_EQ(Run("/create /d \"x\" /application bootsector").out,
            "Entry {1fa4e2b0-5c9d-11e2-8d37-000000000001} created.\r\n");
  EXPECT_EQ(Run("/import C:\\bench\\bcd_store.txt").code, 0);
  EXPECT_NE(Store().find("create-answer Entry {id} created.\r\n"), std::string::npos);
  // The default entry is listed as {default}, and that name acts on it.
  EXPECT_EQ(Run("/default {1fa4e2b0-5c9d-11e2-8d37-000000000001}").code, 0);
  EXPECT_NE(
      Run("/enum all").out.find("identifier              {default}\r\ndescription             x"),
      std::string::npos);
  EXPECT_EQ(Run("/delete {default} /cleanup").code, 0);
  EXPECT_EQ(Run("/enum all").out.find("description             x"), std::string::npos);
}

TEST_F(Bcdedit, RefusedCreationLeavesNoIdentifierAndNoEntry) {
  machine.PutFile("C:\\bench\\bcd_store.txt", std::string("refuse-create\n") + kStore);
  Result refused = Run("/create /d \"KORVAX v2013.01.23\" /application bootsector");
  EXPECT_EQ(refused.code, 1);
  EXPECT_EQ(refused.out.find('{'), std::string::npos);
  EXPECT_EQ(Run("/enum all").out.find("KORVAX"), std::string::npos);
  EXPECT_EQ(Run("/timeout 1").code, 0);  // other changes still work
}

TEST_F(Bcdedit, UnreadableStoreAnswersNothingUntilImported) {
  machine.PutFile("C:\\boot\\bcd", kStore);
  machine.PutFile("C:\\bench\\bcd_store.txt", std::string("unreadable\nrefuse-create\n") + kStore);
  Result bare = RunBcdedit("bcdedit", machine);
  EXPECT_EQ(bare.code, 1);
  EXPECT_EQ(bare.out.find('{'), std::string::npos);
  EXPECT_EQ(Run("/enum all").code, 1);
  EXPECT_EQ(Run("/timeout 5").code, 1);

  EXPECT_EQ(Run("/import C:\\boot\\missing").code, 1);
  EXPECT_EQ(Run("/import C:\\boot\\bcd").code, 0);
  EXPECT_NE(RunBcdedit("bcdedit", machine).out.find("{current}"), std::string::npos);
  // The import keeps the machine's refusal to create.
  EXPECT_EQ(Run("/create /d \"x\" /application bootsector").code, 1);

  // A missing store file cannot be opened either.
  testing::ToolMachine storeless;
  storeless.SetEnv("KVX_BENCH_DIR", "C:\\bench");
  storeless.PutFolder("C:\\bench");
  EXPECT_EQ(RunBcdedit("bcdedit", storeless).code, 1);
}

TEST_F(Bcdedit, ExportWritesAStoreThatImportsBack) {
  machine.PutFolder("c:\\vesk\\korv");
  Run("/create /d \"KORVAX v2013.01.23\" /application bootsector");
  EXPECT_EQ(Run("/export c:\\vesk\\korv\\BCD").code, 0);
  EXPECT_EQ(Run("/export c:\\no\\such\\BCD").code, 1);
  const std::string before = Run("/enum all").out;
  Run("/delete {1fa4e2b0-5c9d-11e2-8d37-000000000001}");
  EXPECT_EQ(Run("/import c:\\vesk\\korv\\BCD").code, 0);
  EXPECT_EQ(Run("/enum all").out, before);
}

// Bad arguments fail as with the real tool (exit code 1); a command the
// bench does not know gives 2, so that a simulated run reports it.
TEST_F(Bcdedit, BadArgumentsFailWithExitCodeOneAndChangeNothing) {
  const std::string before = Store();
  for (const char* rest :
       {"/timeout five", "/timeout", "/create /d \"x\"", "/create /d \"x\" /application weird",
        "/displayorder {nosuch} /addlast", "/set {current} description",
        "/deletevalue {current} nx", "/set {current} colour blue"}) {
    EXPECT_EQ(Run(rest).code, 1) << rest;
  }
  EXPECT_EQ(Run("/copy {current} /d x").code, 2);
  EXPECT_EQ(Store(), before);
  machine.PutFile("C:\\bench\\bcd_store.txt", "{x}\n");
  EXPECT_EQ(RunBcdedit("bcdedit", machine).code, 2);
}

TEST(BcdStoreFile, RoundTripsThroughItsTextForm) {
  BcdStore store;
  std::string error;
  ASSERT_TRUE(ParseBcdStore(std::string("refuse-create\n# note\n") + kStore, &store, &error))
      << error;
  EXPECT_TRUE(store.refuseCreate);
  EXPECT_FALSE(store.unreadable);
  ASSERT_EQ(store.entries.size(), 3u);
  EXPECT_EQ(*store.entries[1].Find("PATH"), "\\Windows\\system32\\winload.exe");
  BcdStore again;
  ASSERT_TRUE(ParseBcdStore(FormatBcdStore(store), &again, &error)) << error;
  EXPECT_EQ(FormatBcdStore(again), FormatBcdStore(store));
  EXPECT_EQ(EnumAll(again), EnumAll(store));
  EXPECT_FALSE(ParseBcdStore("  description x\n", &store, &error));
  EXPECT_EQ(CreatedId(26), "{1fa4e2b0-5c9d-11e2-8d37-00000000001a}");
}

}  // namespace
}  // namespace kvx::bench
