// Small pieces that the boot.ini and the BCD registration both use: one-line
// batch texts, the copy command, the boot menu timeout setting and the file
// probes whose findings the install configuration keeps in its shared values.
#ifndef KVXCFG_BOOTMENU_SHARED_STEPS_H
#define KVXCFG_BOOTMENU_SHARED_STEPS_H

#include "entry/program.h"
#include "host/host.h"
#include "survey/records.h"

namespace kvx {

// A batch text of one command: an empty first line, the command, a line break.
Text OneLineBatch(const Text& commandLine);

// shellPrefix + "copy /y " + source + " " + destination.
Text CopyCommand(const Text& shellPrefix, const Text& source, const Text& destination);

// The boot menu timeout in seconds as a text: "1" when krv_pass.ini [sec]
// sec1 is exactly "1", otherwise (missing key included) "5".
Text BootMenuTimeout(Host& host, const InstallContext& context);

// Opens the file read-only, reads it whole, closes it and searches the needle;
// the file number, the text and the position go to the shared values. Returns
// the position (kNotFound when absent).
int ProbeIntoShared(Host& host, ProgramContext& program, const Text& path, const Text& needle,
                    bool ignoreCase);

// Opens the file read-only, reads it whole and closes it; the file number and
// the text go to the shared values. Returns the text.
Text ReadIntoShared(Host& host, ProgramContext& program, const Text& path);

}  // namespace kvx

#endif  // KVXCFG_BOOTMENU_SHARED_STEPS_H
