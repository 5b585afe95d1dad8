// Entry of every bench double; KVX_DOUBLE names the double this program is
// (the build compiles this file once per double). The name is fixed at build
// time because the file name changes while in use (zp runs as zptlx.exe).
#include <windows.h>

#include "doubles.h"
#include "machine_windows.h"

#ifndef KVX_DOUBLE
#error "build with -DKVX_DOUBLE=\"name\""
#endif

int main() {
  kvx::bench::WindowsMachine machine;
  kvx::bench::Result result = kvx::bench::RunDouble(KVX_DOUBLE, ::GetCommandLineA(), machine);
  kvx::bench::WriteStandard(false, result.out);
  kvx::bench::WriteStandard(true, result.err);
  return result.code;
}
