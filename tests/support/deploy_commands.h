// Models of the interpreter commands that the deployment steps rely on, as
// effects on the scripted machine: the for /f loop over a partition list (in
// a batch file or on an interpreter command line), the type|find /v filter
// the text replacer fr on one file, and del /q of a quoted pattern.
#ifndef KVXCFG_TESTS_SUPPORT_DEPLOY_COMMANDS_H
#define KVXCFG_TESTS_SUPPORT_DEPLOY_COMMANDS_H

#include "tests/support/scripted_host.h"

namespace kvx::testing {

// Registers the effects. shellPrefix is the interpreter prefix that single
// commands carry. A command runs its effect only when it has exactly the
// form the product's batch and command lines use; any other form does
// nothing, as a mistyped command would on the real machine.
//
// - A batch file path: every line of the form
//   for /f "skip=N tokens=2,3 delims=: " %%i in (LIST) do echo [part]>INI&& echo pt_1=%%i>>INI&&
//   echo pt_2=%%j:>>INI is run over LIST.
// - shellPrefix + the same loop with single percent signs.
// - shellPrefix + "type SRC|find /v "NEEDLE">DST".
// - PATH\fr FILE -f:"FIND" -t:"REPLACEMENT" (one file, no wildcard).
// - shellPrefix + "del /q "FOLDER\PATTERN"": the files (not folders, not
//   read-only ones) directly in FOLDER whose names match PATTERN ("*" any
//   run of characters, "?" one, a final ".*" also matching no extension).
void ModelDeployCommands(ScriptedHost& host, const Text& shellPrefix);

}  // namespace kvx::testing

#endif  // KVXCFG_TESTS_SUPPORT_DEPLOY_COMMANDS_H
