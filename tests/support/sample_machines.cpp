#include "tests/support/sample_machines.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <sstream>

#include "tests/support/code_pages.h"
#include "tests/tools/text.h"

namespace kvx::testing {
namespace {

namespace fs = std::filesystem;

const fs::path kMachines = fs::path(KVX_SOURCE_DIR) / "tests" / "e2e" / "machines";
const fs::path kPackage = fs::path(KVX_SOURCE_DIR) / "tests" / "e2e" / "package";

std::string ReadHostFile(const fs::path& path) {
  std::ifstream file(path, std::ios::binary);
  std::ostringstream content;
  content << file.rdbuf();
  return content.str();
}

std::string Gbk(const std::string& utf8) {
  return Convert(utf8, "GBK", "UTF-8");
}

// One shell word: 'single quoted', "double quoted" or bare.
std::string Unquoted(const std::string& word) {
  const std::string trimmed = bench::Trim(word);
  if (trimmed.size() >= 2 && (trimmed.front() == '\'' || trimmed.front() == '"') &&
      trimmed.back() == trimmed.front()) {
    return trimmed.substr(1, trimmed.size() - 2);
  }
  return trimmed;
}

std::vector<int> Buttons(const std::string& text) {
  std::vector<int> buttons;
  std::istringstream words(text);
  for (int button; words >> button;)
    buttons.push_back(button);
  return buttons;
}

// The value of a setting of machine.conf, a shell file of assignments:
// NAME=word, or NAME=( one quoted word per line ).
void Assign(SampleMachine& m, const std::string& name, const std::string& value,
            const std::vector<std::string>& list) {
  if (name == "description")
    m.description = value;
  else if (name == "windows")
    m.windows = value;
  else if (name == "bits")
    m.bits = std::stoi(value);
  else if (name == "language")
    m.language = value;
  else if (name == "marker")
    m.marker = value;
  else if (name == "access_tool")
    m.accessTool = value;
  else if (name == "temp")
    m.temp = value;
  else if (name == "temp_short")
    m.tempShort = value;
  else if (name == "startup")
    m.startup = value;
  else if (name == "answers_1")
    m.answers1 = Buttons(value);
  else if (name == "answers_2")
    m.answers2 = Buttons(value);
  else if (name == "prepare")
    m.prepare = list;
  else if (name == "firmware")
    m.firmware = value;
  else if (name == "wmic")
    m.wmic = value != "no";
  else if (name == "drives") {
    std::istringstream words(value);
    m.drives.clear();
    for (std::string drive; words >> drive;)
      m.drives.push_back(drive);
  } else {
    ADD_FAILURE() << m.name << "/machine.conf: unknown setting " << name;
  }
}

// Every file below a folder of the source tree, as paths relative to it.
std::vector<fs::path> FilesBelow(const fs::path& folder) {
  std::vector<fs::path> files;
  if (!fs::is_directory(folder))
    return files;
  for (const auto& entry : fs::recursive_directory_iterator(folder)) {
    if (entry.is_regular_file())
      files.push_back(fs::relative(entry.path(), folder));
  }
  std::sort(files.begin(), files.end());
  return files;
}

// A path of the source tree as a Windows path below a folder, in GBK.
Text WindowsPath(const Text& folder, const fs::path& relative) {
  Text path = folder;
  for (const auto& part : relative)
    path += "\\" + Gbk(part.string());
  return path;
}

// Maker and model as the Windows host reads them from the registry's BIOS
// description: "Name=value" lines after a line break, of the values that
// registry.reg sets; the bench leaves every other value empty.
Text MachineDescription(const fs::path& registry) {
  static const char* const kNames[] = {"SystemManufacturer",    "SystemProductName",
                                       "SystemVersion",         "SystemFamily",
                                       "BaseBoardManufacturer", "BaseBoardProduct"};
  const std::string text = Gbk(ReadHostFile(registry));
  Text lines;
  for (const char* name : kNames) {
    for (const std::string& line : bench::SplitLines(text)) {
      const std::string key = "\"" + std::string(name) + "\"=";
      if (bench::StartsWith(line, key) && Unquoted(line.substr(key.size())) != "")
        lines += Text(name) + "=" + Unquoted(line.substr(key.size())) + "\r\n";
    }
  }
  return lines.empty() ? Text() : "\r\n" + lines;
}

// What the interpreter's ver prints on the Windows that Wine plays.
Text VersionText(const std::string& windows) {
  if (windows == "winxp")
    return "Microsoft Windows XP [Version 5.1.2600]";
  if (windows == "win10")
    return "Microsoft Windows [Version 10.0.19045]";
  if (windows == "win11")
    return "Microsoft Windows [Version 10.0.22000]";
  return "Microsoft Windows [Version 6.1.7601]";
}

// How the firmware answers the host. A UEFI machine says so both ways (the
// bench's tracer answers so under Wine). On legacy BIOS the answers are
// Wine's: no firmware type reported (as on Windows 7, which has no such
// function), and the firmware variable read failing as on legacy BIOS.
FirmwareAnswers FirmwareOf(const SampleMachine& m) {
  if (m.firmware == "uefi")
    return {FirmwareAnswer::Uefi, FirmwareAnswer::Uefi};
  return {FirmwareAnswer::NotKnown, FirmwareAnswer::LegacyBios};
}

}  // namespace

std::vector<std::string> SampleMachineNames() {
  std::vector<std::string> names;
  for (const auto& entry : fs::directory_iterator(kMachines)) {
    if (fs::exists(entry.path() / "machine.conf"))
      names.push_back(entry.path().filename().string());
  }
  std::sort(names.begin(), names.end());
  return names;
}

SampleMachine ReadSampleMachine(const std::string& name) {
  SampleMachine m;
  m.name = name;
  m.drives = {"d"};
  const std::string text = Gbk(ReadHostFile(kMachines / name / "machine.conf"));
  if (text.empty())
    ADD_FAILURE() << "no sample machine " << name;
  const std::vector<std::string> lines = bench::SplitLines(text);
  for (size_t i = 0; i < lines.size(); ++i) {
    const std::string line = bench::Trim(lines[i]);
    const size_t equals = line.find('=');
    if (line.empty() || line[0] == '#' || equals == std::string::npos)
      continue;
    const std::string setting = line.substr(0, equals);
    std::string value = line.substr(equals + 1);
    const size_t comment = value.find("  #");
    if (comment != std::string::npos)
      value = value.substr(0, comment);
    std::vector<std::string> list;
    if (bench::Trim(value) == "(") {
      for (++i; i < lines.size() && bench::Trim(lines[i]) != ")"; ++i)
        list.push_back(Unquoted(lines[i]));
    }
    Assign(m, setting, Unquoted(value), list);
  }
  return m;
}

void LoadSampleMachine(const std::string& name, const std::string& job, ScriptedHost& host,
                       SimulatedWindows& windows) {
  const SampleMachine m = ReadSampleMachine(name);
  const fs::path folder = kMachines / name;
  const Text product = "c:\\vesk\\korv";

  // The job and the user's answers.
  host.SetArguments({job});
  host.AnswerMessages(job == "1" ? m.answers1 : m.answers2);

  // Windows as Wine gives it: its folders, environment and registry.
  for (const std::string& drive : m.drives)
    host.AddDrive(bench::UpperCase(drive) + ":");
  host.PutFolder("C:\\windows\\system32");
  host.PutFolder("C:\\ProgramData");
  host.SetEnv("COMSPEC", "C:\\windows\\system32\\cmd.exe");
  host.SetEnv("Systemroot", "C:\\windows");
  host.SetEnv("SystemDrive", "C:");
  host.SetEnv("ALLUSERSPROFILE", "C:\\ProgramData");
  host.SetEnv("TMP", m.temp);
  host.SetEnv("TEMP", m.temp);
  host.PutFolder(m.temp);
  if (!m.tempShort.empty()) {
    host.SetShortForm(m.temp, m.tempShort);
    host.PutFolder(m.tempShort);  // the same folder by its short name
  }
  host.PutFolder(m.startup);
  host.SetRegistry(kRootLocalMachine, kInstallLanguageRegistry, m.language);
  host.SetRegistry(kRootCurrentUser, kStartupFolderRegistry, m.startup);
  SystemInfoRecord info;
  // The version as the host reads it from Windows: the numbers ver prints.
  const Text version = VersionText(m.windows);
  const size_t numbers = version.find("Version ") + 8;
  info[0] = version.substr(numbers, version.find(']') - numbers);
  if (fs::exists(folder / "registry.reg"))
    info[5] = MachineDescription(folder / "registry.reg");
  host.SetSystemInfo(info);
  host.SetFirmware(FirmwareOf(m));
  windows.version = VersionText(m.windows);
  windows.wmicInstalled = m.wmic;
  windows.windowsFolder = "C:\\windows";
  windows.UseShellPrefix(kSampleShell);
  if (m.bits == 64) {
    host.SetEnv("ProgramFiles(x86)", "C:\\Program Files (x86)");
    host.PutFolder("C:\\windows\\syswow64");
    windows.sixtyFourBit = true;
  }
  if (m.windows != "winxp")
    host.PutFile(
        m.bits == 64 ? "C:\\windows\\system32\\bcdedit.exe" : "C:\\windows\\syswow64\\bcdedit.exe",
        "bcdedit");

  // The setup package's folder: the configurator, its verdict marker and the
  // spare bcdedit; the configurator starts there.
  host.PutFile(Text(kSetupFolder) + "\\kvxcfg.exe", "configurator");
  host.PutFile(Text(kSetupFolder) + "\\win_lan", "");
  host.PutFile(Text(kSetupFolder) + "\\bcdedit", "spare bcdedit");
  host.SetShortForm(kSetupFolder, kSetupFolderShort);
  host.PutFile(Text(kSetupFolderShort) + "\\bcdedit", "spare bcdedit");
  host.SetProgramFolderPath(kSetupFolder);
  host.SetCurrentFolder(kSetupFolder);

  // The product package, the tools under their stored names, the family
  // marker, and the loader files at the root of C:.
  for (const fs::path& file : FilesBelow(kPackage))
    host.PutFile(WindowsPath(product, file), ReadHostFile(kPackage / file));
  for (const char* tool : {"zp", "fi", "fr", "ghost32.exe"})
    host.PutFile(product + "\\" + tool, "companion tool");
  host.PutFile(product + "\\" + m.accessTool, "companion tool");
  host.PutFile(product + "\\" + m.marker, "");
  host.PutFile("C:\\KVLDR", host.Content(product + "\\KVLDR"));
  host.PutFile("C:\\kvldr.mbr", host.Content(product + "\\kvldr.mbr"));

  // The doubles' fixtures, and the machine's own files over its drives.
  for (const fs::path& file : FilesBelow(folder / "fixture"))
    windows.PutFixture(Gbk(file.string()), Gbk(ReadHostFile(folder / "fixture" / file)));
  std::vector<std::string> drives = {"c"};
  drives.insert(drives.end(), m.drives.begin(), m.drives.end());
  for (const std::string& drive : drives) {
    const fs::path files = folder / "files" / drive;
    for (const fs::path& file : FilesBelow(files))
      host.PutFile(WindowsPath(bench::UpperCase(drive) + ":", file),
                   Gbk(ReadHostFile(files / file)));
  }

  // The machine's own preparation, as the bench runs it before "1".
  for (const std::string& line : m.prepare)
    windows.RunSetupLine(line);
}

}  // namespace kvx::testing
