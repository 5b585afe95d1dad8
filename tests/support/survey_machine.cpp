#include "tests/support/survey_machine.h"

namespace kvx::testing {
namespace {

bool StartsWith(const Text& text, const Text& prefix) {
  return text.compare(0, prefix.size(), prefix) == 0;
}

void ReplaceAll(Text& text, const Text& find, const Text& replacement) {
  if (find.empty())
    return;
  for (size_t at = text.find(find); at != Text::npos;
       at = text.find(find, at + replacement.size())) {
    text.replace(at, find.size(), replacement);
  }
}

void RunIniWriter(ScriptedHost& m, const Text& dir, const Text& line) {
  const Text tool = dir + "fi ";
  if (!StartsWith(line, tool) || !m.Exists(dir + "fi.exe"))
    return;
  const Text rest = line.substr(tool.size());
  const size_t open = rest.find(" [");
  const size_t close = rest.find("] ", open);
  const size_t eq = rest.find('=', close);
  if (open == Text::npos || close == Text::npos || eq == Text::npos)
    return;
  m.SetIniValue(rest.substr(0, open), rest.substr(open + 2, close - open - 2),
                rest.substr(close + 2, eq - close - 2), rest.substr(eq + 1));
}

void RunShellCommand(ScriptedHost& m, const Text& dir, const Text& version, const Text& cmd) {
  if (StartsWith(cmd, "ren ")) {
    const size_t blank = cmd.rfind(' ');
    const Text from = cmd.substr(4, blank - 4);
    const Text to = from.substr(0, from.rfind('\\') + 1) + cmd.substr(blank + 1);
    if (m.Exists(from) && !m.Exists(to)) {
      const Text content = m.Content(from);
      m.RemovePath(from);
      m.PutFile(to, content);
    }
  } else if (StartsWith(cmd, "type ")) {
    const size_t arrows = cmd.find(">>");
    const Text from = cmd.substr(5, arrows - 5);
    const Text to = cmd.substr(arrows + 2);
    if (m.Exists(from))
      m.PutFile(to, m.Content(to) + m.Content(from));
  } else if (StartsWith(cmd, "copy /y ")) {
    const size_t blank = cmd.find(' ', 8);
    const Text from = cmd.substr(8, blank - 8);
    if (m.Exists(from))
      m.PutFile(cmd.substr(blank + 1), m.Content(from));
  } else if (StartsWith(cmd, "echo ")) {
    const size_t arrow = cmd.find('>');
    const bool append = cmd.compare(arrow, 2, ">>") == 0;
    const Text path = cmd.substr(arrow + (append ? 2 : 1));
    const Text line = cmd.substr(5, arrow - 5) + "\r\n";
    m.PutFile(path, append ? m.Content(path) + line : line);
  } else if (StartsWith(cmd, "ver|find \"")) {
    const size_t close = cmd.find('"', 10);
    const size_t then = cmd.find("&&", close);
    if (version.find(cmd.substr(10, close - 10)) != Text::npos) {
      RunShellCommand(m, dir, version, cmd.substr(then + 2));
    }
  } else if (StartsWith(cmd, "findstr /c:\"")) {
    const size_t close = cmd.find("\" ", 12);
    const Text marker = "&if not errorlevel 1 ";
    const size_t then = cmd.find(marker, close);
    const Text file = cmd.substr(close + 2, then - close - 2);
    if (m.Content(file).find(cmd.substr(12, close - 12)) != Text::npos) {
      RunIniWriter(m, dir, cmd.substr(then + marker.size()));
    }
  }
}

}  // namespace

void ModelShell(ScriptedHost& machine, const Text& shellPrefix, const Text& productDirSlash,
                const Text& versionText) {
  machine.OnCommandPrefix(shellPrefix, [=](ScriptedHost& m, const Text& line) {
    RunShellCommand(m, productDirSlash, versionText, line.substr(shellPrefix.size()));
  });
}

void ModelSurveyTool(ScriptedHost& machine, const Text& productDirSlash,
                     std::map<Text, Text> allByDisk, std::map<Text, Text> normalByDisk) {
  const Text tool = productDirSlash + "zptlx ";
  machine.OnCommandWhere([tool](const Text& line) { return line.find(tool) != Text::npos; },
                         [=](ScriptedHost& m, const Text& line) {
                           if (!m.Exists(productDirSlash + "zptlx.exe"))
                             return;
                           const size_t from = line.find(tool) + tool.size();
                           const Text disk = line.substr(from, line.find(" /", from) - from);
                           const bool normal = line.find("/find:normal") != Text::npos;
                           const std::map<Text, Text>& outputs = normal ? normalByDisk : allByDisk;
                           const auto it = outputs.find(disk);
                           m.PutFile(line.substr(line.rfind('>') + 1),
                                     it == outputs.end() ? Text() : it->second);
                         });
}

void ModelTextReplacer(ScriptedHost& machine, const Text& productDirSlash) {
  machine.OnCommandPrefix(productDirSlash + "fr ", [=](ScriptedHost& m, const Text& line) {
    if (!m.Exists(productDirSlash + "fr.exe"))
      return;
    const size_t fileStart = productDirSlash.size() + 3;
    const size_t findStart = line.find(" -f:\"", fileStart);
    const size_t toStart = line.find("\" -t:\"", findStart);
    const Text file = line.substr(fileStart, findStart - fileStart);
    Text content = m.Content(file);
    ReplaceAll(content, line.substr(findStart + 5, toStart - findStart - 5),
               line.substr(toStart + 6, line.size() - toStart - 7));
    m.PutFile(file, content);
  });
}

}  // namespace kvx::testing
