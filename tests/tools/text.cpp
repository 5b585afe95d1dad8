#include "text.h"

namespace kvx::bench {
namespace {

template <typename Fold>
std::string FoldLetters(const std::string& text, Fold fold) {
  std::string result = text;
  for (size_t i = 0; i < result.size(); ++i) {
    unsigned char c = static_cast<unsigned char>(result[i]);
    if (IsLeadByte(c) && i + 1 < result.size()) {
      ++i;  // keep the trail byte, even when it looks like a letter
    } else {
      result[i] = fold(result[i]);
    }
  }
  return result;
}

bool IsBlank(char c) {
  return c == ' ' || c == '\t';
}

}  // namespace

std::vector<bool> TrailBytes(const std::string& text) {
  std::vector<bool> trail(text.size(), false);
  for (size_t i = 0; i + 1 < text.size(); ++i) {
    if (IsLeadByte(static_cast<unsigned char>(text[i]))) {
      trail[++i] = true;
    }
  }
  return trail;
}

bool StartsWith(const std::string& text, const std::string& prefix) {
  return text.compare(0, prefix.size(), prefix) == 0;
}

bool EndsWith(const std::string& text, const std::string& suffix) {
  return text.size() >= suffix.size() &&
         text.compare(text.size() - suffix.size(), suffix.size(), suffix) == 0;
}

namespace {

bool MatchFrom(const std::string& p, size_t pi, const std::string& n, size_t ni) {
  while (pi < p.size()) {
    if (p[pi] == '*') {
      for (size_t k = ni; k <= n.size(); ++k) {
        if (MatchFrom(p, pi + 1, n, k)) {
          return true;
        }
      }
      return false;
    }
    if (ni >= n.size() || (p[pi] != '?' && p[pi] != n[ni])) {
      return false;
    }
    ++pi;
    ++ni;
  }
  return ni == n.size();
}

}  // namespace

bool WildcardMatch(const std::string& pattern, const std::string& name) {
  const std::string p = FoldCase(pattern);
  const std::string n = FoldCase(name);
  if (MatchFrom(p, 0, n, 0)) {
    return true;
  }
  return p.size() >= 2 && p.compare(p.size() - 2, 2, ".*") == 0 &&
         n.find('.') == std::string::npos && MatchFrom(p.substr(0, p.size() - 2), 0, n, 0);
}

std::string FoldCase(const std::string& text) {
  return FoldLetters(text, [](char c) { return (c >= 'A' && c <= 'Z') ? char(c - 'A' + 'a') : c; });
}

std::string UpperCase(const std::string& text) {
  return FoldLetters(text, [](char c) { return (c >= 'a' && c <= 'z') ? char(c - 'a' + 'A') : c; });
}

bool EqualsIgnoreCase(const std::string& a, const std::string& b) {
  return a.size() == b.size() && FoldCase(a) == FoldCase(b);
}

size_t FindText(const std::string& text, const std::string& needle, bool ignoreCase, size_t from) {
  const std::string hay = ignoreCase ? FoldCase(text) : text;
  const std::string want = ignoreCase ? FoldCase(needle) : needle;
  size_t i = 0;
  while (i <= hay.size()) {
    if (i >= from && hay.compare(i, want.size(), want) == 0 && i + want.size() <= hay.size()) {
      return i;
    }
    if (i == hay.size()) {
      break;
    }
    i += (IsLeadByte(static_cast<unsigned char>(hay[i])) && i + 1 < hay.size()) ? 2 : 1;
  }
  return std::string::npos;
}

std::string Trim(const std::string& text) {
  size_t begin = 0;
  while (begin < text.size() && IsBlank(text[begin])) {
    ++begin;
  }
  return TrimRight(text.substr(begin));
}

std::string TrimRight(const std::string& text) {
  size_t end = text.size();
  while (end > 0 && IsBlank(text[end - 1])) {
    --end;
  }
  return text.substr(0, end);
}

std::vector<std::string> SplitLines(const std::string& text) {
  std::vector<std::string> lines;
  size_t start = 0;
  while (start < text.size()) {
    size_t end = text.find('\n', start);
    std::string line =
        text.substr(start, end == std::string::npos ? std::string::npos : end - start);
    if (!line.empty() && line.back() == '\r') {
      line.pop_back();
    }
    lines.push_back(line);
    if (end == std::string::npos) {
      break;
    }
    start = end + 1;
  }
  return lines;
}

namespace {

// End of the program name at the start of a command line.
size_t ProgramNameEnd(const std::string& commandLine) {
  if (!commandLine.empty() && commandLine[0] == '"') {
    size_t close = commandLine.find('"', 1);
    return close == std::string::npos ? commandLine.size() : close + 1;
  }
  size_t i = 0;
  while (i < commandLine.size() && !IsBlank(commandLine[i])) {
    ++i;
  }
  return i;
}

}  // namespace

std::vector<std::string> SplitArgs(const std::string& commandLine) {
  std::vector<std::string> args;
  size_t nameEnd = ProgramNameEnd(commandLine);
  std::string name = commandLine.substr(0, nameEnd);
  if (name.size() >= 2 && name.front() == '"' && name.back() == '"') {
    name = name.substr(1, name.size() - 2);
  } else if (!name.empty() && name.front() == '"') {
    name = name.substr(1);
  }
  args.push_back(name);

  size_t i = nameEnd;
  while (true) {
    while (i < commandLine.size() && IsBlank(commandLine[i])) {
      ++i;
    }
    if (i >= commandLine.size()) {
      break;
    }
    std::string arg;
    bool quoted = false;
    while (i < commandLine.size() && (quoted || !IsBlank(commandLine[i]))) {
      size_t slashes = 0;
      while (i < commandLine.size() && commandLine[i] == '\\') {
        ++slashes;
        ++i;
      }
      if (i < commandLine.size() && commandLine[i] == '"') {
        arg.append(slashes / 2, '\\');
        if (slashes % 2 == 1) {
          arg += '"';
        } else if (quoted && i + 1 < commandLine.size() && commandLine[i + 1] == '"') {
          arg += '"';  // "" inside quotes is one quote
          ++i;
        } else {
          quoted = !quoted;
        }
        ++i;
      } else {
        arg.append(slashes, '\\');
        if (i < commandLine.size() && (quoted || !IsBlank(commandLine[i]))) {
          arg += commandLine[i];
          ++i;
        }
      }
    }
    args.push_back(arg);
  }
  return args;
}

std::string ArgumentTail(const std::string& commandLine) {
  size_t i = ProgramNameEnd(commandLine);
  while (i < commandLine.size() && IsBlank(commandLine[i])) {
    ++i;
  }
  return commandLine.substr(i);
}

size_t TakeFirstWord(const std::string& text, std::string* word) {
  size_t i = 0;
  if (!text.empty() && text[0] == '"') {
    size_t close = text.find('"', 1);
    if (close == std::string::npos) {
      return std::string::npos;
    }
    *word = text.substr(1, close - 1);
    i = close + 1;
  } else {
    while (i < text.size() && !IsBlank(text[i])) {
      ++i;
    }
    *word = text.substr(0, i);
  }
  while (i < text.size() && IsBlank(text[i])) {
    ++i;
  }
  return i;
}

std::string EscapeForLog(const std::string& text) {
  std::string result;
  for (char c : text) {
    switch (c) {
      case '%':
        result += "%25";
        break;
      case '\t':
        result += "%09";
        break;
      case '\r':
        result += "%0D";
        break;
      case '\n':
        result += "%0A";
        break;
      default:
        result += c;
    }
  }
  return result;
}

}  // namespace kvx::bench
