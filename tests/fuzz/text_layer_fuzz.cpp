// Fuzz target: the text layer and the scripted machine's INI and file
// read-back (tests/support/text_layer_checks.h). Any property that does not
// hold ends the run with its description. Built and run by scripts/fuzz.sh.
#include <cstdio>
#include <cstdlib>

#include "tests/support/text_layer_checks.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::string failure = kvx::testing::CheckTextLayer(data, size);
  if (!failure.empty()) {
    std::fprintf(stderr, "property failed: %s\n", failure.c_str());
    std::abort();
  }
  return 0;
}
