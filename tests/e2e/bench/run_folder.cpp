#include "tests/e2e/bench/run_folder.h"

#include <dirent.h>
#include <sys/stat.h>

#include <cstdlib>
#include <fstream>
#include <sstream>

#include "tests/e2e/bench/trace_record.h"
#include "tests/support/code_pages.h"
#include "tests/tools/ini.h"
#include "tests/tools/text.h"

namespace kvx::bench {

using testing::Convert;

namespace {

bool ReadHostFile(const std::string& path, std::string* bytes) {
  std::ifstream file(path, std::ios::binary);
  if (!file)
    return false;
  std::ostringstream content;
  content << file.rdbuf();
  *bytes = content.str();
  return true;
}

bool IsDirectory(const std::string& path) {
  struct stat info;
  return stat(path.c_str(), &info) == 0 && S_ISDIR(info.st_mode);
}

std::vector<std::string> HostNames(const std::string& folder) {
  std::vector<std::string> names;
  if (DIR* dir = opendir(folder.c_str())) {
    while (dirent* entry = readdir(dir)) {
      const std::string name = entry->d_name;
      if (name != "." && name != "..")
        names.push_back(name);
    }
    closedir(dir);
  }
  return names;
}

std::vector<std::string> Split(const std::string& text, char separator) {
  std::vector<std::string> parts;
  size_t start = 0;
  for (;;) {
    size_t end = text.find(separator, start);
    parts.push_back(text.substr(start, end == std::string::npos ? end : end - start));
    if (end == std::string::npos)
      return parts;
    start = end + 1;
  }
}

}  // namespace

const std::string& Event::Field(size_t i) const {
  static const std::string kNone;
  return i < fields.size() ? fields[i] : kNone;
}

std::string UnescapeLog(const std::string& text) {
  std::string out;
  for (size_t i = 0; i < text.size(); ++i) {
    if (text[i] == '%' && i + 2 < text.size()) {
      out += static_cast<char>(std::strtol(text.substr(i + 1, 2).c_str(), nullptr, 16));
      i += 2;
    } else {
      out += text[i];
    }
  }
  return out;
}

std::vector<Event> ParseCallLog(const std::string& text) {
  std::vector<Event> events;
  for (const std::string& line : SplitLines(text)) {
    if (line.empty())
      continue;
    std::vector<std::string> parts = Split(line, '\t');
    Event event;
    event.kind = UnescapeLog(parts[0]);
    size_t first = 1;
    if (!event.IsDouble() && parts.size() > 1) {
      event.time = std::atol(parts[1].c_str());
      first = 2;
    }
    for (size_t i = first; i < parts.size(); ++i)
      event.fields.push_back(UnescapeLog(parts[i]));
    events.push_back(event);
  }
  return events;
}

std::vector<ProgramRun> SplitRuns(const std::vector<Event>& events) {
  std::vector<ProgramRun> runs;
  for (const Event& event : events) {
    if (event.kind == kRecordStart) {
      ProgramRun run;
      run.commandLine = event.Field(0);
      run.argument = run.commandLine.substr(run.commandLine.find_last_of(' ') + 1);
      run.started = run.ended = event.time;
      runs.push_back(run);
    } else if (!runs.empty() && runs.back().exitCode.empty()) {
      ProgramRun& run = runs.back();
      if (event.kind == kRecordExit) {
        run.exitCode = event.Field(0);
        run.processes = event.Field(1);
        run.ended = event.time;
      } else {
        run.events.push_back(event);
      }
    }
  }
  return runs;
}

std::vector<Box> Boxes(const ProgramRun& run) {
  std::vector<Box> boxes;
  for (const Event& event : run.events) {
    if (event.kind == kRecordBox) {
      boxes.push_back(Box{event.Field(0), event.Field(1), event.Field(2), "", "", "", "", ""});
    } else if (boxes.empty()) {
      continue;
    } else if (event.kind == kRecordShown) {
      boxes.back().shownCaption = event.Field(0);
      boxes.back().shownText = event.Field(1);
      boxes.back().buttons = event.Field(2);
    } else if (event.kind == kRecordPress) {
      boxes.back().pressed = event.Field(0);
    } else if (event.kind == kRecordAnswer) {
      boxes.back().returned = event.Field(0);
    }
  }
  return boxes;
}

bool RunFolder::Load(const std::string& folder, std::string* error) {
  folder_ = folder;
  std::string log;
  if (!ReadHostFile(folder + "/calls.log", &log) || log.empty()) {
    *error = "no call log in " + folder + " (did tests/e2e/run-machine.sh run?)";
    return false;
  }
  events_ = ParseCallLog(log);
  runs_ = SplitRuns(events_);
  ReadHostFile(folder + "/state.txt", &state_);
  ReadHostFile(folder + "/temp.txt", &temp_);
  return true;
}

const ProgramRun* RunFolder::Run(const std::string& argument) const {
  for (const ProgramRun& run : runs_) {
    if (run.argument == argument)
      return &run;
  }
  return nullptr;
}

std::string RunFolder::HostPath(const std::string& windowsPath) const {
  if (windowsPath.size() < 2 || windowsPath[1] != ':')
    return std::string();
  const char drive = FoldCase(windowsPath.substr(0, 1))[0];
  std::string host = drive == 'c' ? folder_ + "/prefix/drive_c" : folder_ + "/drives/" + drive;
  if (!IsDirectory(host))
    return std::string();
  for (const std::string& part : Split(Utf8(windowsPath.substr(2)), '\\')) {
    if (part.empty())
      continue;
    std::string found;
    for (const std::string& name : HostNames(host)) {
      if (name == part || (found.empty() && EqualsIgnoreCase(name, part)))
        found = name;
    }
    if (found.empty())
      return std::string();
    host += "/" + found;
  }
  return host;
}

bool RunFolder::Exists(const std::string& windowsPath) const {
  return !HostPath(windowsPath).empty();
}

bool RunFolder::Read(const std::string& windowsPath, std::string* bytes) const {
  const std::string host = HostPath(windowsPath);
  return !host.empty() && !IsDirectory(host) && ReadHostFile(host, bytes);
}

std::string RunFolder::Text(const std::string& windowsPath) const {
  std::string bytes;
  return Read(windowsPath, &bytes) ? bytes : std::string();
}

std::vector<std::string> RunFolder::List(const std::string& windowsFolder) const {
  std::vector<std::string> names;
  const std::string host = HostPath(windowsFolder);
  if (!host.empty() && IsDirectory(host)) {
    for (const std::string& name : HostNames(host))
      names.push_back(Convert(name, "GBK", "UTF-8"));
  }
  return names;
}

std::string RunFolder::Attributes(const std::string& windowsPath) const {
  // The attrib double's listing: A in column 1, S, H, R in columns 4 to 6,
  // the path from column 14.
  for (const std::string& line : SplitLines(state_)) {
    if (line.size() > 13 && EqualsIgnoreCase(line.substr(13), windowsPath)) {
      std::string letters;
      if (line[5] == 'R')
        letters += 'R';
      if (line[4] == 'H')
        letters += 'H';
      if (line[3] == 'S')
        letters += 'S';
      return letters;
    }
  }
  return "?";
}

std::string RunFolder::Registry() const {
  const size_t at = state_.find("[registry]");
  return at == std::string::npos ? std::string() : state_.substr(at + 10);
}

std::string RunFolder::Verdict() const {
  for (const std::string& name : List("C:\\KVX Setup")) {
    if (name.compare(0, 7, "win_lan") == 0)
      return name;
  }
  return "(no marker)";
}

std::string IniValue(const std::string& text, const std::string& section, const std::string& key) {
  return GetIniValue(text, section, key).value_or(std::string());
}

std::string Utf8(const std::string& gbk) {
  return Convert(gbk, "UTF-8", "GBK");
}

std::string Gbk(const std::string& utf8) {
  return Convert(utf8, "GBK", "UTF-8");
}

}  // namespace kvx::bench
