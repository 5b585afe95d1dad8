// Scratch files left by an interrupted earlier run: a read-only batch file
// is replaced before it runs, one that cannot be replaced is not run, and a
// recovery line of an earlier run, read-only or not, does not count as a
// finding of this one.
#include <gtest/gtest.h>

#include <algorithm>

#include "host/program_values.h"
#include "host/scratch.h"
#include "survey/survey.h"
#include "tests/support/sample_context.h"
#include "tests/support/scripted_host.h"

namespace kvx {
namespace {

using testing::ScriptedHost;
using Lines = std::vector<std::string>;

constexpr int kReadOnlyAttribute = 1;

TEST(Leftovers, ReadOnlyScriptIsReplacedAndOneThatStaysIsNeverRun) {
  const Text dir = "C:\\TEMP\\";
  const Text path = dir + "vk_spt01.bat";
  const Text script = "\r\nfindstr \" C: \" c:\\vesk\\korv\\zp_all0.txt\r\n";
  const Text stale = "\r\nformat d: /q /y\r\n";  // whatever an older run or version left
  const auto leftOver = [&](ScriptedHost& host) { host.PutFile(path, stale, kReadOnlyAttribute); };

  // A fresh name: written once and run, nothing else changes on the machine.
  ScriptedHost fresh;
  fresh.PutFolder("C:\\TEMP");
  ScratchBatchRun(fresh, dir, "vk_spt01.bat", script);
  EXPECT_EQ(fresh.Transcript(), (Lines{"write " + path + " " + script, "run " + path}));

  // Read-only: the first write leaves the old text, so the attribute is
  // cleared and the script written again before it runs.
  ScriptedHost readOnly;
  leftOver(readOnly);
  ScratchBatchRun(readOnly, dir, "vk_spt01.bat", script);
  EXPECT_EQ(readOnly.Transcript(),
            (Lines{"write " + path + " " + script, "attributes " + path + " 0",
                   "write " + path + " " + script, "run " + path}));
  EXPECT_EQ(readOnly.Content(path), script);
  EXPECT_EQ(readOnly.Attributes(path), kAttrNormal);

  // The attribute cannot be cleared (that operation fails): the file keeps
  // its old text and must not run.
  const auto& log = readOnly.Log();
  const auto clearing = std::find_if(log.begin(), log.end(),
                                     [](const auto& op) { return op.name == "SetAttributes"; });
  ASSERT_NE(clearing, log.end());
  ScriptedHost stuck;
  leftOver(stuck);
  stuck.FailOperation(static_cast<size_t>(clearing - log.begin()) + 1);
  ScratchBatchRun(stuck, dir, "vk_spt01.bat", script);
  EXPECT_EQ(stuck.Content(path), stale);
  EXPECT_TRUE(stuck.Commands().empty()) << stuck.Commands().front();
}

TEST(Leftovers, RecoveryLineOfAnEarlierRunIsDeletedBeforeTheSearch) {
  const InstallContext context = testing::SampleInstallContext();
  const Text recoveryLine = context.TempDirSlash + "vk_hp01.txt";
  const Text batch = context.TempDirSlash + "vk_hp01.bat";
  const Text script =
      "\r\nfor /f \"delims=\" %%a in ('findstr /i \" RECOVERY\" c:\\vesk\\korv\\zp_nor.txt') do "
      "echo %%a>C:\\TEMP\\vk_hp01.txt&goto :eof\r\n";
  // An interrupted run on a machine with a recovery partition as the second
  // one left its finding behind, writable or read-only.
  const auto machine = [&](ScriptedHost& host, int attributes) {
    host.PutFile("c:\\vesk\\korv\\zp_all.txt", "0:1 C: NTFS Yes\r\n");
    host.PutFile("c:\\vesk\\korv\\zp_nor.txt", "0:1 C: NTFS SYSTEM\r\n0:2 D: NTFS DATA\r\n");
    host.PutFile(recoveryLine, "0:2 D: NTFS RECOVERY\r\n", attributes);
  };

  // This disk has no recovery partition: the search finds no line, so the
  // batch writes nothing, and the old line must not count. Deleted by the
  // host just before the batch is written and run (a read-only one after its
  // attributes are cleared); no interpreter runs for it.
  for (const int attributes : {0, kReadOnlyAttribute}) {
    SCOPED_TRACE(attributes);
    ScriptedHost host;
    machine(host, attributes);
    ProgramContext program;
    EXPECT_EQ(SurveyNormalPartitions(host, context, SurveySettings(), program).RecoveryLineMarkPos,
              kNotFound);
    EXPECT_FALSE(host.Exists(recoveryLine));
    const Lines transcript = host.Transcript();
    const Lines deletes = attributes == 0
                              ? Lines{"delete " + recoveryLine}
                              : Lines{"delete " + recoveryLine, "attributes " + recoveryLine + " 0",
                                      "delete " + recoveryLine};
    Lines last = deletes;
    last.insert(last.end(), {"write " + batch + " " + script, "run " + batch});
    ASSERT_GE(transcript.size(), last.size());
    EXPECT_EQ(Lines(transcript.end() - static_cast<long>(last.size()), transcript.end()), last);
    EXPECT_EQ(host.Commands().size(), 3u);
  }

  // A hit of this run is still seen: the batch writes after the delete.
  ScriptedHost hit;
  machine(hit, kReadOnlyAttribute);
  hit.OnCommand(batch, [&](ScriptedHost& m, const Text&) {
    m.PutFile(recoveryLine, "0:2 D: NTFS RECOVERY\r\n");
  });
  ProgramContext other;
  EXPECT_EQ(SurveyNormalPartitions(hit, context, SurveySettings(), other).RecoveryLineMarkPos, 1);
}

}  // namespace
}  // namespace kvx
