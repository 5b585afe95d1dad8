#include "tests/support/deploy_commands.h"

#include <regex>

namespace kvx::testing {
namespace {

// The lines of a text as the interpreter reads them: split at line breaks,
// without the breaks; a final break makes no empty last line.
std::vector<Text> InterpreterLines(const Text& text) {
  std::vector<Text> lines;
  size_t start = 0;
  while (start < text.size()) {
    size_t end = text.find('\n', start);
    if (end == Text::npos)
      end = text.size();
    Text line = text.substr(start, end - start);
    if (!line.empty() && line.back() == '\r')
      line.pop_back();
    lines.push_back(line);
    start = end + 1;
  }
  return lines;
}

// Tokens of one line split at any run of the delimiter characters, as for /f
// does: leading delimiters are skipped and empty tokens do not occur.
std::vector<Text> Tokens(const Text& line, const Text& delimiters) {
  std::vector<Text> tokens;
  size_t pos = line.find_first_not_of(delimiters);
  while (pos != Text::npos) {
    const size_t end = line.find_first_of(delimiters, pos);
    tokens.push_back(line.substr(pos, end == Text::npos ? Text::npos : end - pos));
    pos = end == Text::npos ? end : line.find_first_not_of(delimiters, end);
  }
  return tokens;
}

// for /f "skip=N tokens=2,3 delims=: " over a list file: each pass truncates
// the INI file and writes the section line and the two keys. A missing list
// file runs no pass.
void RunListLoop(ScriptedHost& machine, int skip, const Text& list, const Text& ini) {
  if (!machine.Exists(list))
    return;
  int lineNumber = 0;
  for (const Text& line : InterpreterLines(machine.Content(list))) {
    if (lineNumber++ < skip)
      continue;
    if (line.empty() || line[0] == ';')
      continue;  // empty lines and the default eol character
    const std::vector<Text> tokens = Tokens(line, ": ");
    if (tokens.size() < 2)
      continue;  // no token 2: the body does not run
    const Text second = tokens[1];
    const Text third = tokens.size() > 2 ? tokens[2] : Text();
    machine.PutFile(ini, "[part]\r\npt_1=" + second + "\r\npt_2=" + third + ":\r\n");
  }
}

bool RunLoopLine(ScriptedHost& machine, const Text& line, const std::string& percent) {
  const std::regex loop("for /f \"skip=(\\d+) tokens=2,3 delims=: \" " + percent +
                        "i in \\(([^)]+)\\) do echo \\[part\\]>(\\S+)&& echo pt_1=" + percent +
                        "i>>(\\S+)&& echo pt_2=" + percent + "j:>>(\\S+)");
  std::smatch match;
  if (!std::regex_match(line, match, loop))
    return false;
  if (match[3] != match[4] || match[3] != match[5])
    return false;
  RunListLoop(machine, std::stoi(match[1]), match[2], match[3]);
  return true;
}

bool WildcardMatch(const Text& name, size_t n, const Text& pattern, size_t p) {
  if (p == pattern.size())
    return n == name.size();
  if (pattern[p] == '*') {
    for (size_t k = n; k <= name.size(); ++k) {
      if (WildcardMatch(name, k, pattern, p + 1))
        return true;
    }
    return false;
  }
  if (n == name.size())
    return false;
  return (pattern[p] == '?' || pattern[p] == name[n]) && WildcardMatch(name, n + 1, pattern, p + 1);
}

bool NameMatches(const Text& name, const Text& pattern) {
  const Text upperName = ScriptedHost::Key(name);
  const Text upperPattern = ScriptedHost::Key(pattern);
  if (WildcardMatch(upperName, 0, upperPattern, 0))
    return true;
  const bool anyExtension =
      upperPattern.size() >= 2 && upperPattern.compare(upperPattern.size() - 2, 2, ".*") == 0;
  return anyExtension && upperName.find('.') == Text::npos &&
         WildcardMatch(upperName, 0, upperPattern.substr(0, upperPattern.size() - 2), 0);
}

Text StripPrefix(const Text& line, const Text& prefix) {
  if (line.compare(0, prefix.size(), prefix) != 0)
    return Text();
  return line.substr(prefix.size());
}

}  // namespace

void ModelDeployCommands(ScriptedHost& host, const Text& shellPrefix) {
  // A batch file run by its path.
  host.OnCommandWhere(
      [](const Text& line) {
        return line.size() > 4 && ScriptedHost::Key(line.substr(line.size() - 4)) == ".BAT";
      },
      [](ScriptedHost& machine, const Text& path) {
        for (const Text& line : InterpreterLines(machine.Content(path))) {
          RunLoopLine(machine, line, "%%");
        }
      });
  // The loop on an interpreter command line.
  host.OnCommandPrefix(shellPrefix + "for /f ",
                       [shellPrefix](ScriptedHost& machine, const Text& line) {
                         RunLoopLine(machine, StripPrefix(line, shellPrefix), "%");
                       });
  // type SRC|find /v "NEEDLE">DST: the lines without the needle, each ended by
  // a line break; the output file is created even when the source is missing.
  host.OnCommandPrefix(shellPrefix + "type ",
                       [shellPrefix](ScriptedHost& machine, const Text& line) {
                         const std::regex filter("type (\\S+)\\|find /v \"([^\"]*)\">(\\S+)");
                         std::smatch match;
                         const Text rest = StripPrefix(line, shellPrefix);
                         if (!std::regex_match(rest, match, filter))
                           return;
                         Text kept;
                         for (const Text& listed : InterpreterLines(machine.Content(match[1]))) {
                           if (listed.find(match[2]) == Text::npos)
                             kept += listed + "\r\n";
                         }
                         machine.PutFile(match[3], kept);
                       });
  // del /q "FOLDER\PATTERN"
  host.OnCommandPrefix(
      shellPrefix + "del /q \"", [shellPrefix](ScriptedHost& machine, const Text& line) {
        const Text rest = StripPrefix(line, shellPrefix + "del /q \"");
        if (rest.empty() || rest.back() != '"')
          return;
        const Text target = machine.Absolute(rest.substr(0, rest.size() - 1));
        const size_t slash = target.rfind('\\');
        if (slash == Text::npos)
          return;
        const Text folderKey = ScriptedHost::Key(target.substr(0, slash));
        const Text pattern = target.substr(slash + 1);
        for (const Text& path : machine.Paths()) {
          const size_t cut = path.rfind('\\');
          if (cut == Text::npos || ScriptedHost::Key(path.substr(0, cut)) != folderKey)
            continue;
          if (machine.IsFolder(path) || (machine.Attributes(path) & 1))
            continue;
          if (NameMatches(path.substr(cut + 1), pattern))
            machine.RemovePath(path);
        }
      });
  // The text replacer on one file: every occurrence, exact case.
  host.OnCommandWhere(
      [](const Text& line) { return line.find("\\fr ") != Text::npos; },
      [](ScriptedHost& machine, const Text& line) {
        const std::regex replace("\\S+\\\\fr (\\S+) -f:\"([^\"]*)\" -t:\"([^\"]*)\"");
        std::smatch match;
        if (!std::regex_match(line, match, replace) || !machine.Exists(match[1]))
          return;
        Text content = machine.Content(match[1]);
        const Text find = match[2];
        const Text replacement = match[3];
        for (size_t at = content.find(find); !find.empty() && at != Text::npos;
             at = content.find(find, at + replacement.size())) {
          content.replace(at, find.size(), replacement);
        }
        machine.PutFile(match[1], content, machine.Attributes(match[1]));
      });
}

}  // namespace kvx::testing
