// Checks over what tests/e2e/run-machine.sh left: the run folders lie in
// $KVX_E2E_DIR, one per machine.
#ifndef KVX_E2E_SUPPORT_H
#define KVX_E2E_SUPPORT_H

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "tests/e2e/bench/run_folder.h"

namespace kvx::e2e {

using bench::Box;
using bench::Event;
using bench::ProgramRun;
using bench::RunFolder;
using Lines = std::vector<std::string>;

inline const std::string kProduct = "c:\\vesk\\korv\\";
inline const std::string kCmd = "C:\\windows\\system32\\cmd.exe /c ";

// The machine's run folder, read once; fails the test when it is missing.
const RunFolder& Machine(const std::string& name);
// The run of "1" or "2"; fails the test when it is missing.
const ProgramRun& RunOf(const RunFolder& folder, const std::string& argument);

// The configurator's steps in order, one line each: "run " + command line,
// "batch " + the batch text as run, "box STYLE CAPTION TEXT", "pause MS",
// "host OPERATION ARGUMENTS...", with the bytes as they are.
Lines Steps(const ProgramRun& run);
// The command lines a double was called with, in order.
Lines Calls(const ProgramRun& run, const std::string& double_name);
// Lines of the scripted machine's transcript (tests/support/expected_blocks.h)
// as the bench traces them: a batch file written and then run by its path
// shows as the run and the text it held; the configurator's own file
// operations as "host" steps (attributes 0 as 128, FILE_ATTRIBUTE_NORMAL);
// a box without caption under the program's name; a delay as a pause.
Lines AsTraced(const Lines& transcript);
// True when the lines occur in steps in this order (others may lie between);
// the message names the first one missing.
::testing::AssertionResult InOrder(const Lines& steps, const Lines& wanted);

// What every finished installation leaves, whatever the machine.
struct Installed {
  std::string temp;            // the scratch folder
  std::string startup;         // the Startup folder from the registry
  std::string accessTool;      // "xc" or "xc1"
  std::string target;          // the hidden folder, "D:\~1"
  bool fat = false;            // the target is FAT: c_pan.ini beside c_pan.txt
  std::string tempAsRun = "";  // the scratch folder as the commands name it, when not temp
};
void ExpectInstalled(const RunFolder& folder, const Installed& expected);

// Byte-for-byte equality that names the first difference instead of
// printing binary files whole.
::testing::AssertionResult SameBytes(const std::string& actual, const std::string& expected);

}  // namespace kvx::e2e

#endif  // KVX_E2E_SUPPORT_H
