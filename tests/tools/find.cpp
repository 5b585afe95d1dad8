// find: searches for a text in files or in standard input.
//
//   find [/v] [/c] [/n] [/i] "string" [path ...]
//
// Wine's own find rejects /v. Exit code 0 when a line was reported (with /v,
// a line without the string), 1 when none was, 2 for a bad command line; the
// install's "ver|find " 6." >nul&&ren" and "dir ...|find " ~1 " >nul||copy"
// rely on it. Lines are compared as bytes; /i folds ASCII letters only.
#include <vector>

#include "doubles.h"
#include "text.h"

namespace kvx::bench {

namespace {

struct FindRequest {
  bool invert = false, count = false, numbers = false, ignoreCase = false;
  bool haveString = false;
  std::string string;
  std::vector<std::string> paths;
};

bool ParseFind(const std::string& tail, FindRequest* request) {
  size_t i = 0;
  while (i < tail.size()) {
    if (tail[i] == ' ' || tail[i] == '\t') {
      ++i;
    } else if (tail[i] == '"') {
      // A quoted word: the string first (where "" is one quote), then paths.
      std::string word;
      ++i;
      while (i < tail.size()) {
        if (tail[i] == '"') {
          if (!request->haveString && i + 1 < tail.size() && tail[i + 1] == '"') {
            word += '"';
            i += 2;
            continue;
          }
          ++i;
          break;
        }
        word += tail[i++];
      }
      if (request->haveString) {
        request->paths.push_back(word);
      } else {
        request->string = word;
        request->haveString = true;
      }
    } else {
      size_t start = i;
      while (i < tail.size() && tail[i] != ' ' && tail[i] != '\t') {
        ++i;
      }
      const std::string word = tail.substr(start, i - start);
      const std::string option = FoldCase(word);
      if (option == "/v") {
        request->invert = true;
      } else if (option == "/c") {
        request->count = true;
      } else if (option == "/n") {
        request->numbers = true;
      } else if (option == "/i") {
        request->ignoreCase = true;
      } else if (option == "/off" || option == "/offline") {
        // offline files are searched like any other
      } else if (word[0] == '/' || !request->haveString) {
        return false;
      } else {
        request->paths.push_back(word);
      }
    }
  }
  return request->haveString;
}

// The reported lines of one input, and how many there were.
size_t Search(const FindRequest& request, const std::string& text, std::string* out) {
  size_t reported = 0;
  size_t number = 0;
  for (const std::string& line : SplitLines(text)) {
    ++number;
    bool has = FindText(line, request.string, request.ignoreCase) != std::string::npos;
    if (has == request.invert) {
      continue;
    }
    ++reported;
    if (!request.count) {
      *out += (request.numbers ? "[" + std::to_string(number) + "]" : "") + line + "\r\n";
    }
  }
  return reported;
}

}  // namespace

Result RunFind(const std::string& commandLine, Machine& machine) {
  FindRequest request;
  if (!ParseFind(ArgumentTail(commandLine), &request)) {
    return {"", "FIND: Parameter format not correct\r\n", 2};
  }
  Result result;
  size_t total = 0;
  if (request.paths.empty()) {
    std::string lines;
    size_t reported = Search(request, machine.ReadStdin(), &lines);
    total += reported;
    result.out += request.count ? std::to_string(reported) + "\r\n" : lines;
  }
  for (const std::string& pattern : request.paths) {
    bool any = false;
    for (const DirEntry& entry : machine.List(pattern)) {
      std::string text;
      const std::string path = FolderOf(pattern) + entry.name;
      if (entry.isDir || !machine.ReadFile(path, &text)) {
        continue;
      }
      any = true;
      std::string lines;
      size_t reported = Search(request, text, &lines);
      total += reported;
      result.out += "\r\n---------- " + UpperCase(path) +
                    (request.count ? ": " + std::to_string(reported) + "\r\n" : "\r\n" + lines);
    }
    if (!any) {
      result.err += "File not found - " + UpperCase(pattern) + "\r\n";
    }
  }
  result.code = total > 0 ? 0 : 1;
  return result;
}

}  // namespace kvx::bench
