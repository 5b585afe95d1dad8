// The run log (kvxcfg.log) read back by the tests: cut into the sections of
// its runs and their entries, as a support person reads it.
#ifndef KVXCFG_TESTS_SUPPORT_RUN_LOG_READER_H
#define KVXCFG_TESTS_SUPPORT_RUN_LOG_READER_H

#include <string>
#include <vector>

namespace kvx::testing {

using LogLines = std::vector<std::string>;

// The lines joined with CR LF between them.
std::string JoinLines(const LogLines& lines);

// One entry: the head after the time column ("   12.345  "), and the lines
// written under it after "| ".
struct LogEntry {
  std::string head;
  LogLines under;
};

// One run's section: the lines of its head (from "======== kvxcfg ..."),
// its closing lines (each "======== ...": the end of the job or the fault
// that ended it, then the copy's outcome; none while it is open), entries.
struct LogSection {
  LogLines head;
  LogLines closing;
  std::vector<LogEntry> entries;
};

// The sections of a log's text (GBK, without the byte-order mark); what
// comes before the first section's head is skipped.
std::vector<LogSection> ReadLogSections(const std::string& text);

// What the section tells of the commands, boxes and pauses, in order, in the
// bench tracer's terms: "run LINE" (as the system got it), "exit CODE", "not
// started ERROR", "box STYLE CAPTION TEXT" (CAPTION "-" for the host's own),
// "answer CODE", "pause MS"; and the batch texts as "write PATH TEXT". An entry that does not read
// as the log writes it ("  exit code 3 after 12 ms") stands as it is, so that a comparison fails on
// it.
LogLines LoggedSteps(const LogSection& section);

// Whether the section holds the step's note "note: NOTE".
bool HoldsNote(const LogSection& section, const std::string& note);

}  // namespace kvx::testing

#endif  // KVXCFG_TESTS_SUPPORT_RUN_LOG_READER_H
