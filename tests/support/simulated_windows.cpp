#include "tests/support/simulated_windows.h"

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <string>

#include <gtest/gtest.h>

#include "tests/tools/doubles.h"
#include "tests/tools/text.h"

namespace kvx::testing {
namespace {

using bench::SplitLines;
using bench::Trim;

Text Lower(const Text& text) {
  return bench::FoldCase(text);
}

bool StartsWithNoCase(const Text& text, const Text& prefix) {
  return bench::StartsWith(Lower(text), Lower(prefix));
}

bool EndsWithNoCase(const Text& text, const Text& suffix) {
  return bench::EndsWith(Lower(text), Lower(suffix));
}

bool SameNoCase(const Text& a, const Text& b) {
  return ScriptedHost::Key(a) == ScriptedHost::Key(b);
}

// True when text starts with prefix; *rest is then what follows it.
bool After(const Text& text, const Text& prefix, Text* rest) {
  if (!bench::StartsWith(text, prefix))
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

// Tokens split at any run of the delimiter characters, as for /f splits a
// line: leading delimiters are skipped and no token is empty.
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
  for (size_t at = text.find(find); at != Text::npos;
       at = text.find(find, at + replacement.size())) {
    text.replace(at, find.size(), replacement);
  }
  return text;
}

// Position of the first of the given characters that stands outside double
// quotes (never the second byte of a double-byte character), or npos.
size_t FindUnquoted(const Text& text, const char* characters) {
  const std::vector<bool> trail = bench::TrailBytes(text);
  bool quoted = false;
  for (size_t i = 0; i < text.size(); ++i) {
    if (trail[i])
      continue;
    if (text[i] == '"') {
      quoted = !quoted;
    } else if (!quoted && std::strchr(characters, text[i]) != nullptr) {
      return i;
    }
  }
  return Text::npos;
}

// The arguments of a command: split at blanks outside double quotes, the
// quotes taken away.
std::vector<Text> Words(const Text& text) {
  std::vector<Text> words;
  Text word;
  bool quoted = false;
  bool inWord = false;
  for (char c : text) {
    if (c == '"') {
      quoted = !quoted;
      inWord = true;
    } else if ((c == ' ' || c == '\t') && !quoted) {
      if (inWord)
        words.push_back(word);
      word.clear();
      inWord = false;
    } else {
      word += c;
      inWord = true;
    }
  }
  if (inWord)
    words.push_back(word);
  return words;
}

// One command of a line and the operator that joins it to the one before.
struct Piece {
  Text op;  // "&" for the first, then "&", "&&", "||" or "|"
  Text text;
};

bool IsBlock(const Text& command) {
  const Text start = Trim(command);
  return StartsWithNoCase(start, "for ") || StartsWithNoCase(start, "if ");
}

// The commands of a line between the operators outside quotes; a for or an
// if takes the rest of the line as its body.
std::vector<Piece> SplitAtOperators(const Text& line) {
  std::vector<Piece> pieces;
  Text op = "&";
  Text rest = line;
  while (true) {
    const size_t at = IsBlock(rest) ? Text::npos : FindUnquoted(rest, "&|");
    if (at == Text::npos) {
      pieces.push_back({op, rest});
      return pieces;
    }
    pieces.push_back({op, rest.substr(0, at)});
    op = rest.substr(at, at + 1 < rest.size() && rest[at + 1] == rest[at] ? 2 : 1);
    rest = rest.substr(at + op.size());
  }
}

// Takes the redirection off a command: ">" or ">>", then the target, quoted
// or up to the next blank.
void TakeRedirection(Text& command, Text* target, bool* append) {
  const size_t at = FindUnquoted(command, ">");
  if (at == Text::npos)
    return;
  *append = command.compare(at, 2, ">>") == 0;
  size_t from = at + (*append ? 2 : 1);
  size_t end;
  if (from < command.size() && command[from] == '"') {
    end = std::min(command.find('"', from + 1), command.size());
    *target = command.substr(from + 1, end - from - 1);
    end = std::min(end + 1, command.size());
  } else {
    end = std::min(command.find(' ', from), command.size());
    *target = command.substr(from, end - from);
  }
  command = command.substr(0, at) + command.substr(end);
}

Text Substitute(Text text, const std::map<char, Text>& variables) {
  for (const auto& [name, value] : variables)
    text = ReplaceAll(text, Text("%") + name, value);
  return text;
}

Text FileName(const Text& path) {
  return path.substr(path.rfind('\\') + 1);
}

Text FolderOf(const Text& path) {
  const size_t slash = path.rfind('\\');
  return slash == Text::npos ? Text() : path.substr(0, slash);
}

// The double that stands for a Windows tool run by its name.
const char* WindowsTool(const Text& name) {
  for (const char* tool : {"attrib", "find", "findstr", "chkntfs", "wmic"}) {
    if (name == tool)
      return tool;
  }
  return nullptr;
}

// The double that stands for a companion tool of the product folder, by the
// name it is called with; and the file that must be there for it to start.
struct ProductToolName {
  const char* called;
  const char* file;
  const char* tool;
};
const ProductToolName kProductTools[] = {
    {"fi", "fi.exe", "fi"},
    {"fr", "fr.exe", "fr"},
    {"xc", "xc.exe", "xc"},
    {"zptlx", "zptlx.exe", "zp"},
    {"ghost32.exe", "ghost32.exe", "ghost32"},
};

// The store of a new simulation: the boot manager and the running Windows.
const char kDefaultStore[] =
    "create-answer Entry {id} created.\r\n"
    "next 1\r\n"
    "{bootmgr} bootmgr\r\n"
    "  device partition=C:\r\n"
    "  description Windows Boot Manager\r\n"
    "  default {current}\r\n"
    "  displayorder {current}\r\n"
    "  timeout 30\r\n"
    "{current} osloader\r\n"
    "  device partition=C:\r\n"
    "  path \\Windows\\system32\\winload.exe\r\n"
    "  description Windows\r\n";

}  // namespace

SimulatedWindows::SimulatedWindows(ScriptedHost& host, const Text& shellPrefix,
                                   const Text& productDirSlash)
    : host_(host), tools_(host), shell_(shellPrefix), product_(productDirSlash) {
  host_.OnCommandWhere([](const Text&) { return true; },
                       [this](ScriptedHost&, const Text& line) { RunCommandLine(line); });
  tools_.onChange = [this](const Text& path) {
    if (!bench::StartsWith(ScriptedHost::Key(path), ScriptedHost::Key(kFixtureFolder)))
      Changed(path);
  };
}

void SimulatedWindows::PutFixture(const Text& name, const Text& text) {
  host_.PutFile(bench::Below(kFixtureFolder, name), text);
}

Text SimulatedWindows::Fixture(const Text& name) const {
  return host_.Content(bench::Below(kFixtureFolder, name));
}

bench::BcdStore SimulatedWindows::Store() const {
  bench::BcdStore store;
  std::string error;
  const Text text = host_.Exists(bench::Below(kFixtureFolder, "bcd_store.txt"))
                        ? Fixture("bcd_store.txt")
                        : Text(kDefaultStore);
  if (!bench::ParseBcdStore(text, &store, &error))
    ADD_FAILURE() << "bcd_store.txt: " << error;
  return store;
}

void SimulatedWindows::PutStore(const bench::BcdStore& store) {
  PutFixture("bcd_store.txt", bench::FormatBcdStore(store));
}

std::map<Text, Text> SimulatedWindows::Grants() const {
  std::map<Text, Text> grants;
  for (const Text& line : bench::SplitLines(Fixture("xc_grants.txt"))) {
    const size_t tab = line.find('\t');
    if (tab != Text::npos)
      grants[line.substr(0, tab)] = line.substr(tab + 1);
  }
  return grants;
}

void SimulatedWindows::RunCommandLine(const Text& commandLine) {
  if (!commandsRun)
    return;
  Text rest;
  if (After(commandLine, shell_, &rest)) {
    Interpreter(rest);
  } else if (StartsWithNoCase(commandLine, product_)) {
    ProductTool(commandLine);  // started directly: no operators, no redirection
  } else if (EndsWithNoCase(commandLine, ".bat")) {
    RunBatch(commandLine);
  } else {
    unhandled.push_back(commandLine);
  }
}

void SimulatedWindows::RunSetupLine(const Text& line) {
  RunLine(line, {});
  changed.clear();
  bcdeditRuns.clear();
}

void SimulatedWindows::RunBatch(const Text& path) {
  if (!host_.Exists(path) || host_.IsFolder(path))
    return;  // cannot start
  leaveBatch_ = false;
  for (const Text& line : SplitLines(host_.Content(path))) {
    if (!Trim(line).empty())
      RunLine(ReplaceAll(line, "%%", "%"), {});
    if (leaveBatch_)
      break;
  }
  leaveBatch_ = false;
}

// The interpreter started with /c: a command line that begins with a
// quotation mark loses it and the last quotation mark of the line.
SimulatedWindows::Result SimulatedWindows::Interpreter(const Text& arguments) {
  Text line = arguments;
  if (!line.empty() && line[0] == '"') {
    if (line.rfind('"') > 0)
      line.erase(line.rfind('"'), 1);
    line.erase(0, 1);
  }
  const bool leaving = leaveBatch_;
  const Result result = RunLine(line, {});
  leaveBatch_ = leaving;
  return result;
}

SimulatedWindows::Result SimulatedWindows::RunLine(const Text& line, const Variables& variables) {
  const std::vector<Piece> pieces = SplitAtOperators(line);
  Result result{true, Text()};
  for (size_t first = 0; first < pieces.size() && !leaveBatch_;) {
    size_t end = first + 1;
    while (end < pieces.size() && pieces[end].op == "|")
      ++end;
    const Text& op = pieces[first].op;
    if (op == "&" || (op == "&&" && result.ok) || (op == "||" && !result.ok)) {
      Result stage;
      for (size_t k = first; k < end; ++k)
        stage = RunStage(pieces[k].text, stage.out, variables);
      result.ok = lastOk_ = stage.ok;
      result.out += stage.out;
    }
    first = end;
  }
  return result;
}

SimulatedWindows::Result SimulatedWindows::RunStage(const Text& stage, const Text& input,
                                                    const Variables& variables) {
  Text command = Trim(stage);
  if (!command.empty() && command[0] == '@')
    command = Trim(command.substr(1));  // a line that is not echoed
  if (StartsWithNoCase(command, "for "))
    return For(command, variables);
  if (StartsWithNoCase(command, "if "))
    return If(command, variables);
  Text target;
  bool append = false;
  TakeRedirection(command, &target, &append);
  command = Trim(Substitute(command, variables));
  target = Substitute(target, variables);
  const bool toFile = !target.empty() && !SameNoCase(target, "nul");
  if (toFile) {
    if (!CanWrite(target))
      return {false, Text()};  // the command does not run
    if (!append || !host_.Exists(target))
      Write(target, Text(), false);
  }
  Result result = RunCommand(command, input);
  if (!target.empty()) {
    if (toFile)
      Write(target, result.out, true);
    result.out.clear();
  }
  return result;
}

SimulatedWindows::Result SimulatedWindows::RunCommand(const Text& command, const Text& input) {
  Text rest;
  if (After(command, shell_, &rest))
    return Interpreter(rest);
  if (StartsWithNoCase(command, product_))
    return ProductTool(command);
  Text name = command;
  Text arguments;
  Cut(command, " ", &name, &arguments);
  name = Lower(name);
  const std::vector<Text> words = Words(arguments);

  if (name == "rem")
    return {true, Text()};
  if (name == "echo" && (Lower(arguments) == "off" || Lower(arguments) == "on"))
    return {true, Text()};  // the batch's echo switch prints nothing
  if (name == "echo")
    return {true, arguments + "\r\n"};
  if (name == "ver")
    return {true, "\r\n" + version + "\r\n"};
  if (name == "goto" && arguments == ":eof") {
    leaveBatch_ = true;
    return {true, Text()};
  }
  if (name == "ren" && words.size() == 2)
    return Ren(words);
  if (name == "del" && words.size() == 2 && words[0] == "/q")
    return Del(words);
  if (name == "type" && words.size() == 1) {
    const bool file = host_.Exists(words[0]) && !host_.IsFolder(words[0]);
    return {file, host_.Content(words[0])};
  }
  if (name == "copy" && words.size() == 3 && words[0] == "/y")
    return Copy(words);
  if (name == "xcopy")
    return Xcopy(words, input, command);
  if (name == "wmic" && !wmicInstalled)
    return {false, Text()};  // "'wmic' is not recognized as an internal or external command"
  if (const char* tool = WindowsTool(name))
    return Double(tool, command, input);
  if (name == "dir" && words.size() == 3 && words[1] == "/ad" && words[2] == "/x") {
    return Dir(words);
  }
  if (name == "reg" && words.size() == 2 && words[0] == "import") {
    if (!host_.Exists(words[1]) || host_.IsFolder(words[1]))
      return {false, Text()};
    imported.push_back(host_.Content(words[1]));
    return {true, Text()};
  }
  if (name == "subst" && words.size() == 2)
    return Subst(words);
  if (name == "bcdedit" || name == "bcdedit.exe") {
    bcdeditRuns.push_back(arguments);
    if (sixtyFourBit && !host_.Exists(windowsFolder + "\\syswow64\\bcdedit.exe"))
      return {false, Text()};  // not found
    if (!host_.Exists(bench::Below(kFixtureFolder, "bcd_store.txt")))
      PutFixture("bcd_store.txt", kDefaultStore);
    return Double("bcdedit", command, input);
  }
  return Unknown(command);
}

SimulatedWindows::Result SimulatedWindows::Double(const char* name, const Text& commandLine,
                                                  const Text& input) {
  tools_.SetStdin(input);
  const bench::Result result = bench::RunDouble(name, commandLine, tools_);
  if (result.code == 2)  // the double did not understand the command line
    unhandled.push_back(commandLine);
  return {result.code == 0, result.out};
}

SimulatedWindows::Result SimulatedWindows::Unknown(const Text& command) {
  unhandled.push_back(command);
  return {false, Text()};
}

// for %x in (LIST) do BODY, and for /f "OPTIONS" %x in (SOURCE) do BODY over
// the lines of a file or of what a 'command' prints. Options: skip=N,
// tokens=a,b (the variables %x, %y, ...), delims=CHARACTERS (last); lines
// that are empty or begin with ";" are passed over, and so is a line that has
// none of the tokens asked for. A token the line lacks leaves its variable as
// written.
SimulatedWindows::Result SimulatedWindows::For(const Text& command, const Variables& variables) {
  Text rest = command.substr(4);
  const bool overLines = After(Text(rest), "/f ", &rest);
  Text options;
  if (overLines && !rest.empty() && rest[0] == '"') {
    const size_t close = rest.find('"', 1);
    options = rest.substr(1, close - 1);
    rest = Trim(rest.substr(close + 1));
  }
  Text source;
  Text body;
  const char variable = rest.size() < 2 || rest[0] != '%' ? '\0' : rest[1];
  if (variable == '\0' || !After(rest.substr(2), " in (", &rest) ||
      !Cut(Text(rest), ") do ", &source, &body)) {
    return Unknown(command);
  }
  source = Substitute(source, variables);

  Result result{true, Text()};
  if (!overLines) {
    for (const Text& item : Tokens(source, ", ;")) {
      Variables inner = variables;
      inner[variable] = item;
      result.out += RunLine(body, inner).out;
      if (leaveBatch_)
        break;
    }
    return result;
  }

  size_t skip = 0;
  std::vector<size_t> wanted = {1};
  Text delimiters = " \t";
  Text value;
  for (const Text& option : Tokens(options.substr(0, options.find("delims=")), " ")) {
    if (After(option, "skip=", &value)) {
      skip = std::strtoul(value.c_str(), nullptr, 10);
    } else if (After(option, "tokens=", &value)) {
      wanted.clear();
      for (const Text& number : Tokens(value, ","))
        wanted.push_back(std::stoul(number));
    } else {
      return Unknown(command);
    }
  }
  if (options.find("delims=") != Text::npos)
    delimiters = options.substr(options.find("delims=") + 7);

  Text text;
  if (source.size() >= 2 && source.front() == '\'' && source.back() == '\'') {
    text = RunLine(source.substr(1, source.size() - 2), {}).out;
  } else if (host_.Exists(source) && !host_.IsFolder(source)) {
    text = host_.Content(source);
  } else {
    return {false, Text()};
  }
  const std::vector<Text> lines = SplitLines(text);
  for (size_t n = skip; n < lines.size() && !leaveBatch_; ++n) {
    if (lines[n].empty() || lines[n][0] == ';')
      continue;
    const std::vector<Text> tokens =
        delimiters.empty() ? std::vector<Text>{lines[n]} : Tokens(lines[n], delimiters);
    Variables inner = variables;
    bool any = false;
    for (size_t k = 0; k < wanted.size(); ++k) {
      if (wanted[k] < 1 || wanted[k] > tokens.size())
        continue;
      inner[static_cast<char>(variable + k)] = tokens[wanted[k] - 1];
      any = true;
    }
    if (any)
      result.out += RunLine(body, inner).out;
  }
  return result;
}

// if [not] exist PATH BODY, if [not] errorlevel N BODY, if A lss B BODY.
SimulatedWindows::Result SimulatedWindows::If(const Text& command, const Variables& variables) {
  Text rest = Trim(command.substr(3));
  const bool negated = After(Text(rest), "not ", &rest);
  Text first;
  Text second;
  if (!Cut(Text(rest), " ", &first, &rest) || !Cut(Text(rest), " ", &second, &rest)) {
    return Unknown(command);
  }
  bool holds;
  if (first == "exist") {
    holds = host_.Exists(Resolve(Substitute(second, variables)));
  } else if (first == "errorlevel") {
    holds = (lastOk_ ? 0 : 1) >= std::atoi(second.c_str());
  } else if (second == "lss") {
    Text right;
    if (!Cut(Text(rest), " ", &right, &rest))
      return Unknown(command);
    holds = std::atol(Substitute(first, variables).c_str()) <
            std::atol(Substitute(right, variables).c_str());
  } else {
    return Unknown(command);
  }
  if (negated)
    holds = !holds;
  return holds ? RunLine(rest, variables) : Result{true, Text()};
}

// The companion tools in the product folder, called by path without
// extension; each starts only while its file is there under its .exe name.
SimulatedWindows::Result SimulatedWindows::ProductTool(const Text& command) {
  Text name;
  Text arguments;
  if (!Cut(command.substr(product_.size()), " ", &name, &arguments))
    return Unknown(command);
  for (const ProductToolName& tool : kProductTools) {
    if (Lower(name) != tool.called)
      continue;
    if (!host_.Exists(product_ + tool.file))
      return {false, Text()};  // cannot start
    return Double(tool.tool, command, Text());
  }
  return Unknown(command);
}

// ren PATH NEWNAME, wildcards allowed in PATH: each matching file gets the
// new name in its folder, as long as no file of that name is there.
SimulatedWindows::Result SimulatedWindows::Ren(const std::vector<Text>& words) {
  bool renamed = false;
  for (const Text& from : Matching(words[0], true)) {
    const Text to = FolderOf(from) + "\\" + words[1];
    if (host_.Exists(to))
      return {false, Text()};
    Move(from, to);
    renamed = true;
  }
  return {renamed, Text()};
}

// del /q PATH, wildcards allowed: read-only, hidden and system files stay.
SimulatedWindows::Result SimulatedWindows::Del(const std::vector<Text>& words) {
  bool deleted = false;
  for (const Text& path : Matching(words[1], true)) {
    if (host_.Attributes(path) & kAttrHiddenSystemReadOnly)
      continue;
    host_.RemovePath(path);
    Changed(path);
    deleted = true;
  }
  return {deleted, Text()};
}

// copy /y SOURCE TARGET: a target that ends in "\" or is a folder receives
// the file under its own name; a read-only or hidden target is not replaced.
// The copy is a normal file.
SimulatedWindows::Result SimulatedWindows::Copy(const std::vector<Text>& words) {
  const Text source = host_.Absolute(words[1]);
  Text target = host_.Absolute(words[2]);
  if (words[2].back() == '\\' || host_.IsFolder(target)) {
    target = target + "\\" + FileName(source);
  }
  if (!host_.Exists(source) || host_.IsFolder(source) || SameNoCase(source, target) ||
      (host_.Attributes(target) & 3) || !CanWrite(target)) {
    return {false, Text()};
  }
  Put(target, host_.Content(source), 0);
  return {true, Text()};
}

// xcopy SOURCE TARGET with switches: /h takes hidden and system files too, /k
// keeps the attributes (else read-only is dropped), /r replaces read-only
// files. A target that ends in "\", is a folder or is answered "d" on the
// input is a folder; otherwise a file.
SimulatedWindows::Result SimulatedWindows::Xcopy(const std::vector<Text>& words, const Text& input,
                                                 const Text& command) {
  std::vector<Text> paths;
  Text switches;
  for (const Text& word : words) {
    if (word[0] == '/') {
      switches += Lower(word);
    } else {
      paths.push_back(word);
    }
  }
  if (paths.size() != 2)
    return Unknown(command);
  const Text target = host_.Absolute(Resolve(paths[1]));
  const bool intoFolder =
      paths[1].back() == '\\' || host_.IsFolder(target) || StartsWithNoCase(input, "d");
  bool copied = false;
  for (const Text& source : Matching(paths[0], true)) {
    const int attributes = host_.Attributes(source);
    if ((attributes & 6) && switches.find("/h") == Text::npos)
      continue;
    const Text to = intoFolder ? target + "\\" + FileName(source) : target;
    if (SameNoCase(to, source))
      return {false, Text()};  // cannot copy a file onto itself
    if (!host_.IsFolder(FolderOf(to)) || host_.IsFolder(to) ||
        ((host_.Attributes(to) & 1) && switches.find("/r") == Text::npos)) {
      return {false, Text()};
    }
    const bool keep = switches.find("/k") != Text::npos;
    Put(to, host_.Content(source), keep ? attributes : attributes & ~1);
    copied = true;
  }
  return {copied, Text()};
}

// dir DRIVE\ /ad /x: one line for each folder in the root; every name is
// taken to be its own short name, so the short-name column stays empty.
SimulatedWindows::Result SimulatedWindows::Dir(const std::vector<Text>& words) {
  const Text root = host_.Absolute(words[0]);
  if (!host_.IsFolder(root))
    return {false, Text()};
  Text out;
  for (const Text& path : host_.ChildrenOf(root)) {
    if (host_.IsFolder(path)) {
      out += "2013-01-23  10:00    <DIR>                       " + FileName(path) + "\r\n";
    }
  }
  return {true, out};
}

// subst DRIVE FOLDER maps the drive to the folder; subst DRIVE /d removes it.
SimulatedWindows::Result SimulatedWindows::Subst(const std::vector<Text>& words) {
  const Text drive = ScriptedHost::Key(words[0]);
  if (words[1] == "/d")
    return {substs_.erase(drive) == 1, Text()};
  if (substs_.count(drive) != 0 || !host_.IsFolder(words[1]))
    return {false, Text()};
  substs_[drive] = host_.Absolute(words[1]);
  return {true, Text()};
}

Text AddBootSector(bench::BcdStore& store, const Text& description, const Text& path, bool locked) {
  bench::BcdEntry entry{bench::CreatedId(store.next++), "bootsector", {}, locked};
  if (!path.empty()) {
    entry.Set("device", "partition=C:");
    entry.Set("path", path);
  }
  if (!description.empty())
    entry.Set("description", description);
  store.entries.push_back(entry);
  return entry.id;
}

std::vector<Text> DisplayOrder(const bench::BcdStore& store) {
  bench::BcdStore copy = store;
  const bench::BcdEntry* manager = copy.Find("{bootmgr}");
  const std::string* order = manager == nullptr ? nullptr : manager->Find("displayorder");
  std::vector<Text> ids;
  for (const Text& id : Tokens(order == nullptr ? Text() : *order, " "))
    ids.push_back(id);
  return ids;
}

void SetDisplayOrder(bench::BcdStore& store, const std::vector<Text>& order) {
  Text joined;
  for (const Text& id : order)
    joined += (joined.empty() ? "" : " ") + id;
  if (bench::BcdEntry* manager = store.Find("{bootmgr}"))
    manager->Set("displayorder", joined);
}

Text SimulatedWindows::Resolve(const Text& path) const {
  if (path.size() < 2 || path[1] != ':')
    return path;
  const auto it = substs_.find(ScriptedHost::Key(path.substr(0, 2)));
  return it == substs_.end() ? path : it->second + path.substr(2);
}

std::vector<Text> SimulatedWindows::Matching(const Text& path, bool filesOnly) const {
  const Text absolute = host_.Absolute(Resolve(path));
  const Text pattern = FileName(absolute);
  std::vector<Text> found;
  if (pattern.find_first_of("*?") == Text::npos) {
    if (host_.Exists(absolute) && !(filesOnly && host_.IsFolder(absolute))) {
      found.push_back(absolute);
    }
    return found;
  }
  for (const Text& candidate : host_.ChildrenOf(FolderOf(absolute))) {
    if (bench::WildcardMatch(pattern, FileName(candidate)) &&
        !(filesOnly && host_.IsFolder(candidate))) {
      found.push_back(candidate);
    }
  }
  return found;
}

// A file can be created or replaced here: its folder exists and the path is
// neither a folder nor a read-only file.
bool SimulatedWindows::CanWrite(const Text& path) const {
  const Text absolute = host_.Absolute(path);
  return host_.IsFolder(FolderOf(absolute)) && !host_.IsFolder(absolute) &&
         !(host_.Attributes(absolute) & 1);
}

void SimulatedWindows::Write(const Text& path, const Text& text, bool append) {
  Put(path, append ? host_.Content(path) + text : text, host_.Attributes(path));
}

void SimulatedWindows::Move(const Text& from, const Text& to) {
  const Text content = host_.Content(from);
  const int attributes = host_.Attributes(from);
  host_.RemovePath(from);
  Changed(from);
  Put(to, content, attributes);
}

void SimulatedWindows::Put(const Text& path, const Text& content, int attributes) {
  host_.PutFile(path, content, attributes);
  Changed(path);
}

void SimulatedWindows::Changed(const Text& path) {
  changed.push_back(host_.Absolute(path));
}

}  // namespace kvx::testing
