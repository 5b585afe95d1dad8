// Command effects for the survey tests: what the interpreter's built-ins,
// the partition survey tool, the INI writer and the text replacer do to the
// scripted machine when the survey runs them. Batch loops over findstr are
// not modelled here; each test states what such a loop leaves.
#ifndef KVXCFG_TESTS_SUPPORT_SURVEY_MACHINE_H
#define KVXCFG_TESTS_SUPPORT_SURVEY_MACHINE_H

#include <map>

#include "tests/support/scripted_host.h"

namespace kvx::testing {

// Interpreter commands after shellPrefix: "ren P NAME", "type A>>B",
// "copy /y A B", "echo TEXT>P", "echo TEXT>>P", "ver|find "X" >nul&&CMD"
// (CMD runs when versionText holds X) and
// "findstr /c:"X" FILE&if not errorlevel 1 FI" (FI runs when FILE holds X).
// FI is an INI-writer line (productDirSlash + "fi FILE [SECTION] KEY=VALUE"),
// which works only while fi.exe is in the product folder.
void ModelShell(ScriptedHost& machine, const Text& shellPrefix, const Text& productDirSlash,
                const Text& versionText);

// The partition survey tool, while zptlx.exe is in the product folder: for
// "zptlx N /find:all ... >OUT" it writes allByDisk[N], for
// "zptlx N /find:normal ... >OUT" normalByDisk[N] (empty for unknown disks).
void ModelSurveyTool(ScriptedHost& machine, const Text& productDirSlash,
                     std::map<Text, Text> allByDisk, std::map<Text, Text> normalByDisk);

// The text replacer, while fr.exe is in the product folder:
// "fr FILE -f:"FIND" -t:"REPLACEMENT"" replaces every occurrence, taking
// both texts as written.
void ModelTextReplacer(ScriptedHost& machine, const Text& productDirSlash);

}  // namespace kvx::testing

#endif  // KVXCFG_TESTS_SUPPORT_SURVEY_MACHINE_H
