// kvx_bench_report: the readable report of one run of
// tests/e2e/run-machine.sh, in UTF-8.
//
//   kvx_bench_report RUN_FOLDER [TITLE]
//
// Prints the verdict of "1"; every command line and batch text the
// configurator ran, in order, with the tools' calls under them, its message
// boxes, pauses and own file operations; the boot entry it left; its
// settings files; the target folder; where the configurator's own run log is
// and its last lines; and the figures of each run.
//
// For a run through the setup package (run-machine.sh --package) the
// configurator is not traced: the report gives the installer's exit code and
// what it means, the message boxes that opened, the configurator's whole run
// log in place of the transcript, and what the machine holds afterwards.
#include <algorithm>
#include <cstdio>
#include <iostream>
#include <string>

#include "tests/e2e/bench/run_folder.h"
#include "tests/e2e/bench/trace_record.h"
#include "tests/tools/bcd_store.h"
#include "tests/tools/text.h"

namespace kvx::bench {
namespace {

const char* const kProduct = "c:\\vesk\\korv\\";

std::string Visible(const std::string& gbk) {
  std::string text = Utf8(gbk);
  std::string out;
  for (size_t i = 0; i < text.size(); ++i) {
    if (text[i] == '\r' && i + 1 < text.size() && text[i + 1] == '\n') {
      out += "<CR><LF>";
      ++i;
    } else if (text[i] == '\n') {
      out += "<LF>";
    } else if (text[i] == '\r') {
      out += "<CR>";
    } else {
      out += text[i];
    }
  }
  return out;
}

// A text shown line by line under a bar; line breaks kept as the lines.
void Block(const std::string& gbk, const std::string& indent) {
  std::vector<std::string> lines = SplitLines(Utf8(gbk));
  if (!gbk.empty() && gbk.back() != '\n')
    lines.back() += "   (no line break at the end)";
  for (const std::string& line : lines)
    std::cout << indent << "| " << line << "\n";
}

std::string Seconds(long milliseconds) {
  char text[32];
  std::snprintf(text, sizeof text, "%.1f s", milliseconds / 1000.0);
  return text;
}

std::string ButtonName(const std::string& code) {
  static const char* const kNames[] = {"", "OK", "Cancel", "Abort", "Retry", "Ignore", "Yes", "No"};
  const int number = std::atoi(code.c_str());
  return number >= 1 && number <= 7 ? code + " (" + kNames[number] + ")" : code;
}

void Transcript(const ProgramRun& run) {
  int number = 0;
  std::string passed;  // the text of the last message box, as passed
  for (const Event& event : run.events) {
    if (event.kind == kRecordRun) {
      std::cout << "  " << ++number << ". " << Visible(event.Field(0)) << "\n";
    } else if (event.kind == kRecordBatch) {
      std::cout << "       batch file as run:\n";
      Block(event.Field(1), "       ");
    } else if (event.kind == kRecordNotStarted) {
      std::cout << "       (did not start: error " << event.Field(0) << ")\n";
    } else if (event.IsDouble()) {
      std::cout << "       > " << event.kind << ": " << Visible(event.Field(1)) << "\n";
    } else if (event.kind == kRecordBox) {
      std::cout << "  message box, style " << event.Field(0) << ", caption "
                << (event.Field(1) == "-" ? "(none)" : "\"" + Utf8(event.Field(1)) + "\"") << ":\n";
      Block(event.Field(2), "     ");
      passed = event.Field(2);
    } else if (event.kind == kRecordShown) {
      std::cout << "     the box showed caption \"" << Utf8(event.Field(0)) << "\", buttons "
                << Utf8(event.Field(2)) << ", "
                << (event.Field(1) == passed ? "the text as passed" : "this text:") << "\n";
      if (event.Field(1) != passed)
        Block(event.Field(1), "     ");
    } else if (event.kind == kRecordPress) {
      std::cout << "     pressed " << ButtonName(event.Field(0)) << "\n";
    } else if (event.kind == kRecordAnswer) {
      std::cout << "     the box returned " << ButtonName(event.Field(0)) << "\n";
    } else if (event.kind == kRecordPause) {
      std::cout << "  pause " << event.Field(0) << " ms\n";
    } else if (event.kind == kRecordHost) {
      std::cout << "  host: " << Visible(event.Field(0));
      for (size_t i = 1; i < event.fields.size(); ++i)
        std::cout << (i == 1 ? " " : " | ") << Visible(event.Field(i));
      std::cout << "\n";
    }
  }
}

void Figures(const ProgramRun& run) {
  int commands = 0, tools = 0;
  long paused = 0;
  std::string pauses;
  for (const Event& event : run.events) {
    commands += event.kind == kRecordRun;
    tools += event.IsDouble();
    if (event.kind == kRecordPause) {
      paused += std::atol(event.Field(0).c_str());
      pauses += (pauses.empty() ? "" : " + ") + event.Field(0);
    }
  }
  std::cout << "  run \"" << run.argument << "\": " << run.processes
            << " processes started in its job (the configurator, its " << commands
            << " command lines and what they started; " << tools << " tool calls)\n"
            << "    wall time " << Seconds(run.ended - run.started) << ", of it " << Seconds(paused)
            << " in the mandated pauses" << (pauses.empty() ? "" : " (" + pauses + " ms)")
            << "; exit code " << run.exitCode << "\n";
}

// The boot configuration as it was before the product, when a run kept it.
void SavedBootConfiguration(const RunFolder& folder) {
  for (const char* name : {"boot.ini.before", "BCD.before"}) {
    std::string bytes;
    if (folder.Read(std::string(kProduct) + name, &bytes))
      std::cout << "  kept as it was before the product: " << kProduct << name << " ("
                << bytes.size() << " bytes)\n";
  }
}

void BootEntry(const RunFolder& folder) {
  if (folder.Exists(std::string(kProduct) + "nt")) {
    const std::string pass = folder.Text(std::string(kProduct) + "krv_pass.ini");
    std::string active = IniValue(pass, "apt_i", "apt_2");
    if (active.size() != 2)
      active = "C:";
    const std::string bootIni = active + "\\boot.ini";
    std::cout << "Boot entry: " << bootIni << " (attributes " << folder.Attributes(bootIni)
              << ")\n";
    Block(folder.Text(bootIni), "  ");
    SavedBootConfiguration(folder);
    return;
  }
  BcdStore store;
  std::string error;
  if (!ParseBcdStore(folder.Text("C:\\kvxbench\\fixture\\bcd_store.txt"), &store, &error)) {
    std::cout << "Boot entry: the store cannot be read (" << error << ")\n";
    return;
  }
  std::cout << "Boot entry: the store's entries of the product\n";
  bool any = false;
  for (const BcdEntry& entry : store.entries) {
    const std::string* path = entry.Find("path");
    const std::string* description = entry.Find("description");
    const bool product =
        (path != nullptr && FindText(*path, "kvldr.mbr", true) != std::string::npos) ||
        (description != nullptr &&
         (FindText(*description, "KORVAX", false) != std::string::npos ||
          FindText(*description, "珂瓦克斯", false) != std::string::npos));
    if (product) {
      any = true;
      Block(FormatEntry(entry), "  ");
    }
  }
  if (!any)
    std::cout << "  (none)\n";
  if (BcdEntry* manager = store.Find("{bootmgr}")) {
    if (const std::string* order = manager->Find("displayorder"))
      std::cout << "  boot menu order: " << *order << "\n";
    if (const std::string* timeout = manager->Find("timeout"))
      std::cout << "  boot menu timeout: " << *timeout << "\n";
  }
  SavedBootConfiguration(folder);
}

void SettingsFiles(const RunFolder& folder) {
  std::cout << "Settings files it wrote:\n";
  for (const char* name : {"krv_pass.ini", "krv_drv.ini", "krv_id.ini", "KVX_rd0", "KVX_rd1"}) {
    const std::string path = std::string(kProduct) + name;
    std::string bytes;
    if (folder.Read(path, &bytes)) {
      std::cout << "  " << path << "\n";
      Block(bytes, "  ");
    } else {
      std::cout << "  " << path << " (missing)\n";
    }
  }
}

void TargetFolder(const RunFolder& folder) {
  const std::string drive =
      IniValue(folder.Text(std::string(kProduct) + "krv_drv.ini"), "part", "pt_2");
  const std::string target = drive + "\\~1";
  std::cout << "Target folder: " << target;
  if (!folder.Exists(target)) {
    std::cout << " (missing)\n";
    return;
  }
  std::cout << ", attributes " << folder.Attributes(target) << ", holds:";
  std::vector<std::string> names = folder.List(target);
  std::sort(names.begin(), names.end());
  for (const std::string& name : names)
    std::cout << " " << Utf8(name);
  std::cout << "\n  access rights granted (the access tool's record):\n";
  Block(folder.Text("C:\\kvxbench\\fixture\\xc_grants.txt"), "  ");
}

// The configurator's own record of its runs (UTF-8 with a byte-order mark):
// where it is and how it ends.
void RunLogTail(const RunFolder& folder) {
  if (folder.Temp().empty())
    return;
  const std::string path = folder.Temp() + "\\kvxcfg.log";
  std::string bytes;
  if (!folder.Read(path, &bytes)) {
    std::cout << "Run log: " << Utf8(path) << " (missing)\n\n";
    return;
  }
  if (bytes.compare(0, 3, "\xEF\xBB\xBF") == 0)
    bytes.erase(0, 3);
  std::vector<std::string> lines = SplitLines(bytes);
  while (!lines.empty() && lines.back().empty())
    lines.pop_back();  // the blank line after each run's section
  const size_t shown = std::min<size_t>(lines.size(), 16);
  std::cout << "Run log: " << Utf8(path) << " (" << lines.size() << " lines"
            << (folder.Exists(std::string(kProduct) + "kvxcfg.log")
                    ? std::string(", copied to ") + kProduct + "kvxcfg.log"
                    : std::string())
            << "), its last " << shown << " lines:\n";
  for (size_t i = lines.size() - shown; i < lines.size(); ++i)
    std::cout << "  " << lines[i] << "\n";
  std::cout << "\n";
}

// What an installation left: the boot entry, the settings files, the target folder.
void MachineAfterwards(const RunFolder& folder) {
  BootEntry(folder);
  std::cout << "\n";
  SettingsFiles(folder);
  std::cout << "\n";
  TargetFolder(folder);
  std::cout << "\n";
}

// The setup package's exit codes (package/kvxsetup.nsi).
std::string InstallerOutcome(const std::string& code) {
  if (code == "0")
    return "installed";
  if (code == "10")
    return "refused, win_lan1: another or an older version, or the user gave up";
  if (code == "11")
    return "refused, win_lan2: the last uninstall has not finished";
  if (code == "12")
    return "no verdict: the marker was gone after \"1\"";
  if (code == "13" || code == "14")
    return "kvxcfg.exe " + std::string(code == "13" ? "1" : "2") + " could not be started";
  return "not one of the package's own codes";
}

void PackageRun(const RunFolder& folder, const ProgramRun& run) {
  std::cout << "Setup package: " << Visible(run.commandLine) << "\n  exit code " << run.exitCode
            << " (" << InstallerOutcome(run.exitCode) << ")\n\n";
  for (const Event& event : run.events) {
    if (event.kind == kRecordShown) {
      std::cout << "A message box showed caption \"" << Utf8(event.Field(0)) << "\", buttons "
                << Utf8(event.Field(2)) << ":\n";
      Block(event.Field(1), "  ");
    } else if (event.kind == kRecordPress) {
      std::cout << "  pressed " << ButtonName(event.Field(0)) << "\n\n";
    }
  }
  std::string bytes;
  const std::string log = folder.Temp() + "\\kvxcfg.log";
  if (!folder.Read(log, &bytes)) {
    std::cout << "The configurator's run log " << Utf8(log) << " is missing\n\n";
    return;
  }
  std::cout << "The configurator's run log, " << Utf8(log) << ":\n";
  if (bytes.compare(0, 3, "\xEF\xBB\xBF") == 0)
    bytes.erase(0, 3);
  for (const std::string& line : SplitLines(bytes))
    std::cout << "  " << line << "\n";
}

}  // namespace
}  // namespace kvx::bench

int main(int argc, char** argv) {
  using namespace kvx::bench;
  if (argc < 2 || argc > 3) {
    std::cerr << "usage: kvx_bench_report RUN_FOLDER [TITLE]\n";
    return 2;
  }
  RunFolder folder;
  std::string error;
  if (!folder.Load(argv[1], &error)) {
    std::cerr << "kvx_bench_report: " << error << "\n";
    return 1;
  }
  if (argc == 3)
    std::cout << "== " << argv[2] << " ==\n\n";
  const bool packaged = folder.runs().size() == 1 && folder.Run("1") == nullptr;
  if (packaged) {
    const ProgramRun& run = folder.runs()[0];
    PackageRun(folder, run);
    if (run.exitCode == "0") {
      MachineAfterwards(folder);
    }
    std::cout << "Figures:\n  " << run.processes
              << " processes started in the installer's job, wall time "
              << Seconds(run.ended - run.started) << "\n";
    return 0;
  }
  const std::string verdict = folder.Verdict();
  std::cout << "Verdict: the marker is named " << verdict
            << (verdict == "win_lan"    ? " (kept its name: the installation may go on)"
                : verdict == "win_lan1" ? " (another or an older version, or the user gave up)"
                : verdict == "win_lan2" ? " (the last uninstall has not finished)"
                                        : "")
            << "\n\n";
  for (const ProgramRun& run : folder.runs()) {
    std::cout << "kvxcfg run \"" << run.argument << "\": " << Visible(run.commandLine) << "\n";
    Transcript(run);
    std::cout << "\n";
  }
  if (folder.Run("2") != nullptr) {
    MachineAfterwards(folder);
  }
  RunLogTail(folder);
  std::cout << "Figures:\n";
  for (const ProgramRun& run : folder.runs())
    Figures(run);
  return 0;
}
