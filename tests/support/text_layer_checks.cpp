#include "tests/support/text_layer_checks.h"

#include <algorithm>
#include <set>
#include <utility>
#include <vector>

#include "tests/support/scripted_host.h"
#include "tests/tools/text.h"

namespace kvx::testing {
namespace {

bool IsLead(unsigned char c) {
  return c >= 0x81 && c <= 0xFE;
}
bool IsLetter(unsigned char c) {
  return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z');
}
unsigned char Upper(unsigned char c) {
  return c >= 'a' && c <= 'z' ? static_cast<unsigned char>(c - 32) : c;
}

std::string Hex(const Text& text) {
  static const char* digits = "0123456789ABCDEF";
  std::string hex = "\"";
  for (unsigned char c : text) {
    if (c >= 0x20 && c < 0x7F && c != '\\' && c != '"') {
      hex += static_cast<char>(c);
    } else {
      hex += "\\x";
      hex += digits[c >> 4];
      hex += digits[c & 15];
    }
  }
  return hex + "\"";
}

// One character of a GBK text: a lead byte with the byte after it, or a
// single byte (a lead byte at the very end stands alone).
struct Character {
  size_t at;
  size_t length;
};

std::vector<Character> Characters(const Text& text) {
  std::vector<Character> characters;
  for (size_t i = 0; i < text.size();) {
    const size_t length =
        IsLead(static_cast<unsigned char>(text[i])) && i + 1 < text.size() ? 2 : 1;
    characters.push_back({i, length});
    i += length;
  }
  return characters;
}

bool EndsWithLoneLead(const Text& text) {
  const std::vector<Character> characters = Characters(text);
  return !characters.empty() && characters.back().length == 1 &&
         IsLead(static_cast<unsigned char>(text.back()));
}

// The search restated over characters: the needle's characters must equal a
// run of the haystack's characters; only single-byte letters fold.
int CharacterSearch(const Text& haystack, const Text& needle, bool ignoreCase) {
  if (needle.empty())
    return 0;
  const std::vector<Character> hay = Characters(haystack);
  const std::vector<Character> pattern = Characters(needle);
  for (size_t i = 0; i + pattern.size() <= hay.size(); ++i) {
    bool same = true;
    for (size_t k = 0; k < pattern.size() && same; ++k) {
      const Character& h = hay[i + k];
      const Character& n = pattern[k];
      if (h.length != n.length) {
        same = false;
      } else if (h.length == 2) {
        same = haystack.compare(h.at, 2, needle, n.at, 2) == 0;
      } else {
        const unsigned char hc = static_cast<unsigned char>(haystack[h.at]);
        const unsigned char nc = static_cast<unsigned char>(needle[n.at]);
        same = hc == nc || (ignoreCase && IsLetter(hc) && IsLetter(nc) && Upper(hc) == Upper(nc));
      }
    }
    if (same)
      return static_cast<int>(hay[i].at);
  }
  return kNotFound;
}

// Upper case of the single-byte letters only; the bytes of double-byte
// characters stay as they are.
Text UpperSingleBytes(const Text& text) {
  Text upper = text;
  for (const Character& c : Characters(text)) {
    if (c.length == 1)
      upper[c.at] = static_cast<char>(Upper(static_cast<unsigned char>(text[c.at])));
  }
  return upper;
}

Text LowerSingleBytes(const Text& text) {
  Text lower = text;
  for (const Character& c : Characters(text)) {
    const unsigned char b = static_cast<unsigned char>(text[c.at]);
    if (c.length == 1 && b >= 'A' && b <= 'Z')
      lower[c.at] = static_cast<char>(b + 32);
  }
  return lower;
}

std::string SearchFailure(const std::string& what, const Text& haystack, const Text& needle,
                          bool ignoreCase, int found) {
  return what + ": FindText(" + Hex(haystack) + ", " + Hex(needle) + ", " +
         (ignoreCase ? "true" : "false") + ") = " + std::to_string(found);
}

// INI section and key names compare without regard to surrounding blanks and
// to the case of single-byte letters.
Text NameKey(const Text& name) {
  const char* blanks = " \t\r\n";
  const size_t first = name.find_first_not_of(blanks);
  if (first == Text::npos)
    return Text();
  const size_t last = name.find_last_not_of(blanks);
  return UpperSingleBytes(name.substr(first, last - first + 1));
}

bool HasLineBreak(const Text& text) {
  return text.find_first_of("\r\n") != Text::npos;
}

// A byte that stands as a character of its own (not inside a double-byte one).
bool HasSingleByte(const Text& text, char byte) {
  for (const Character& c : Characters(text)) {
    if (c.length == 1 && text[c.at] == byte)
      return true;
  }
  return false;
}

// Names that a private-profile file can carry and give back: one line, a
// section without a closing bracket, a key without "=" that does not look
// like a section line. A value must also survive the reader's trimming of
// blanks and of one pair of enclosing quotation marks.
bool WritableSection(const Text& section) {
  return !HasLineBreak(section) && !HasSingleByte(section, ']') && !EndsWithLoneLead(section);
}

bool WritableKey(const Text& key) {
  return !HasLineBreak(key) && key.find('=') == Text::npos && NameKey(key).substr(0, 1) != "[";
}

bool WritableValue(const Text& value) {
  if (HasLineBreak(value))
    return false;
  if (!value.empty() && (value.front() == ' ' || value.front() == '\t' || value.back() == ' ' ||
                         value.back() == '\t')) {
    return false;
  }
  return !(value.size() >= 2 && (value.front() == '"' || value.front() == '\'') &&
           value.back() == value.front());
}

// Section and key names that occur in an INI text, roughly: the text after
// "[" up to "]" and the text before "=" on each line. They only choose which
// values to compare before and after a write.
void CollectNames(const Text& content, std::vector<Text>* sections, std::vector<Text>* keys) {
  size_t start = 0;
  while (start <= content.size() && sections->size() < 12 && keys->size() < 12) {
    size_t end = content.find_first_of("\r\n", start);
    if (end == Text::npos)
      end = content.size();
    const Text line = content.substr(start, end - start);
    const size_t open = line.find('[');
    if (open != Text::npos)
      sections->push_back(line.substr(open + 1, line.find(']') - open - 1));
    const size_t eq = line.find('=');
    if (eq != Text::npos)
      keys->push_back(line.substr(0, eq));
    start = end + 1;
  }
}

// A file name made from arbitrary bytes, kept the way Windows would keep it
// apart from others: printable, no separator or reserved sign of its own,
// whole double-byte characters with a proper trail byte (5C, the backslash
// byte, stands in for an improper one), not ending in a dot or a blank.
Text FileName(const Text& raw) {
  const Text cut = raw.substr(0, 40);
  Text name;
  for (const Character& c : Characters(cut)) {
    const unsigned char b = static_cast<unsigned char>(cut[c.at]);
    if (c.length == 2) {
      unsigned char trail = static_cast<unsigned char>(cut[c.at + 1]);
      if (trail < 0x40)
        trail |= 0x40;
      if (trail == 0x7F || trail == 0xFF)
        trail = 0x5C;
      name += static_cast<char>(b);
      name += static_cast<char>(trail);
    } else if (IsLead(b)) {
      continue;  // a lead byte at the end, without its trail
    } else if (b < 0x20 || Text("\\/:*?\"<>|").find(static_cast<char>(b)) != Text::npos) {
      name += '_';
    } else {
      name += static_cast<char>(b);
    }
  }
  if (name.empty() || name.back() == '.' || name.back() == ' ')
    name += '_';
  return name;
}

// Windows also folds the case of the full-width, Greek, Cyrillic and accented
// Latin letters (GBK rows A3, A6, A7, A8); names with those are only compared
// when equal.
bool HasWideLetters(const Text& name) {
  for (const Character& c : Characters(name)) {
    const unsigned char lead = static_cast<unsigned char>(name[c.at]);
    if (c.length == 2 && (lead == 0xA3 || lead == 0xA6 || lead == 0xA7 || lead == 0xA8))
      return true;
  }
  return false;
}

Text ReadWhole(ScriptedHost& host, const Text& path) {
  const int file = host.OpenFile(path, kReadOnly);
  const Text text = host.ReadText(file);
  host.CloseFile(file);
  return text;
}

// Takes the input apart: each piece is a length (one byte, or two for the
// longer ones) followed by that many bytes; a short input gives empty pieces.
class Pieces {
 public:
  Pieces(const uint8_t* data, size_t size) : data_(data), size_(size) {}

  uint8_t Byte() { return at_ < size_ ? data_[at_++] : 0; }

  Text Next(bool wide) {
    size_t length = Byte();
    if (wide)
      length = length * 256 + Byte();
    length = std::min(length, size_ - at_);
    Text piece(reinterpret_cast<const char*>(data_ + at_), length);
    at_ += length;
    return piece;
  }

 private:
  const uint8_t* data_;
  size_t size_;
  size_t at_ = 0;
};

}  // namespace

std::string CheckSearch(const Text& haystack, const Text& needle) {
  const int exact = FindText(haystack, needle, false);
  const int folded = FindText(haystack, needle, true);
  const std::vector<bool> trail = bench::TrailBytes(haystack);
  for (const bool ignoreCase : {false, true}) {
    const int found = ignoreCase ? folded : exact;
    if (found == kNotFound) {
      if (CharacterSearch(haystack, needle, ignoreCase) != kNotFound) {
        return SearchFailure("an occurrence was missed", haystack, needle, ignoreCase, found);
      }
      continue;
    }
    if (found < 0 || static_cast<size_t>(found) + needle.size() > haystack.size()) {
      return SearchFailure("not a position of the needle", haystack, needle, ignoreCase, found);
    }
    if (static_cast<size_t>(found) < haystack.size() && trail[found]) {
      return SearchFailure("found on a trail byte", haystack, needle, ignoreCase, found);
    }
    for (size_t k = 0; k < needle.size(); ++k) {
      const unsigned char h = static_cast<unsigned char>(haystack[found + k]);
      const unsigned char n = static_cast<unsigned char>(needle[k]);
      if (h != n && !(ignoreCase && IsLetter(h) && IsLetter(n) && Upper(h) == Upper(n))) {
        return SearchFailure("the bytes found differ", haystack, needle, ignoreCase, found);
      }
    }
    if (CharacterSearch(haystack, needle, ignoreCase) != found) {
      return SearchFailure("not the first whole-character occurrence", haystack, needle, ignoreCase,
                           found);
    }
  }
  if (exact != kNotFound && (folded == kNotFound || folded > exact)) {
    return SearchFailure("the ignore-case search found less", haystack, needle, true, folded);
  }
  // The ignore-case search does not care which case either side is in.
  const int swapped = FindText(UpperSingleBytes(haystack), LowerSingleBytes(needle), true);
  if (swapped != folded) {
    return SearchFailure("changing the case changed the result", UpperSingleBytes(haystack),
                         LowerSingleBytes(needle), true, swapped);
  }
  return std::string();
}

std::string CheckTextHelpers(const Text& a, const Text& b, int n) {
  const Text joined = Concat({a, b, Text(), a});
  if (joined != a + b + a || TextLength(joined) != 2 * TextLength(a) + TextLength(b)) {
    return "Concat(" + Hex(a) + ", " + Hex(b) + ", \"\", a) = " + Hex(joined);
  }
  const Text left = LeftText(a, n);
  if (left != a.substr(0, static_cast<size_t>(std::max(n, 0)))) {
    return "LeftText(" + Hex(a) + ", " + std::to_string(n) + ") = " + Hex(left);
  }
  if (TextEquals(a, b) != (a == b) || !TextEquals(a, a) || BytesToText(TextToBytes(a)) != a) {
    return "TextEquals or the byte round trip fail on " + Hex(a) + ", " + Hex(b);
  }
  const std::vector<bool> trail = GbkTrailMap(a);
  for (size_t i = 0; i < a.size() && trail.size() == a.size(); ++i) {
    const bool expected = i > 0 && !trail[i - 1] && IsLead(static_cast<unsigned char>(a[i - 1]));
    if (trail[i] != expected)
      return "GbkTrailMap(" + Hex(a) + ") wrong at " + std::to_string(i);
  }
  if (trail.size() != a.size())
    return "GbkTrailMap(" + Hex(a) + ") has the wrong length";
  // A needle spliced between whole characters is found there or earlier.
  if (!b.empty() && !EndsWithLoneLead(a) && !EndsWithLoneLead(b)) {
    const int found = FindText(a + b + a, b, false);
    if (found == kNotFound || static_cast<size_t>(found) > a.size()) {
      return SearchFailure("the spliced needle was not found", a + b + a, b, false, found);
    }
  }
  return std::string();
}

std::string CheckIniWrite(const Text& content, bool fileExists, const Text& section,
                          const Text& key, const Text& value) {
  const Text path = "C:\\VESK\\KORV\\krv_pass.ini";
  const Text absent = "\x01(absent)";
  ScriptedHost host;
  host.PutFolder("C:\\VESK\\KORV");
  if (fileExists)
    host.PutFile(path, content);

  std::vector<Text> sections{section};
  std::vector<Text> keys{key};
  if (fileExists)
    CollectNames(content, &sections, &keys);
  std::vector<std::pair<std::pair<Text, Text>, Text>> before;
  for (const Text& s : sections) {
    for (const Text& k : keys)
      before.push_back({{s, k}, host.IniValue(path, s, k, absent)});
  }
  if (!fileExists && host.ReadIni(path, section, key, absent) != absent) {
    return "a missing INI file gave a value";
  }

  host.WriteIni(path, section, key, value);
  if (!WritableSection(section) || !WritableKey(key) || !WritableValue(value)) {
    return std::string();
  }
  const std::string where = "after WriteIni([" + Hex(section) + "] " + Hex(key) + "=" + Hex(value) +
                            ") on " + (fileExists ? Hex(content) : "no file");
  const Text written = host.Content(path);
  const Text readBack = host.ReadIni(path, section, key, absent);
  if (readBack != value)
    return "ReadIni gives " + Hex(readBack) + " " + where;
  for (const auto& [name, old] : before) {
    if (NameKey(name.first) == NameKey(section) && NameKey(name.second) == NameKey(key))
      continue;
    const Text now = host.IniValue(path, name.first, name.second, absent);
    if (now != old) {
      return "[" + Hex(name.first) + "] " + Hex(name.second) + " changed from " + Hex(old) +
             " to " + Hex(now) + " " + where;
    }
  }
  host.WriteIni(path, section, key, value);
  if (host.Content(path) != written) {
    return "writing the same value again changed the file to " + Hex(host.Content(path)) + " " +
           where;
  }
  return std::string();
}

std::string CheckFileReadBack(const Text& rawName1, const Text& content1, const Text& rawName2,
                              const Text& content2, const Text& appended) {
  const Text name1 = FileName(rawName1);
  const Text name2 = FileName(rawName2);
  const bool sameName = UpperSingleBytes(name1) == UpperSingleBytes(name2);
  if (!sameName && (HasWideLetters(name1) || HasWideLetters(name2)))
    return std::string();
  const Text folder = "C:\\\xC1\xD9\xCA\xB1";  // a GBK folder name
  const Text path1 = folder + "\\" + name1;
  const Text path2 = folder + "\\" + name2;
  const std::string names = " for " + Hex(path1) + " and " + Hex(path2);
  ScriptedHost host;
  host.CreateFolder(folder);
  host.WriteWholeFile(path1, TextToBytes(content1));
  host.WriteWholeFile(path2, TextToBytes(content2));
  if (!host.FileExists(path1) || !host.FileExists(path2))
    return "a written file is missing" + names;
  Text expected1 = sameName ? content2 : content1;
  if (ReadWhole(host, path1) != expected1 || ReadWhole(host, path2) != content2) {
    return "ReadText gives " + Hex(ReadWhole(host, path1)) + " and " + Hex(ReadWhole(host, path2)) +
           names;
  }
  // Append to the first, read the whole file back through the same handle.
  const int file = host.OpenFile(path1, kReadWrite);
  host.SeekToEnd(file);
  host.WriteText(file, appended);
  host.SeekToStart(file);
  const Text whole = host.ReadText(file);
  host.CloseFile(file);
  expected1 += appended;
  if (whole != expected1)
    return "the appended file reads " + Hex(whole) + names;
  const Text expected2 = sameName ? expected1 : content2;
  if (ReadWhole(host, path2) != expected2) {
    return "appending changed the other file to " + Hex(ReadWhole(host, path2)) + names;
  }
  const Text other = path1 + "_";
  if (UpperSingleBytes(name1 + "_") != UpperSingleBytes(name2) &&
      (host.FileExists(other) || !ReadWhole(host, other).empty())) {
    return "a file never written exists" + names;
  }
  return std::string();
}

std::string CheckTextLayer(const uint8_t* data, size_t size) {
  Pieces pieces(data, size);
  const uint8_t flags = pieces.Byte();
  const Text haystack = pieces.Next(true);
  const Text needle = pieces.Next(false);
  std::string failure = CheckSearch(haystack, needle);
  if (failure.empty()) {
    failure = CheckTextHelpers(needle, haystack.substr(0, 64), static_cast<int>(flags >> 2) - 8);
  }
  if (!failure.empty())
    return failure;

  const Text content = pieces.Next(true);
  const Text section = pieces.Next(false);
  const Text key = pieces.Next(false);
  const Text value = pieces.Next(false);
  failure = CheckIniWrite(content, (flags & 1) == 0, section, key, value);
  if (!failure.empty())
    return failure;

  const Text name1 = pieces.Next(false);
  const Text content1 = pieces.Next(false);
  const Text name2 = (flags & 2) != 0 ? UpperSingleBytes(name1) : pieces.Next(false);
  const Text content2 = pieces.Next(false);
  const Text appended = pieces.Next(false);
  return CheckFileReadBack(name1, content1, name2, content2, appended);
}

}  // namespace kvx::testing
