#include "tests/support/bootmenu_machine.h"

namespace kvx::testing {
namespace {

bool StartsWith(const Text& text, const Text& prefix) {
  return text.compare(0, prefix.size(), prefix) == 0;
}

bool EndsWithNoCase(const Text& text, const Text& suffix) {
  if (text.size() < suffix.size())
    return false;
  return FindText(text.substr(text.size() - suffix.size()), suffix, true) == 0;
}

// True when text starts with prefix; *rest is then what follows it.
bool After(const Text& text, const Text& prefix, Text* rest) {
  if (!StartsWith(text, prefix))
    return false;
  *rest = text.substr(prefix.size());
  return true;
}

// Splits text at the first occurrence of separator.
bool Cut(const Text& text, const Text& separator, Text* before, Text* after) {
  const size_t at = text.find(separator);
  if (at == Text::npos)
    return false;
  *before = text.substr(0, at);
  *after = text.substr(at + separator.size());
  return true;
}

// Lines as the interpreter's loops see them: split at LF, CR dropped.
std::vector<Text> Lines(const Text& text) {
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

std::vector<Text> Tokens(const Text& line, const Text& delimiters) {
  std::vector<Text> tokens;
  size_t at = line.find_first_not_of(delimiters);
  while (at != Text::npos) {
    const size_t end = line.find_first_of(delimiters, at);
    tokens.push_back(line.substr(at, end == Text::npos ? Text::npos : end - at));
    at = end == Text::npos ? Text::npos : line.find_first_not_of(delimiters, end);
  }
  return tokens;
}

Text ReplaceAll(Text text, const Text& find, const Text& replacement) {
  if (find.empty())
    return text;
  size_t at = text.find(find);
  while (at != Text::npos) {
    text.replace(at, find.size(), replacement);
    at = text.find(find, at + replacement.size());
  }
  return text;
}

Text FileName(const Text& path) {
  return path.substr(path.rfind('\\') + 1);
}

}  // namespace

BootMenuMachine::BootMenuMachine(ScriptedHost& host, BcdStore& store, const Text& productDirSlash,
                                 const Text& shellPrefix)
    : host_(host), store_(store), product_(productDirSlash), shell_(shellPrefix) {
  host_.OnCommandWhere([](const Text&) { return true; },
                       [this](ScriptedHost&, const Text& line) { RunLine(line); });
}

void BootMenuMachine::RunLine(const Text& commandLine) {
  Text rest;
  if (EndsWithNoCase(commandLine, ".bat") && host_.Exists(commandLine)) {
    RunBatch(commandLine);
  } else if (After(commandLine, shell_, &rest)) {
    if (!RunShellCommand(rest))
      unhandled.push_back(commandLine);
  } else if (After(commandLine, product_ + "fi ", &rest)) {
    Fi(rest);
  } else if (After(commandLine, product_ + "fr ", &rest)) {
    Fr(rest);
  } else {
    unhandled.push_back(commandLine);
  }
}

void BootMenuMachine::RunBatch(const Text& path) {
  for (const Text& line : Lines(host_.Content(path))) {
    if (!line.empty())
      RunBatchLine(line);
  }
}

// Runs one batch line; false when it fails or its form is unknown (then the
// line is collected as unhandled).
bool BootMenuMachine::RunBatchLine(const Text& line) {
  Text rest;
  if (After(line, shell_, &rest)) {
    if (RunShellCommand(rest))
      return true;
    unhandled.push_back(line);
    return false;
  }
  if (After(line, "bcdedit.exe||echo f|xcopy ", &rest)) {
    Text source, target;
    if (!Cut(Text(rest), " ", &source, &target) ||
        !Cut(Text(target), " /k /r /h /c /y", &target, &rest) || !rest.empty()) {
      unhandled.push_back(line);
      return false;
    }
    if (!BcdeditReachable() && host_.Exists(source))
      host_.PutFile(target, host_.Content(source));
    return true;
  }
  if (StartsWith(line, "bcdedit"))
    return Bcdedit(line);
  if (After(line, "subst b: ", &rest)) {
    Text system32, target;
    if (!Cut(Text(rest), "&&echo d|xcopy b:\\bcdedit.exe ", &system32, &target) ||
        !Cut(Text(target), " /k /r /h /c /y&subst b: /d", &target, &rest) || !rest.empty()) {
      unhandled.push_back(line);
      return false;
    }
    const Text source = system32 + "\\bcdedit.exe";
    if (host_.Exists(source))
      host_.PutFile(target + "\\bcdedit.exe", host_.Content(source));
    return true;
  }
  if (After(line, "for /f \"delims=:\" %%a in ('findstr /n \"", &rest)) {
    IdentifierLoop(rest);
    return true;
  }
  if (After(line, "for /f \"delims==\" %%a in ('findstr /i \"^multi\" ", &rest)) {
    DefaultLoop(rest);
    return true;
  }
  unhandled.push_back(line);
  return false;
}

bool BootMenuMachine::RunShellCommand(const Text& command) {
  Text rest, source, target;
  if (After(command, "copy /y ", &rest) && Cut(rest, " ", &source, &target)) {
    if (!target.empty() && target.back() == '\\')
      target += FileName(source);
    // copy does not replace a read-only or hidden file.
    if (host_.Exists(source) && !(host_.Exists(target) && (host_.Attributes(target) & 3))) {
      host_.PutFile(target, host_.Content(source));
    }
    return true;
  }
  if (After(command, "xcopy /k /h /r /c /y ", &rest) && Cut(rest, "\\*.sdr ", &source, &target)) {
    for (const Text& path : host_.Paths()) {
      if (EndsWithNoCase(path, ".sdr") && FindText(path, source + "\\", true) == 0 &&
          path.find('\\', source.size() + 1) == Text::npos) {
        host_.PutFile(target + FileName(path), host_.Content(path), host_.Attributes(path));
      }
    }
    return true;
  }
  if (After(command, "type ", &rest) && Cut(rest, ">>", &source, &target)) {
    host_.PutFile(target, host_.Content(target) + host_.Content(source), host_.Attributes(target));
    return true;
  }
  if (After(command, "for /f \"tokens=2\" %%i in (", &rest)) {
    SettingsLoop(rest);
    return true;
  }
  return false;
}

bool BootMenuMachine::BcdeditReachable() const {
  return !sixtyFourBit || host_.Exists("C:\\WINDOWS\\syswow64\\bcdedit.exe");
}

void BootMenuMachine::WriteOutput(const Text& path, const Text& text) {
  host_.PutFile(path, text);
}

// One bcdedit line of a batch; false when it fails (for "&&" chains).
bool BootMenuMachine::Bcdedit(const Text& line) {
  Text before, output;
  // The interpreter creates a redirection target even when bcdedit cannot run.
  const bool redirected = Cut(line, ">", &before, &output);
  if (!BcdeditReachable()) {
    if (redirected)
      WriteOutput(output, Text());
    return false;
  }
  if (line == "bcdedit>" + output) {
    WriteOutput(output, store_.Listing());
    return true;
  }
  if (line == "bcdedit /enum all >" + output) {
    WriteOutput(output, store_.Enumeration());
    return true;
  }
  Text rest, title, tail;
  if (redirected && After(before, "bcdedit /create /d \"", &rest) &&
      Cut(rest, "\" /application bootsector", &title, &tail) && tail.empty()) {
    WriteOutput(output, store_.Create(title));
    return true;
  }
  Text arguments, file;
  if (redirected || !After(line, "bcdedit ", &arguments)) {
    unhandled.push_back(line);
    return false;
  }
  if (After(arguments, "/import ", &file)) {
    if (host_.Exists(file))
      store_.readable = true;
    return store_.readable;
  }
  if (After(arguments, "/export ", &file)) {
    if (!store_.readable)
      return false;
    host_.PutFile(file, store_.Enumeration());
    return true;
  }
  bool known = false;
  const bool worked = store_.Run(arguments, &known);
  if (!known)
    unhandled.push_back(line);
  return worked;
}

// for /f "delims=:" %%a in ('findstr /n "S" F') do for /f "tokens=1,3
// delims=: " %%i in ('findstr /n "{" F') do if %%i lss %%a echo %%j>OUT
// findstr is taken as a literal, case-sensitive search for the whole text.
void BootMenuMachine::IdentifierLoop(const Text& rest) {
  Text search, file, afterFile, braceFile, output;
  if (!Cut(rest, "\" ", &search, &afterFile) ||
      !Cut(afterFile, "') do for /f \"tokens=1,3 delims=: \" %%i in ('findstr /n \"{\" ", &file,
           &afterFile) ||
      !Cut(afterFile, "') do if %%i lss %%a echo %%j>", &braceFile, &output) || braceFile != file) {
    unhandled.push_back(rest);
    return;
  }
  const std::vector<Text> lines = Lines(host_.Content(file));
  for (size_t a = 1; a <= lines.size(); ++a) {
    if (lines[a - 1].find(search) == Text::npos)
      continue;
    for (size_t i = 1; i < a; ++i) {
      if (lines[i - 1].find('{') == Text::npos)
        continue;
      const std::vector<Text> tokens = Tokens(std::to_string(i) + ":" + lines[i - 1], ": ");
      // A token that is not there leaves the loop variable as written.
      WriteOutput(output, (tokens.size() >= 3 ? tokens[2] : Text("%j")) + "\r\n");
    }
  }
}

// for /f "delims==" %%a in ('findstr /i "^multi" F') do BODY&goto :eof
void BootMenuMachine::DefaultLoop(const Text& rest) {
  Text file, body, tail;
  if (!Cut(rest, "') do ", &file, &body) || !Cut(Text(body), "&goto :eof", &body, &tail) ||
      !tail.empty()) {
    unhandled.push_back(rest);
    return;
  }
  for (const Text& line : Lines(host_.Content(file))) {
    if (FindText(line, "multi", true) != 0)
      continue;
    const std::vector<Text> tokens = Tokens(line, "=");
    if (tokens.empty())
      continue;
    RunLine(ReplaceAll(body, "%%a", tokens[0]));
    return;
  }
}

// for /f "tokens=2" %%i in (F) do echo %%i>F&&bcdedit ...&&bcdedit ...
void BootMenuMachine::SettingsLoop(const Text& rest) {
  Text file, body;
  if (!Cut(rest, ") do ", &file, &body)) {
    unhandled.push_back(rest);
    return;
  }
  for (const Text& line : Lines(host_.Content(file))) {
    const std::vector<Text> tokens = Tokens(line, " \t");
    if (tokens.size() < 2 || line[0] == ';')
      continue;
    Text remaining = ReplaceAll(body, "%%i", tokens[1]);
    while (!remaining.empty()) {
      Text command, next;
      if (!Cut(remaining, "&&", &command, &next)) {
        command = remaining;
        next.clear();
      }
      remaining = next;
      Text echoed, target;
      Text echo;
      if (After(command, "echo ", &echo) && Cut(echo, ">", &echoed, &target)) {
        WriteOutput(target, echoed + "\r\n");
      } else if (!StartsWith(command, "bcdedit") || !Bcdedit(command)) {
        break;
      }
    }
  }
}

// fi FILE [SECTION] KEY=VALUE; a read-only file is left alone.
void BootMenuMachine::Fi(const Text& rest) {
  Text file, afterFile, section, entry, key, value;
  if (!Cut(rest, " [", &file, &afterFile) || !Cut(afterFile, "] ", &section, &entry) ||
      !Cut(entry, "=", &key, &value)) {
    unhandled.push_back(rest);
    return;
  }
  if (fiFails || (host_.Exists(file) && (host_.Attributes(file) & 1)))
    return;
  host_.SetIniValue(file, section, key, value);
}

// fr FILE -f:"FIND" -t:"REPLACEMENT", or -r: with \r\n standing for a line break.
void BootMenuMachine::Fr(const Text& rest) {
  Text file, afterFile, find, replacement;
  const bool escaped = rest.find(" -r:\"") != Text::npos;
  if (!Cut(rest, escaped ? " -r:\"" : " -f:\"", &file, &afterFile) ||
      !Cut(afterFile, "\" -t:\"", &find, &replacement) || replacement.empty() ||
      replacement.back() != '"') {
    unhandled.push_back(rest);
    return;
  }
  replacement.pop_back();
  if (escaped)
    find = ReplaceAll(find, "\\r\\n", "\r\n");
  if (!host_.Exists(file))
    return;
  host_.PutFile(file, ReplaceAll(host_.Content(file), find, replacement), host_.Attributes(file));
}

}  // namespace kvx::testing
