// INI files as the system's private-profile functions read and write them:
// the one reader and writer of the tests, the doubles and the bench.
//
// Section and key names compare without regard to surrounding blanks and to
// the case of ASCII letters; a section's closing bracket is a character of
// its own, never the trail byte of a double-byte character in its name.
#ifndef KVX_BENCH_INI_H
#define KVX_BENCH_INI_H

#include <optional>
#include <string>

namespace kvx::bench {

// The value of key in section: the text after the first "=", trimmed, and
// freed of one pair of enclosing quotation marks, from the first line of the
// key in a section of that name. Nothing when the section or the key is
// missing.
std::optional<std::string> GetIniValue(const std::string& text, const std::string& section,
                                       const std::string& key);

// The text with key set to value in section, the rest kept byte for byte. An
// existing key line is replaced in place (its line break kept); a new key
// goes after the last non-empty line of its section; a missing section is
// added at the end. New lines end in CR LF.
std::string SetIniValue(const std::string& text, const std::string& section, const std::string& key,
                        const std::string& value);

// The INI writer's command line, "file [section] key=value", read from the
// raw text after the program name. The file may be quoted; the section runs
// to the first "]" that is a character of its own and may hold blanks; the
// key runs to the first "="; the value is the rest of the line, byte for byte
// (blanks, further "=" and an empty value included).
struct IniWrite {
  std::string file;
  std::string section;
  std::string key;
  std::string value;
};
bool ParseIniWrite(const std::string& tail, IniWrite* write, std::string* error);

}  // namespace kvx::bench

#endif  // KVX_BENCH_INI_H
