// zp (run as zptlx.exe): the partition survey tool.
//
//   zptlx N /find:all /GhostStyle /y     disks numbered from 1
//   zptlx N /find:normal /y              disks numbered from 0
//
// The machine's disks come from zp_disks.txt in the fixture folder (layout in
// survey.h). A file zp_raw_all_N.txt or zp_raw_normal_N.txt there, when
// present, is printed as it stands instead, for layouts the fixture cannot
// describe.
#include <sstream>

#include "doubles.h"
#include "survey.h"
#include "text.h"

namespace kvx::bench {

namespace {

bool IsNumber(const std::string& text) {
  if (text.empty()) {
    return false;
  }
  for (char c : text) {
    if (c < '0' || c > '9') {
      return false;
    }
  }
  return true;
}

std::string Capitalized(const std::string& kind) {
  return UpperCase(kind.substr(0, 1)) + kind.substr(1);
}

std::string PartitionLine(const std::string& diskShown, const Partition& part) {
  std::string drive = part.letter.empty() ? Capitalized(part.kind) : part.letter + ":";
  std::string line = diskShown + ":" + std::to_string(part.number) + " " + drive + " " +
                     part.fileSystem + " " + std::to_string(part.sizeMb) + "MB " +
                     Capitalized(part.kind) + " " + (part.active ? "Yes" : "No");
  if (!part.label.empty()) {
    line += " " + part.label;
  }
  return line + "\r\n";
}

}  // namespace

bool ParseDisks(const std::string& text, std::vector<Disk>* disks, std::string* error) {
  int lineNumber = 0;
  for (const std::string& raw : SplitLines(text)) {
    ++lineNumber;
    std::string line = Trim(raw);
    if (line.empty() || line[0] == '#') {
      continue;
    }
    std::istringstream words(line);
    std::string item;
    words >> item;
    const std::string where = "line " + std::to_string(lineNumber) + ": ";
    if (item == "disk") {
      std::string number, type;
      words >> number >> type;
      if (!IsNumber(number) || (type != "basic" && type != "dynamic")) {
        *error = where + "disk N basic|dynamic expected";
        return false;
      }
      disks->push_back(Disk{std::stoi(number), type == "dynamic", {}});
    } else if (item == "part") {
      if (disks->empty()) {
        *error = where + "part before any disk";
        return false;
      }
      Partition part;
      std::string number, letter, size, active;
      words >> number >> letter >> part.fileSystem >> size >> part.kind >> active;
      if (!IsNumber(number) || letter.empty() || (letter != "-" && letter.size() != 1) ||
          !IsNumber(size) || (part.kind != "pri" && part.kind != "log" && part.kind != "ext") ||
          (active != "active" && active != "-")) {
        *error = where + "part N letter|- fs sizeMB pri|log|ext active|- [label] expected";
        return false;
      }
      part.number = std::stoi(number);
      part.letter = letter == "-" ? "" : letter;
      part.sizeMb = std::stol(size);
      part.active = active == "active";
      std::string rest;
      std::getline(words, rest);
      part.label = Trim(rest);
      disks->back().partitions.push_back(part);
    } else {
      *error = where + "disk or part expected";
      return false;
    }
  }
  return true;
}

std::string AllPartitionsList(const Disk& disk) {
  const std::string number = std::to_string(disk.number);
  std::string text = "Disk " + number + (disk.dynamic ? " Dynamic_Disk" : " Basic_Disk") + "\r\n";
  for (const Partition& part : disk.partitions) {
    text += PartitionLine(number, part);
  }
  return text;
}

std::string NormalPartitionsList(const Disk& disk, const std::string& shownNumber) {
  std::string text = "Normal partitions of disk " + shownNumber + "\r\n" +
                     "Part Drive FileSys Size Type Active Label\r\n";
  for (const Partition& part : disk.partitions) {
    if (part.kind != "ext") {
      text += PartitionLine(shownNumber, part);
    }
  }
  return text;
}

Result RunZp(const std::string& commandLine, Machine& machine) {
  std::vector<std::string> args = SplitArgs(commandLine);
  std::string diskArg, mode;
  for (size_t i = 1; i < args.size(); ++i) {
    const std::string arg = FoldCase(args[i]);
    if (arg == "/find:all" || arg == "/find:normal") {
      mode = arg.substr(6);
    } else if (arg == "/ghoststyle" || arg == "/y") {
      // the only layout this tool writes; no question is ever asked
    } else if (IsNumber(arg) && arg.size() <= 3 && diskArg.empty()) {
      diskArg = arg;
    } else {
      return {"", "zptlx: unknown argument " + args[i] + "\r\n", 2};
    }
  }
  // A raw fixture answers for the disk number as written, even none at all.
  std::string raw;
  if (!mode.empty() &&
      machine.ReadFile(FixturePath(machine, "zp_raw_" + mode + "_" + diskArg + ".txt"), &raw)) {
    return {raw, "", 0};
  }
  if (mode.empty() || diskArg.empty()) {
    return {"", "zptlx: usage: zptlx disk /find:all|/find:normal [/GhostStyle] /y\r\n", 2};
  }

  // A machine without zp_disks.txt has no disks to list.
  std::string fixture, error;
  std::vector<Disk> disks;
  machine.ReadFile(FixturePath(machine, "zp_disks.txt"), &fixture);
  if (!ParseDisks(fixture, &disks, &error)) {
    return {"", "zptlx: bad zp_disks.txt " + error + "\r\n", 2};
  }
  // The normal list counts disks from 0, the full list from 1.
  const int wanted = std::stoi(diskArg) + (mode == "normal" ? 1 : 0);
  for (const Disk& disk : disks) {
    if (disk.number == wanted) {
      return {mode == "all" ? AllPartitionsList(disk) : NormalPartitionsList(disk, diskArg), "", 0};
    }
  }
  return {"", "zptlx: disk " + diskArg + " not found\r\n", 1};
}

}  // namespace kvx::bench
