// Texts between code pages on the Linux side of the tests: the sample
// machines are UTF-8 in the source tree and GBK on a machine, and the bench
// shows GBK texts in a UTF-8 terminal. Native builds only (iconv).
#ifndef KVXCFG_TESTS_SUPPORT_CODE_PAGES_H
#define KVXCFG_TESTS_SUPPORT_CODE_PAGES_H

#include <iconv.h>

#include <string>

namespace kvx::testing {

// The text converted from one encoding to the other; a byte that does not
// convert becomes "?".
inline std::string Convert(const std::string& text, const char* to, const char* from) {
  iconv_t converter = iconv_open(to, from);
  if (converter == reinterpret_cast<iconv_t>(-1))
    return text;
  std::string out;
  char* in = const_cast<char*>(text.data());
  size_t inLeft = text.size();
  char buffer[4096];
  while (inLeft > 0) {
    char* at = buffer;
    size_t outLeft = sizeof buffer;
    if (iconv(converter, &in, &inLeft, &at, &outLeft) == static_cast<size_t>(-1) && at == buffer) {
      out += '?';
      ++in;
      --inLeft;
      continue;
    }
    out.append(buffer, at);
  }
  iconv_close(converter);
  return out;
}

}  // namespace kvx::testing

#endif  // KVXCFG_TESTS_SUPPORT_CODE_PAGES_H
