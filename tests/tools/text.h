// Byte-string helpers of the test side: the doubles, the bench, the scripted
// machine and the checks all use these, never the product's own text layer,
// so that a fault in the product's search cannot hide in its own oracle.
//
// Texts are GBK bytes: case folding touches single-byte ASCII letters only,
// and searches never match inside a double-byte character.
#ifndef KVX_BENCH_TEXT_H
#define KVX_BENCH_TEXT_H

#include <string>
#include <vector>

namespace kvx::bench {

// True for the first byte of a GBK double-byte character.
inline bool IsLeadByte(unsigned char c) {
  return c >= 0x81 && c <= 0xFE;
}

// For each byte: true when it is the trail byte of a double-byte character.
std::vector<bool> TrailBytes(const std::string& text);

bool StartsWith(const std::string& text, const std::string& prefix);
bool EndsWith(const std::string& text, const std::string& suffix);

// Windows name matching: * and ?, ASCII case ignored, and a pattern ending
// in ".*" also matches a name without any dot ("*.*" matches every name).
bool WildcardMatch(const std::string& pattern, const std::string& name);

// ASCII letters folded to lower case; double-byte characters kept as they are.
std::string FoldCase(const std::string& text);
std::string UpperCase(const std::string& text);
bool EqualsIgnoreCase(const std::string& a, const std::string& b);

// Position of needle in text at a character boundary, or std::string::npos.
size_t FindText(const std::string& text, const std::string& needle, bool ignoreCase,
                size_t from = 0);

// Leading and trailing blanks and tabs removed.
std::string Trim(const std::string& text);
std::string TrimRight(const std::string& text);

// Lines split at LF, each without its CR; a final line break adds no line.
std::vector<std::string> SplitLines(const std::string& text);

// The arguments of a command line by the C runtime's rules: the program name
// first (quoted or up to the first blank), then words separated by blanks,
// with double quotes grouping and backslashes escaping a quote.
std::vector<std::string> SplitArgs(const std::string& commandLine);

// The raw text after the program name and the blanks that follow it.
std::string ArgumentTail(const std::string& commandLine);

// The first word of a raw argument text: a path in double quotes, or the
// text up to the first blank or tab. Returns the position after the word and
// the blanks that follow it, or std::string::npos for an unclosed quote.
size_t TakeFirstWord(const std::string& text, std::string* word);

// Percent, tab, CR and LF written as %25, %09, %0D and %0A: a log record
// stays on one line and every byte can be told back.
std::string EscapeForLog(const std::string& text);

}  // namespace kvx::bench

#endif  // KVX_BENCH_TEXT_H
