#include "tests/support/run_log_reader.h"

#include <regex>

#include "tests/tools/text.h"

namespace kvx::testing {

namespace {
const std::string kBar = "======== ";
const std::string kUnderHead = std::string(11, ' ') + "| ";

bool IsEntryHead(const std::string& line) {
  return line.size() > 11 && line[5] == '.' && line.compare(9, 2, "  ") == 0;
}

// The text's lines, split at CR LF; the last is what follows the last one.
LogLines SplitAtLineBreaks(const std::string& text) {
  LogLines lines;
  size_t from = 0;
  for (size_t at; (at = text.find("\r\n", from)) != std::string::npos; from = at + 2)
    lines.push_back(text.substr(from, at - from));
  lines.push_back(text.substr(from));
  return lines;
}
}  // namespace

std::string JoinLines(const LogLines& lines) {
  std::string text;
  for (size_t i = 0; i < lines.size(); ++i)
    text += (i == 0 ? "" : "\r\n") + lines[i];
  return text;
}

std::vector<LogSection> ReadLogSections(const std::string& text) {
  std::vector<LogSection> sections;
  for (const std::string& line : SplitAtLineBreaks(text)) {
    if (bench::StartsWith(line, kBar + "kvxcfg ")) {
      sections.push_back({{line}, {}, {}});
    } else if (sections.empty() || line.empty()) {
      continue;
    } else if (bench::StartsWith(line, kBar)) {
      sections.back().closing.push_back(line);
    } else if (bench::StartsWith(line, kUnderHead) && !sections.back().entries.empty()) {
      sections.back().entries.back().under.push_back(line.substr(kUnderHead.size()));
    } else if (IsEntryHead(line)) {
      sections.back().entries.push_back({line.substr(11), {}});
    } else {
      sections.back().head.push_back(line);
    }
  }
  return sections;
}

LogLines LoggedSteps(const LogSection& section) {
  static const std::regex kEnded[] = {
      std::regex("  exit code (\\d+)( \\(0x[0-9A-F]{8}\\))? after \\d+ ms"),
      std::regex("  did not start: error (\\d+)( \\(0x[0-9A-F]{8}\\))?( \\([a-z ]+\\))?"),
      std::regex("  answer (\\d+)( \\((OK|Cancel|Yes|No)\\))?"), std::regex("pause (\\d+) ms")};
  static const char* const kTerms[] = {"exit ", "not started ", "answer ", "pause "};
  LogLines steps;
  for (const LogEntry& entry : section.entries) {
    const std::string& head = entry.head;
    std::smatch match;
    if (bench::StartsWith(head, "run ")) {
      steps.push_back(head + (entry.under.empty() ? "" : "\r\n") + JoinLines(entry.under));
    } else if (bench::StartsWith(head, "write ")) {
      steps.push_back(head.substr(0, head.size() - 1) + " " + JoinLines(entry.under));
    } else if (bench::StartsWith(head, "  started as ") && !steps.empty()) {
      steps.back() = "run " + head.substr(13);
    } else if (bench::StartsWith(head, "message box, style ")) {
      const size_t quote = head.find("caption \"");
      const std::string caption =
          quote == std::string::npos ? "-" : head.substr(quote + 9, head.rfind('"') - quote - 9);
      steps.push_back("box " + head.substr(19, 4) + " " + caption + " " + JoinLines(entry.under));
    } else if (bench::StartsWith(head, "  ") || bench::StartsWith(head, "pause ")) {
      size_t kind = 0;
      while (kind < 4 && !std::regex_match(head, match, kEnded[kind]))
        ++kind;
      steps.push_back(kind < 4 ? kTerms[kind] + match[1].str() : head);
    }
  }
  return steps;
}

bool HoldsNote(const LogSection& section, const std::string& note) {
  for (const LogEntry& entry : section.entries) {
    if (entry.head == "note: " + note)
      return true;
  }
  return false;
}

}  // namespace kvx::testing
