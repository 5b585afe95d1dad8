#include "runlog/run_log.h"

#include <chrono>
#include <cstdio>
#include <string>

namespace kvx {
namespace {

constexpr long long kRollOverSize = 1024 * 1024;
const Text kBar = "========";
// Every entry begins with the seconds since the start, to the millisecond,
// in a column 9 wide; the lines of a text stand under its head after "| ".
const Text kUnder = Text(11, ' ') + "| ";

long long Now() {
  using namespace std::chrono;
  return duration_cast<milliseconds>(steady_clock::now().time_since_epoch()).count();
}

// Milliseconds since a time of Now(); never below 0, should the clock be set back.
long long Since(long long start) {
  const long long now = Now();
  return now > start ? now - start : 0;
}

Text Seconds(long long milliseconds, const char* format = "%lld.%03lld") {
  char text[32];
  std::snprintf(text, sizeof text, format, milliseconds / 1000, milliseconds % 1000);
  return text;
}

// Runs a piece of the log's own work: whatever befalls it (a failing file, a
// text it cannot make) stays with the log.
template <typename Work>
void Quietly(Work work) {
  try {
    work();
  } catch (...) {
  }
}

// An exit code or error code; large ones (system status codes) also in hex.
Text Code(unsigned long code) {
  char hex[24];
  std::snprintf(hex, sizeof hex, " (0x%08lX)", code);
  return std::to_string(code) + (code < 0x10000 ? "" : hex);
}

// The system's error codes a support person meets most, by name.
Text ErrorText(unsigned long error) {
  static const struct {
    unsigned long code;
    const char* name;
  } kNamed[] = {{2, "file not found"}, {3, "path not found"},  {5, "access denied"},
                {32, "in use by another process"}, {80, "already exists"},
                {112, "disk full"},      {123, "bad name"},        {183, "already exists"}};
  for (const auto& named : kNamed) {
    if (named.code == error)
      return Concat({"error ", Code(error), " (", named.name, ")"});
  }
  return Concat({"error ", Code(error)});
}

Text ButtonText(int button) {
  const char* name = button == 1   ? " (OK)"
                     : button == 2 ? " (Cancel)"
                     : button == 6 ? " (Yes)"
                     : button == 7 ? " (No)"
                                   : "";
  return std::to_string(button) + name;
}

// The text with every further line (after CR LF, an empty last one
// included) under the first after "| ", so that it can be told back byte for
// byte; a command line can hold line breaks too.
Text Lines(const Text& text) {
  Text out;
  size_t from = 0;
  for (size_t at; (at = text.find("\r\n", from)) != Text::npos; from = at + 2)
    out += Concat({text.substr(from, at - from), "\r\n", kUnder});
  return out + text.substr(from);
}

}  // namespace

RunLog::RunLog(Host& machine, RunLogFile* file, RunFacts facts)
    : ForwardingHost(machine), file_(file), facts_(std::move(facts)) {}

void RunLog::Open(const Text& version, const Text& argument) {
  open_ = true;
  started_ = Now();
  argument_ = argument;
  Quietly([&] {
    if (file_ != nullptr && file_->Size() > kRollOverSize)
      file_->RollOver();
  });
  Quietly([&] {
    Write(Concat({kBar, " kvxcfg ", version, ", job \"", argument, "\", ", facts_.localTime, " ",
                  kBar, "\r\nWindows ", facts_.windows, "; ANSI code page ", facts_.ansiCodePage,
                  "; WOW64: ", facts_.wow64, "\r\nprogram folder: ", facts_.programFolder,
                  "\r\ntimes in seconds since the start\r\n"}));
  });
}

// The copy is made after the closing line, so that it holds the whole
// section; the line after tells how it went.
void RunLog::Close(int exitCode, const Text& copyDestination) {
  if (!open_)
    return;
  open_ = false;
  Quietly([&] {
    Write(Concat({kBar, " end of job \"", argument_, "\": exit code ", std::to_string(exitCode),
                  " after ", Seconds(Since(started_)), " s ", kBar,
                  copyDestination.empty() ? "\r\n\r\n" : "\r\n"}));
  });
  Quietly([&] {
    if (file_ == nullptr || copyDestination.empty())
      return;
    const unsigned long error = file_->CopyTo(copyDestination);
    Write(Concat({kBar, " the log up to here ",
                  error == 0 ? Text("is copied to ") : Text("could not be copied to "),
                  copyDestination, error == 0 ? Text() : Concat({": ", ErrorText(error)}), " ",
                  kBar, "\r\n\r\n"}));
  });
}

void RunLog::RunCommand(const Text& commandLine) {
  const long long started = Now();
  Entry(Concat({"run ", commandLine}));
  machine_.RunCommand(commandLine);
  Quietly([&] {
    const HostOutcome outcome = machine_.LastOutcome();
    if (!outcome.known)
      return;
    if (!outcome.startedAs.empty())
      Entry(Concat({"  started as ", outcome.startedAs}));
    Entry(outcome.started ? Concat({"  exit code ", Code(outcome.code), " after ",
                                    std::to_string(Since(started)), " ms"})
                          : Concat({"  did not start: ", ErrorText(outcome.code)}));
  });
}

void RunLog::Delay(int milliseconds) {
  machine_.Delay(milliseconds);
  Entry(Concat({"pause ", std::to_string(milliseconds), " ms"}));
}

void RunLog::WriteWholeFile(const Text& path, const Bytes& bytes) {
  machine_.WriteWholeFile(path, bytes);
  const Text text = BytesToText(bytes);
  Entry(Concat({"write ", path, ":"}), &text);
  Failed("write", path);
}

int RunLog::OpenFile(const Text& path, int openMode) {
  lastOpened_ = path;
  return machine_.OpenFile(path, openMode);
}

void RunLog::WriteText(int fileNumber, const Text& text) {
  machine_.WriteText(fileNumber, text);
  Failed("append to", lastOpened_);
}

void RunLog::DeleteFile(const Text& path) {
  machine_.DeleteFile(path);
  Failed("delete", path);
}

void RunLog::CopyFile(const Text& source, const Text& destination) {
  machine_.CopyFile(source, destination);
  Failed("copy", source, destination);
}

void RunLog::RenameFile(const Text& oldPath, const Text& newPath) {
  machine_.RenameFile(oldPath, newPath);
  Failed("rename", oldPath, newPath);
}

void RunLog::CreateFolder(const Text& path) {
  machine_.CreateFolder(path);
  Failed("create folder", path);
}

void RunLog::SetAttributes(const Text& path, int attributes) {
  machine_.SetAttributes(path, attributes);
  Failed(attributes == kAttrNormal ? "make normal" : "make read-only, hidden, system", path);
}

void RunLog::WriteIni(const Text& path, const Text& section, const Text& key, const Text& value) {
  machine_.WriteIni(path, section, key, value);
  Failed("INI write", path, Concat({"[", section, "] ", key, "=", value}));
}

int RunLog::ShowMessage(const Text& message, int style, const std::optional<Text>& caption) {
  char styleText[16];
  std::snprintf(styleText, sizeof styleText, "0x%02X", static_cast<unsigned>(style));
  Entry(Concat({"message box, style ", styleText, ", ",
                caption ? Concat({"caption \"", *caption, "\""}) : Text("no caption of its own"),
                ":"}),
        &message);
  const int button = machine_.ShowMessage(message, style, caption);
  Entry(Concat({"  answer ", ButtonText(button)}));
  return button;
}

void RunLog::CreateShortcut(const Text& linkPathNoExt, const Text& target,
                            const std::optional<Text>& description,
                            const std::optional<Text>& arguments, const Text& workingFolder) {
  machine_.CreateShortcut(linkPathNoExt, target, description, arguments, workingFolder);
  Failed("shortcut", Concat({linkPathNoExt, ".LNK"}), target);
}

void RunLog::Note(const Text& line) {
  Entry(Concat({"note: ", line}));
}

void RunLog::Entry(const Text& head, const Text* text) {
  if (!open_)
    return;
  Quietly([&] {
    Write(Concat({Seconds(Since(started_), "%5lld.%03lld"), "  ", Lines(head), "\r\n",
                  text == nullptr ? Text() : Concat({kUnder, Lines(*text), "\r\n"})}));
  });
}

void RunLog::Failed(const char* operation, const Text& path, const Text& second) {
  Quietly([&] {
    const HostOutcome outcome = machine_.LastOutcome();
    if (outcome.known && outcome.code != 0) {
      Entry(Concat({"failed: ", operation, " ", path,
                    second.empty() ? Text() : Concat({" -> ", second}), ": ",
                    ErrorText(outcome.code)}));
    }
  });
}

void RunLog::Write(const Text& lines) {
  if (file_ != nullptr)
    file_->Append(lines);
}

}  // namespace kvx
