// What a bench double sees of the machine it runs on.
//
// Every double is a function of its raw command line and of this interface,
// so that the same code runs on Windows (machine_windows.cpp) and, for the
// tests, on an in-memory machine. Paths are Windows paths as the caller
// wrote them; texts are byte strings (GBK on the Chinese machines) and are
// never converted.
#ifndef KVX_BENCH_MACHINE_H
#define KVX_BENCH_MACHINE_H

#include <string>
#include <vector>

namespace kvx::bench {

// File attribute bits, as Windows numbers them.
inline constexpr unsigned kReadOnly = 0x01;
inline constexpr unsigned kHidden = 0x02;
inline constexpr unsigned kSystem = 0x04;
inline constexpr unsigned kDirectory = 0x10;
inline constexpr unsigned kArchive = 0x20;

struct DirEntry {
  std::string name;  // the name alone, without its folder
  bool isDir = false;
};

class Machine {
 public:
  virtual ~Machine() = default;

  // Whole-file access. ReadFile fails for a missing file or a folder.
  // WriteFile creates or replaces the file's content (it keeps the
  // attributes of an existing file and fails on a read-only one).
  virtual bool ReadFile(const std::string& path, std::string* bytes) = 0;
  virtual bool WriteFile(const std::string& path, const std::string& bytes) = 0;
  virtual bool AppendFile(const std::string& path, const std::string& bytes) = 0;

  // Entries of the pattern's folder whose names match its last part, which
  // may hold * and ?; a pattern without wildcards names one entry. "." and
  // ".." are never listed.
  virtual std::vector<DirEntry> List(const std::string& pattern) = 0;

  virtual bool GetAttributes(const std::string& path, unsigned* attributes) = 0;
  // Sets R, H, S and A exactly as given; the directory bit is ignored.
  virtual bool SetAttributes(const std::string& path, unsigned attributes) = 0;

  virtual std::string GetEnv(const std::string& name) = 0;  // empty when unset
  virtual std::string CurrentDir() = 0;                     // without trailing backslash
  virtual std::string ReadStdin() = 0;                      // everything up to end of file
};

// What a double leaves for its caller besides its effects on the machine.
struct Result {
  std::string out;  // standard output, bytes
  std::string err;  // standard error, bytes
  int code = 0;     // exit code
};

// The folder part of a path or pattern, with its trailing separator
// ("c:\vesk\korv\" for "c:\vesk\korv\menu*.lst", "C:" for "C:x", "" for "x").
std::string FolderOf(const std::string& path);

// The last part of a path (after the last backslash, slash or drive colon).
std::string NameOf(const std::string& path);

// A path below a folder: "D:\~1" + "a.txt" gives "D:\~1\a.txt".
std::string Below(const std::string& folder, const std::string& name);

}  // namespace kvx::bench

#endif  // KVX_BENCH_MACHINE_H
