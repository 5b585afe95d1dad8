// An in-memory Windows-like machine for the doubles' tests: folders and
// files under backslash paths (names compared without regard to ASCII
// case), attributes, environment, current folder and standard input.
#ifndef KVX_BENCH_TEST_MEMORY_MACHINE_H
#define KVX_BENCH_TEST_MEMORY_MACHINE_H

#include <map>
#include <string>

#include "tests/tools/machine.h"

namespace kvx::bench::testing {

class MemoryMachine : public Machine {
 public:
  // Setting up; parents are made as needed. Drive roots always exist.
  void PutFolder(const std::string& path);
  void PutFile(const std::string& path, const std::string& bytes, unsigned attributes = kArchive);
  void SetEnv(const std::string& name, const std::string& value) { env_[name] = value; }
  void SetCurrentDir(const std::string& dir) { cwd_ = dir; }
  void SetStdin(const std::string& bytes) { stdin_ = bytes; }

  // Looking at the result.
  bool Has(const std::string& path) const;
  std::string Content(const std::string& path) const;  // empty when missing
  unsigned Attributes(const std::string& path) const;  // 0 when missing

  bool ReadFile(const std::string& path, std::string* bytes) override;
  bool WriteFile(const std::string& path, const std::string& bytes) override;
  bool AppendFile(const std::string& path, const std::string& bytes) override;
  std::vector<DirEntry> List(const std::string& pattern) override;
  bool GetAttributes(const std::string& path, unsigned* attributes) override;
  bool SetAttributes(const std::string& path, unsigned attributes) override;
  std::string GetEnv(const std::string& name) override;
  std::string CurrentDir() override { return cwd_; }
  std::string ReadStdin() override { return stdin_; }

 private:
  struct Node {
    std::string path;  // as first written, normalised
    bool isDir = false;
    std::string bytes;
    unsigned attributes = 0;
  };
  std::string Normalise(const std::string& path) const;
  static std::string Key(const std::string& normalised);
  const Node* Lookup(const std::string& path) const;
  bool ParentExists(const std::string& normalised) const;

  std::map<std::string, Node> nodes_;
  std::map<std::string, std::string> env_;
  std::string cwd_ = "C:\\";
  std::string stdin_;
};

// Windows name matching: * and ?, ASCII case ignored, and a pattern ending
// in ".*" also matches a name without any dot ("*.*" matches every name).
bool WildcardMatch(const std::string& pattern, const std::string& name);

}  // namespace kvx::bench::testing

#endif  // KVX_BENCH_TEST_MEMORY_MACHINE_H
