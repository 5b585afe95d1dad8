// Property checks of the text layer and of the scripted machine's INI and
// file read-back, driven by arbitrary bytes.
//
// The fuzz target (tests/fuzz/) feeds them generated inputs; the regular
// tests replay the committed seed inputs and every input the fuzzer ever
// found. An input is cut into pieces: haystack and needle for the searches,
// an INI file with a section, key and value to write, two file names with
// their contents and an appended text.
#ifndef KVXCFG_TESTS_SUPPORT_TEXT_LAYER_CHECKS_H
#define KVXCFG_TESTS_SUPPORT_TEXT_LAYER_CHECKS_H

#include <cstddef>
#include <cstdint>
#include <string>

#include "host/text.h"

namespace kvx::testing {

// Each returns the empty string when every property holds, else a
// description of the first one that does not (texts shown in hex).
std::string CheckSearch(const Text& haystack, const Text& needle);
std::string CheckTextHelpers(const Text& a, const Text& b, int n);
// content is the INI file's text; without fileExists the file is missing.
std::string CheckIniWrite(const Text& content, bool fileExists, const Text& section,
                          const Text& key, const Text& value);
// The file names are made usable first: printable, whole characters.
std::string CheckFileReadBack(const Text& rawName1, const Text& content1, const Text& rawName2,
                              const Text& content2, const Text& appended);

// Cuts the bytes into pieces and runs every check above.
std::string CheckTextLayer(const uint8_t* data, size_t size);

}  // namespace kvx::testing

#endif  // KVXCFG_TESTS_SUPPORT_TEXT_LAYER_CHECKS_H
