// findstr's line selection: literal strings and its small regular
// expressions, apart from files and command lines.
#ifndef KVX_BENCH_FINDSTR_MATCH_H
#define KVX_BENCH_FINDSTR_MATCH_H

#include <string>
#include <vector>

namespace kvx::bench {

struct Pattern {
  std::string text;
  bool regex = false;
};

struct SearchOptions {
  bool ignoreCase = false;  // ASCII letters only
  bool atStart = false;     // /b (and /x)
  bool atEnd = false;       // /e (and /x)
  bool invert = false;      // /v
};

// True when the pattern occurs in the line. Expressions: "." any byte, "*"
// any number of the item before it, "^" and "$" at the ends of the
// expression, "[abc]" "[a-z]" "[^abc]" classes, "\x" the character x, "\<"
// and "\>" the start and end of a word.
bool PatternMatches(const Pattern& pattern, const std::string& line, const SearchOptions& options);

// True when findstr prints the line: any pattern matches (none with /v).
bool LineSelected(const std::string& line, const std::vector<Pattern>& patterns,
                  const SearchOptions& options);

}  // namespace kvx::bench

#endif  // KVX_BENCH_FINDSTR_MATCH_H
