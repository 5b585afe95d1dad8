#include "runlog/run_log.h"

#include <chrono>
#include <cstdio>
#include <string>

namespace kvx {
namespace {

const Text kBar = "========";
// Each entry's seconds stand in a column 9 wide; a text's lines under it.
const Text kUnder = Text(11, ' ') + "| ";

long long Now() {
  using namespace std::chrono;
  return duration_cast<milliseconds>(steady_clock::now().time_since_epoch()).count();
}

Text Seconds(long long milliseconds, const char* format = "%lld.%03lld") {
  char text[32];
  std::snprintf(text, sizeof text, format, milliseconds / 1000, milliseconds % 1000);
  return text;
}

// Whatever befalls the log's file (one that is gone, full or throws) stays
// with the log.
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

// With the names of the error codes a support person meets most.
Text ErrorText(unsigned long error) {
  static const struct {
    unsigned long code;
    const char* name;
  } kNamed[] = {{2, "file not found"},  {3, "path not found"},
                {5, "access denied"},   {32, "in use by another process"},
                {80, "already exists"}, {112, "disk full"},
                {123, "bad name"},      {183, "already exists"}};
  for (const auto& named : kNamed) {
    if (named.code == error)
      return Concat({"error ", Code(error), " (", named.name, ")"});
  }
  return Concat({"error ", Code(error)});
}

// Every line after the first (a CR LF starts one, an empty last line too)
// under it after "| ", so that a text can be told back byte for byte.
Text Lines(Text text) {
  for (size_t at = 0; (at = text.find("\r\n", at)) != Text::npos; at += 2 + kUnder.size())
    text.insert(at + 2, kUnder);
  return text;
}

}  // namespace

void RunLog::Open(const Text& version, const Text& argument) {
  started_ = Now();
  argument_ = argument;
  Write(Concat({kBar, " kvxcfg ", version, ", job \"", argument, "\", ", facts_.localTime, " ",
                kBar, "\r\nWindows ", facts_.windows, "; ANSI code page ", facts_.ansiCodePage,
                "; WOW64: ", facts_.wow64, "\r\nprogram folder: ", facts_.programFolder,
                "\r\ntimes in seconds since the start\r\n"}));
}

// The copy follows the closing line, so that it holds the whole section.
void RunLog::Close(int exitCode, const Text& copyDestination) {
  if (argument_.empty())
    return;
  const bool copy = file_ != nullptr && !copyDestination.empty();
  Write(Concat({kBar, " end of job \"", argument_, "\": exit code ", std::to_string(exitCode),
                " after ", Seconds(Now() - started_), " s ", kBar, copy ? "\r\n" : "\r\n\r\n"}));
  if (copy) {
    Quietly([&] {
      const unsigned long error = file_->CopyTo(copyDestination);
      Write(Concat({kBar, " the log up to here ", error == 0 ? "is" : "could not be", " copied to ",
                    copyDestination, error == 0 ? Text() : Concat({": ", ErrorText(error)}), " ",
                    kBar, "\r\n\r\n"}));
    });
  }
}

void RunLog::RunCommand(const Text& commandLine) {
  const long long started = Now();
  Entry(Concat({"run ", commandLine}));
  machine_.RunCommand(commandLine);
  const HostOutcome outcome = machine_.LastOutcome();
  if (!outcome.known)
    return;
  if (!outcome.startedAs.empty())
    Entry(Concat({"  started as ", outcome.startedAs}));
  Entry(outcome.started ? Concat({"  exit code ", Code(outcome.code), " after ",
                                  std::to_string(Now() - started), " ms"})
                        : Concat({"  did not start: ", ErrorText(outcome.code)}));
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

int RunLog::ShowMessage(const Text& message, int style, const std::optional<Text>& caption) {
  char styleText[16];
  std::snprintf(styleText, sizeof styleText, "0x%02X", static_cast<unsigned>(style));
  Entry(Concat({"message box, style ", styleText, ", ",
                caption ? Concat({"caption \"", *caption, "\""}) : Text("no caption of its own"),
                ":"}),
        &message);
  const int button = machine_.ShowMessage(message, style, caption);
  static const char* const kNames[] = {"", " (OK)", " (Cancel)", "", "", "", " (Yes)", " (No)"};
  Entry(Concat(
      {"  answer ", std::to_string(button), button >= 0 && button < 8 ? kNames[button] : ""}));
  return button;
}

int RunLog::OpenFile(const Text& path, int openMode) {
  lastOpened_ = path;
  return machine_.OpenFile(path, openMode);
}

void RunLog::WriteText(int file, const Text& text) {
  machine_.WriteText(file, text);
  Failed("append to", lastOpened_);
}

void RunLog::DeleteFile(const Text& path) {
  machine_.DeleteFile(path);
  Failed("delete", path);
}

void RunLog::CopyFile(const Text& from, const Text& to) {
  machine_.CopyFile(from, to);
  Failed("copy", from, to);
}

void RunLog::RenameFile(const Text& from, const Text& to) {
  machine_.RenameFile(from, to);
  Failed("rename", from, to);
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

void RunLog::CreateShortcut(const Text& link, const Text& target,
                            const std::optional<Text>& description,
                            const std::optional<Text>& arguments, const Text& folder) {
  machine_.CreateShortcut(link, target, description, arguments, folder);
  Failed("shortcut", Concat({link, ".LNK"}), target);
}

void RunLog::Entry(const Text& head, const Text* text) {
  Write(Concat({Seconds(Now() - started_, "%5lld.%03lld"), "  ", Lines(head), "\r\n",
                text == nullptr ? Text() : Concat({kUnder, Lines(*text), "\r\n"})}));
}

void RunLog::Failed(const char* operation, const Text& path, const Text& second) {
  const HostOutcome outcome = machine_.LastOutcome();
  if (outcome.known && outcome.code != 0) {
    Entry(Concat({"failed: ", operation, " ", path,
                  second.empty() ? Text() : Concat({" -> ", second}), ": ",
                  ErrorText(outcome.code)}));
  }
}

void RunLog::Write(const Text& lines) {
  Quietly([&] {
    if (file_ != nullptr)
      file_->Append(lines);
  });
}

}  // namespace kvx
