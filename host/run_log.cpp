#include "host/run_log.h"

#include <cstdio>
#include <string>

namespace kvx {

const char kRunLogName[] = "kvxcfg.log";
const char kOldRunLogName[] = "kvxcfg.old.log";

namespace {

// Every entry begins with the seconds since the start, to the millisecond,
// in a column of this width; the lines of a text stand under its head.
constexpr size_t kTimeWidth = 9;
const Text kTextIndent(kTimeWidth + 2, ' ');
const Text kBar = "========";

Text Number(unsigned long value) {
  return std::to_string(value);
}

Text Seconds(unsigned long milliseconds) {
  char text[32];
  std::snprintf(text, sizeof text, "%lu.%03lu", milliseconds / 1000, milliseconds % 1000);
  return text;
}

// The time column of an entry.
Text Stamp(unsigned long milliseconds) {
  const Text seconds = Seconds(milliseconds);
  return Concat(
      {Text(seconds.size() < kTimeWidth ? kTimeWidth - seconds.size() : 0, ' '), seconds});
}

// Runs one piece of the log's own work. Guards against the log changing the
// run: whatever befalls it (a failing sink, a text it cannot make) stays
// with the log.
template <typename Work>
void Guarded(Work work) {
  try {
    work();
  } catch (...) {
  }
}

// An exit code or error code; large ones (system status codes) also in hex.
Text Code(unsigned long code) {
  if (code < 0x10000)
    return Number(code);
  char hex[24];
  std::snprintf(hex, sizeof hex, "0x%08lX", code);
  return Concat({Number(code), " (", hex, ")"});
}

// The system's error codes a support person meets most, by name.
struct NamedError {
  unsigned long code;
  const char* name;
};
const NamedError kNamedErrors[] = {
    {2, "file not found"},  {3, "path not found"},
    {5, "access denied"},   {32, "in use by another process"},
    {80, "already exists"}, {112, "disk full"},
    {123, "bad name"},      {183, "already exists"},
};

Text ErrorText(unsigned long error) {
  for (const NamedError& named : kNamedErrors) {
    if (named.code == error)
      return Concat({"error ", Code(error), " (", named.name, ")"});
  }
  return Concat({"error ", Code(error)});
}

Text ButtonText(int button) {
  switch (button) {
    case 1:
      return "1 (OK)";
    case 2:
      return "2 (Cancel)";
    case 6:
      return "6 (Yes)";
    case 7:
      return "7 (No)";
    default:
      return std::to_string(button);
  }
}

// A head may hold line breaks (a command line into which an identifier and
// its line break were spliced): each further line stands under it after "| ".
Text HeadLines(const Text& head) {
  Text out;
  size_t from = 0;
  for (size_t at; (at = head.find("\r\n", from)) != Text::npos; from = at + 2)
    out += Concat({head.substr(from, at - from), "\r\n", kTextIndent, "| "});
  return out + head.substr(from);
}

// Every line of the text (split at CR LF, an empty last line included) after
// "| ", so that the text can be told back byte for byte.
Text BlockLines(const Text& text) {
  return Concat({kTextIndent, "| ", HeadLines(text), "\r\n"});
}

}  // namespace

RunLog::RunLog(RunLogSink& sink, RunFacts facts, const HostOutcomes* outcomes)
    : sink_(&sink), facts_(std::move(facts)), outcomes_(outcomes) {}

void RunLog::Open(const Text& version, const Text& argument) {
  Guarded([&] {
    if (sink_ != nullptr && sink_->FileSize(kRunLogName) > kRunLogRollOverSize)
      sink_->Rename(kRunLogName, kOldRunLogName);
  });
  open_ = true;
  started_ = Now();
  Guarded([&] {
    argument_ = argument;
    Write(Concat({kBar, " kvxcfg ", version, ", job \"", argument, "\", ", facts_.localTime, " ",
                  kBar, "\r\nWindows ", facts_.windows, "; ANSI code page ", facts_.ansiCodePage,
                  "; WOW64: ", facts_.wow64, "\r\nprogram folder: ", facts_.programFolder,
                  "\r\ntimes in seconds since the start\r\n"}));
  });
}

void RunLog::Close(int exitCode, const Text& copyDestination) {
  if (!open_)
    return;
  Guarded([&] {
    Text line = Concat({kBar, " end of job \"", argument_, "\": exit code ",
                        std::to_string(exitCode), " after ", Seconds(Now() - started_), " s"});
    if (!copyDestination.empty())
      line += Concat({"; a copy of the log goes to ", copyDestination});
    Write(Concat({line, " ", kBar, "\r\n\r\n"}));
  });
  open_ = false;
  Guarded([&] {
    if (sink_ != nullptr && !copyDestination.empty())
      sink_->CopyTo(kRunLogName, copyDestination);
  });
}

void RunLog::CommandStarting(const Text& commandLine) {
  commandStarted_ = Now();
  Entry(Concat({"run ", commandLine}));
}

void RunLog::CommandEnded() {
  if (outcomes_ == nullptr)
    return;
  Guarded([&] {
    const CommandOutcome outcome = outcomes_->LastCommand();
    if (!outcome.startedAs.empty())
      Entry(Concat({"  started as ", outcome.startedAs}));
    if (!outcome.started) {
      Entry(Concat({"  did not start: ", ErrorText(outcome.error)}));
    } else {
      Entry(Concat({"  exit code ", Code(outcome.exitCode), " after ",
                    Number(Now() - commandStarted_), " ms"}));
    }
  });
}

void RunLog::BatchWritten(const Text& path, const Text& text) {
  Entry(Concat({"write ", path, ":"}), &text);
  FileOperationDone("write", path);
}

void RunLog::MessageShowing(const Text& message, int style, const std::optional<Text>& caption) {
  char styleText[16];
  std::snprintf(styleText, sizeof styleText, "0x%02X", static_cast<unsigned>(style));
  Entry(Concat({"message box, style ", styleText, ", ",
                caption ? Concat({"caption \"", *caption, "\""}) : Text("no caption of its own"),
                ":"}),
        &message);
}

void RunLog::MessageAnswered(int button) {
  Entry(Concat({"  answer ", ButtonText(button)}));
}

void RunLog::Pause(int milliseconds) {
  Entry(Concat({"pause ", std::to_string(milliseconds), " ms"}));
}

void RunLog::FileOperationDone(const char* operation, const Text& path, const Text& second) {
  if (outcomes_ == nullptr)
    return;
  Guarded([&] {
    const unsigned long error = outcomes_->LastFileError();
    if (error != 0) {
      Entry(Concat({"failed: ", operation, " ", path,
                    second.empty() ? Text() : Concat({" -> ", second}), ": ", ErrorText(error)}));
    }
  });
}

void RunLog::Note(const Text& line) {
  Entry(Concat({"note: ", line}));
}

void RunLog::Entry(const Text& head, const Text* block) {
  if (!open_)
    return;
  Guarded([&] {
    Write(Concat({Stamp(Now() - started_), "  ", HeadLines(head), "\r\n",
                  block == nullptr ? Text() : BlockLines(*block)}));
  });
}

void RunLog::Write(const Text& lines) {
  Guarded([&] {
    if (sink_ != nullptr)
      sink_->Append(kRunLogName, lines);
  });
}

unsigned long RunLog::Now() {
  unsigned long now = 0;
  Guarded([&] { now = sink_ == nullptr ? 0 : sink_->Milliseconds(); });
  return now;
}

}  // namespace kvx
