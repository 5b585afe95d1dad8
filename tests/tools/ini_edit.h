// The INI writer's parsing and editing, apart from file access.
#ifndef KVX_BENCH_INI_EDIT_H
#define KVX_BENCH_INI_EDIT_H

#include <string>

namespace kvx::bench {

struct IniWrite {
  std::string file;
  std::string section;
  std::string key;
  std::string value;
};

// Reads "file [section] key=value" from the raw text after the program name.
// The file may be quoted; the section runs to the first "]" and may hold
// blanks; the key runs to the first "="; the value is the rest of the line,
// byte for byte (blanks, further "=" and an empty value included).
bool ParseIniWrite(const std::string& tail, IniWrite* write, std::string* error);

// The text with key set to value in section, the rest kept byte for byte.
// Section and key names compare without regard to ASCII case. An existing
// key line is replaced in place (its line break kept); a new key goes after
// the last non-empty line of its section; a missing section is added at the
// end. New lines end in CR LF.
std::string SetIniValue(const std::string& text, const std::string& section, const std::string& key,
                        const std::string& value);

}  // namespace kvx::bench

#endif  // KVX_BENCH_INI_EDIT_H
