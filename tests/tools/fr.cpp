// fr: the text replacer of the product folder.
//
//   fr file-or-wildcard -f:"find" -t:"replacement"
//   fr file-or-wildcard -r:"find with \r\n" -t:"replacement"
//
// Every occurrence in every matching file is replaced; files are handled as
// bytes, so an image file keeps its size when the texts have equal length.
#include "doubles.h"
#include "replace.h"
#include "text.h"

namespace kvx::bench {

namespace {

bool IsBlank(char c) {
  return c == ' ' || c == '\t';
}

size_t SkipBlanks(const std::string& text, size_t i) {
  while (i < text.size() && IsBlank(text[i])) {
    ++i;
  }
  return i;
}

// True when text at i starts with the switch (such as "-t:") followed by a
// quote; either dash or slash is taken, the letter in any case.
bool SwitchAt(const std::string& text, size_t i, char letter) {
  return i + 3 < text.size() && (text[i] == '-' || text[i] == '/') &&
         EqualsIgnoreCase(text.substr(i + 1, 1), std::string(1, letter)) && text[i + 2] == ':' &&
         text[i + 3] == '"';
}

}  // namespace

bool ParseReplacement(const std::string& tail, Replacement* replacement, std::string* error) {
  const std::string usage = "usage: fr file -f:\"find\" -t:\"replacement\" (or -r: with \\r\\n)";
  size_t i = TakeFirstWord(tail, &replacement->files);
  if (i == std::string::npos) {
    *error = usage;
    return false;
  }
  bool escaped = SwitchAt(tail, i, 'r');
  if (replacement->files.empty() || (!escaped && !SwitchAt(tail, i, 'f'))) {
    *error = usage;
    return false;
  }
  size_t findStart = i + 4;
  size_t findEnd = tail.find('"', findStart);
  if (findEnd == std::string::npos) {
    *error = usage;
    return false;
  }
  i = SkipBlanks(tail, findEnd + 1);
  if (!SwitchAt(tail, i, 't')) {
    *error = usage;
    return false;
  }
  size_t replStart = i + 4;
  size_t lastQuote = tail.rfind('"');
  size_t replEnd = lastQuote >= replStart ? lastQuote : tail.size();

  replacement->find = tail.substr(findStart, findEnd - findStart);
  replacement->replacement = tail.substr(replStart, replEnd - replStart);
  if (escaped) {
    replacement->find = Unescape(replacement->find);
    replacement->replacement = Unescape(replacement->replacement);
  }
  if (replacement->find.empty()) {
    *error = "the find text is empty";
    return false;
  }
  return true;
}

std::string Unescape(const std::string& text) {
  std::string result;
  for (size_t i = 0; i < text.size(); ++i) {
    if (text[i] == '\\' && i + 1 < text.size()) {
      char next = text[i + 1];
      const char* plain = next == 'r'    ? "\r"
                          : next == 'n'  ? "\n"
                          : next == 't'  ? "\t"
                          : next == '\\' ? "\\"
                                         : nullptr;
      if (plain != nullptr) {
        result += plain;
        ++i;
        continue;
      }
    }
    result += text[i];
  }
  return result;
}

size_t ReplaceAll(std::string* text, const std::string& find, const std::string& replacement) {
  if (find.empty()) {
    return 0;
  }
  std::string result;
  size_t count = 0;
  size_t start = 0;
  while (true) {
    size_t at = text->find(find, start);
    if (at == std::string::npos) {
      break;
    }
    result.append(*text, start, at - start);
    result += replacement;
    start = at + find.size();
    ++count;
  }
  if (count > 0) {
    result.append(*text, start, std::string::npos);
    *text = result;
  }
  return count;
}

Result RunFr(const std::string& commandLine, Machine& machine) {
  Replacement request;
  std::string error;
  if (!ParseReplacement(ArgumentTail(commandLine), &request, &error)) {
    return {"", "fr: " + error + "\r\n", 2};
  }
  Result result;
  bool anyFile = false;
  for (const DirEntry& entry : machine.List(request.files)) {
    if (entry.isDir) {
      continue;
    }
    anyFile = true;
    const std::string path = FolderOf(request.files) + entry.name;
    std::string text;
    if (!machine.ReadFile(path, &text)) {
      result.err += "fr: cannot read " + path + "\r\n";
      result.code = 1;
      continue;
    }
    size_t count = ReplaceAll(&text, request.find, request.replacement);
    if (count > 0 && !machine.WriteFile(path, text)) {
      result.err += "fr: cannot write " + path + "\r\n";
      result.code = 1;
      continue;
    }
    result.out += path + ": " + std::to_string(count) + " replaced\r\n";
  }
  if (!anyFile) {
    return {"", "fr: no file matches " + request.files + "\r\n", 1};
  }
  return result;
}

}  // namespace kvx::bench
