#include "ini.h"

#include <vector>

#include "text.h"

namespace kvx::bench {

namespace {

struct Line {
  std::string text;    // without its line break
  std::string ending;  // "\r\n", "\n" or "" for a last line without one
};

std::vector<Line> SplitKeepingEndings(const std::string& text) {
  std::vector<Line> lines;
  size_t start = 0;
  while (start < text.size()) {
    size_t end = text.find('\n', start);
    Line line;
    if (end == std::string::npos) {
      line.text = text.substr(start);
      start = text.size();
    } else {
      line.text = text.substr(start, end - start);
      line.ending = "\n";
      start = end + 1;
    }
    if (!line.text.empty() && line.text.back() == '\r') {
      line.text.pop_back();
      line.ending = "\r" + line.ending;
    }
    lines.push_back(line);
  }
  return lines;
}

// The section named by a line such as "[boot loader]", or false.
bool SectionOf(const std::string& line, std::string* name) {
  const std::string trimmed = Trim(line);
  if (trimmed.empty() || trimmed[0] != '[') {
    return false;
  }
  const size_t close = FindText(trimmed, "]", false, 1);
  if (close == std::string::npos) {
    return false;
  }
  *name = trimmed.substr(1, close - 1);
  return true;
}

bool SameName(const std::string& a, const std::string& b) {
  return EqualsIgnoreCase(Trim(a), Trim(b));
}

// True for a line "key=..." of the given key.
bool IsKeyLine(const std::string& line, const std::string& key) {
  const size_t equals = line.find('=');
  return equals != std::string::npos && SameName(line.substr(0, equals), key);
}

}  // namespace

std::optional<std::string> GetIniValue(const std::string& text, const std::string& section,
                                       const std::string& key) {
  bool inSection = false;
  for (const std::string& line : SplitLines(text)) {
    std::string name;
    if (SectionOf(line, &name)) {
      inSection = SameName(name, section);
      continue;
    }
    if (!inSection || !IsKeyLine(line, key)) {
      continue;
    }
    std::string value = Trim(line.substr(line.find('=') + 1));
    if (value.size() >= 2 && (value.front() == '"' || value.front() == '\'') &&
        value.back() == value.front()) {
      value = value.substr(1, value.size() - 2);
    }
    return value;
  }
  return std::nullopt;
}

std::string SetIniValue(const std::string& text, const std::string& section, const std::string& key,
                        const std::string& value) {
  std::vector<Line> lines = SplitKeepingEndings(text);
  const std::string newLine = key + "=" + value;

  // Find the section, then the key or the place for it.
  size_t sectionStart = lines.size();
  for (size_t i = 0; i < lines.size(); ++i) {
    std::string name;
    if (SectionOf(lines[i].text, &name) && SameName(name, section)) {
      sectionStart = i;
      break;
    }
  }

  if (sectionStart == lines.size()) {
    std::string result = text;
    if (!result.empty() && result.back() != '\n') {
      result += "\r\n";
    }
    return result + "[" + section + "]\r\n" + newLine + "\r\n";
  }

  size_t insertAfter = sectionStart;
  for (size_t i = sectionStart + 1; i < lines.size(); ++i) {
    std::string name;
    if (SectionOf(lines[i].text, &name)) {
      break;
    }
    if (IsKeyLine(lines[i].text, key)) {
      lines[i].text = newLine;
      insertAfter = lines.size();
      break;
    }
    if (!Trim(lines[i].text).empty()) {
      insertAfter = i;
    }
  }
  if (insertAfter < lines.size()) {
    if (lines[insertAfter].ending.empty()) {
      lines[insertAfter].ending = "\r\n";
    }
    lines.insert(lines.begin() + insertAfter + 1, Line{newLine, "\r\n"});
  }

  std::string result;
  for (const Line& line : lines) {
    result += line.text + line.ending;
  }
  return result;
}

bool ParseIniWrite(const std::string& tail, IniWrite* write, std::string* error) {
  size_t i = TakeFirstWord(tail, &write->file);
  if (i == std::string::npos || write->file.empty() || i >= tail.size() || tail[i] != '[') {
    *error = "usage: fi file [section] key=value";
    return false;
  }
  const size_t close = FindText(tail, "]", false, i + 1);
  if (close == std::string::npos || close == i + 1) {
    *error = "section name missing or not closed by ]";
    return false;
  }
  write->section = tail.substr(i + 1, close - i - 1);
  i = close + 1;
  while (i < tail.size() && (tail[i] == ' ' || tail[i] == '\t')) {
    ++i;
  }
  const size_t equals = tail.find('=', i);
  if (equals == std::string::npos || equals == i) {
    *error = "key=value missing";
    return false;
  }
  write->key = TrimRight(tail.substr(i, equals - i));
  write->value = tail.substr(equals + 1);
  return true;
}

}  // namespace kvx::bench
