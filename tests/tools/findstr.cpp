// findstr: searches files or standard input for strings.
//
//   findstr [/b] [/e] [/x] [/v] [/n] [/i] [/l|/r] [/m] [/c:string] ["strings"] [path ...]
//
// Wine's own findstr ignores /n and fails on "^"; the install's boot.ini
// default step ("^multi") and its BCD identifier extraction (/n) need both.
// Without /c: the strings are split at blanks and any one of them may match.
// Plain strings are regular expressions and /c: strings literal, unless /l
// or /r says otherwise. The expressions are findstr's: . * ^ $ [class]
// [^class] \x \< \>. With more than one file (or a wildcard) each line is
// prefixed by its file's path. Exit code 0 when a line matched, 1 when none
// did, 2 for a bad command line.
#include <vector>

#include "doubles.h"
#include "findstr_match.h"
#include "text.h"

namespace kvx::bench {

namespace {

struct FindstrRequest {
  SearchOptions options;
  bool numbers = false, namesOnly = false;
  bool forceLiteral = false, forceRegex = false;
  std::vector<std::string> literalStrings;  // from /c:
  std::vector<std::string> plainStrings;    // from the first plain argument
  std::vector<std::string> paths;
};

bool ParseFindstr(const std::vector<std::string>& args, FindstrRequest* request) {
  bool haveStrings = false;
  for (size_t i = 1; i < args.size(); ++i) {
    const std::string& arg = args[i];
    if (arg.size() >= 3 && arg[0] == '/' && (arg[1] == 'c' || arg[1] == 'C') && arg[2] == ':') {
      request->literalStrings.push_back(arg.substr(3));
      haveStrings = true;
    } else if (arg.size() >= 2 && arg[0] == '/') {
      for (char letter : FoldCase(arg.substr(1))) {
        switch (letter) {
          case 'b':
            request->options.atStart = true;
            break;
          case 'e':
            request->options.atEnd = true;
            break;
          case 'x':
            request->options.atStart = request->options.atEnd = true;
            break;
          case 'v':
            request->options.invert = true;
            break;
          case 'i':
            request->options.ignoreCase = true;
            break;
          case 'n':
            request->numbers = true;
            break;
          case 'm':
            request->namesOnly = true;
            break;
          case 'l':
            request->forceLiteral = true;
            break;
          case 'r':
            request->forceRegex = true;
            break;
          default:
            return false;
        }
      }
    } else if (!haveStrings) {
      for (size_t start = 0; start < arg.size();) {
        size_t end = arg.find(' ', start);
        if (end == std::string::npos)
          end = arg.size();
        if (end > start)
          request->plainStrings.push_back(arg.substr(start, end - start));
        start = end + 1;
      }
      haveStrings = true;
    } else {
      request->paths.push_back(arg);
    }
  }
  return !request->literalStrings.empty() || !request->plainStrings.empty();
}

}  // namespace

Result RunFindstr(const std::string& commandLine, Machine& machine) {
  FindstrRequest request;
  if (!ParseFindstr(SplitArgs(commandLine), &request)) {
    return {"", "FINDSTR: Bad command line\r\n", 2};
  }
  std::vector<Pattern> patterns;
  for (const std::string& text : request.literalStrings) {
    patterns.push_back(Pattern{text, request.forceRegex});
  }
  for (const std::string& text : request.plainStrings) {
    patterns.push_back(Pattern{text, !request.forceLiteral});
  }

  struct Input {
    std::string name;
    std::string text;
  };
  std::vector<Input> inputs;
  bool prefixNames = request.paths.size() > 1;
  Result result;
  if (request.paths.empty()) {
    inputs.push_back({"", machine.ReadStdin()});
  }
  for (const std::string& pattern : request.paths) {
    std::vector<DirEntry> found = machine.List(pattern);
    prefixNames = prefixNames || NameOf(pattern).find_first_of("*?") != std::string::npos;
    bool any = false;
    for (const DirEntry& entry : found) {
      Input input{FolderOf(pattern) + entry.name, ""};
      if (!entry.isDir && machine.ReadFile(input.name, &input.text)) {
        inputs.push_back(input);
        any = true;
      }
    }
    if (!any) {
      result.err += "FINDSTR: Cannot open " + pattern + "\r\n";
    }
  }

  bool matched = false;
  for (const Input& input : inputs) {
    size_t number = 0;
    for (const std::string& line : SplitLines(input.text)) {
      ++number;
      if (!LineSelected(line, patterns, request.options)) {
        continue;
      }
      matched = true;
      if (request.namesOnly) {
        result.out += (input.name.empty() ? "(standard input)" : input.name) + "\r\n";
        break;
      }
      result.out += (prefixNames ? input.name + ":" : "") +
                    (request.numbers ? std::to_string(number) + ":" : "") + line + "\r\n";
    }
  }
  result.code = matched ? 0 : 1;
  return result;
}

}  // namespace kvx::bench
