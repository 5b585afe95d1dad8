// The partition survey tool's fixture and output layout.
//
// Fixture (zp_disks.txt in the fixture folder), one item per line, "#"
// starting a comment:
//
//   disk 1 basic                       a disk: number from 1, basic or dynamic
//   part 1 C NTFS 102400 pri active WIN7
//   part 2 - NTFS 15000 pri - HP_RECOVERY
//   part 5 D FAT32 60000 log - DATA DISK
//
// A part line belongs to the disk line above it: partition number, drive
// letter or "-", file system, size in MB, pri, log or ext (the extended
// container), active or "-", then the label (the rest of the line, may be
// empty or hold blanks).
#ifndef KVX_BENCH_SURVEY_H
#define KVX_BENCH_SURVEY_H

#include <string>
#include <vector>

namespace kvx::bench {

struct Partition {
  int number = 0;
  std::string letter;  // "C", or empty for none
  std::string fileSystem;
  long sizeMb = 0;
  std::string kind;  // "pri", "log" or "ext"
  bool active = false;
  std::string label;
};

struct Disk {
  int number = 0;  // from 1
  bool dynamic = false;
  std::vector<Partition> partitions;
};

bool ParseDisks(const std::string& text, std::vector<Disk>* disks, std::string* error);

// "/find:all /GhostStyle": a first line "Disk 1 Basic_Disk" (or
// Dynamic_Disk), then one line per partition:
//   1:1 C: NTFS 102400MB Pri Yes WIN7
// disk:partition (disk numbered from 1), the drive letter with its colon or,
// without a letter, "Pri", "Log" or "Ext", file system, size, kind, "Yes" on
// the active partition and "No" elsewhere, label.
std::string AllPartitionsList(const Disk& disk);

// "/find:normal": two header lines without colons, then the primary and
// logical partitions in the same layout, numbered with the disk number as it
// was given on the command line (from 0 there).
std::string NormalPartitionsList(const Disk& disk, const std::string& shownNumber);

}  // namespace kvx::bench

#endif  // KVX_BENCH_SURVEY_H
