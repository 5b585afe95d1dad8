// Whether a text begins or ends with another, byte for byte: the test
// support's one copy of these two helpers.
#ifndef KVXCFG_TESTS_SUPPORT_TEXT_ENDS_H
#define KVXCFG_TESTS_SUPPORT_TEXT_ENDS_H

#include "host/text.h"

namespace kvx::testing {

inline bool StartsWith(const Text& text, const Text& prefix) {
  return text.compare(0, prefix.size(), prefix) == 0;
}

inline bool EndsWith(const Text& text, const Text& suffix) {
  return text.size() >= suffix.size() &&
         text.compare(text.size() - suffix.size(), suffix.size(), suffix) == 0;
}

}  // namespace kvx::testing

#endif  // KVXCFG_TESTS_SUPPORT_TEXT_ENDS_H
