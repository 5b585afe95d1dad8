// Values that live for a whole run of the configurator.
//
// A step that reads a file opens it, reads it whole and closes it, then
// searches the text; it keeps the file number, the text and the search
// result, each read overwriting the one before. The install configuration
// keeps them for the whole run together with the Windows family; the
// pre-install checks keep a set of their own.
#ifndef KVXCFG_HOST_PROGRAM_VALUES_H
#define KVXCFG_HOST_PROGRAM_VALUES_H

#include "host/text.h"

namespace kvx {

// The last file read and the last search in its text.
struct SharedFileValues {
  int SharedFileNumber = 0;
  Text SharedFileText;
  int SharedFindResult = 0;
};

// The program-wide values of the install configuration. They start empty and
// are released with the entry.
struct ProgramContext : SharedFileValues {
  // "vt" (boot entries in the BCD store) or "nt" (boot.ini), set by the disk survey.
  Text WinFamily;
};

}  // namespace kvx

#endif  // KVXCFG_HOST_PROGRAM_VALUES_H
