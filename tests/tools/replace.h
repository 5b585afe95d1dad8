// The text replacer's parsing and replacing, apart from file access.
#ifndef KVX_BENCH_REPLACE_H
#define KVX_BENCH_REPLACE_H

#include <string>

namespace kvx::bench {

struct Replacement {
  std::string files;        // a path, possibly with * and ? in its last part
  std::string find;         // after unescaping in the -r form
  std::string replacement;  // after unescaping in the -r form
};

// Reads  file -f:"find" -t:"replacement"  or  file -r:"find" -t:"replacement"
// from the raw text after the program name. The find text ends at its
// closing quote; the replacement runs to the last quote of the line, so it
// may hold quotes and real line breaks. In the -r form both texts are
// unescaped (\r, \n, \t and \\).
bool ParseReplacement(const std::string& tail, Replacement* replacement, std::string* error);

// \r, \n and \t become CR, LF and TAB, \\ one backslash; any other
// backslash stays as it is.
std::string Unescape(const std::string& text);

// Replaces every occurrence of find, left to right, without overlaps and
// without looking again at what it put in. Returns the number replaced.
size_t ReplaceAll(std::string* text, const std::string& find, const std::string& replacement);

}  // namespace kvx::bench

#endif  // KVX_BENCH_REPLACE_H
