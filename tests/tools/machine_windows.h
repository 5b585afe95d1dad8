// The Windows machine of the bench doubles (Win32 ANSI calls).
#ifndef KVX_BENCH_MACHINE_WINDOWS_H
#define KVX_BENCH_MACHINE_WINDOWS_H

#include "machine.h"

namespace kvx::bench {

class WindowsMachine : public Machine {
 public:
  bool ReadFile(const std::string& path, std::string* bytes) override;
  bool WriteFile(const std::string& path, const std::string& bytes) override;
  bool AppendFile(const std::string& path, const std::string& bytes) override;
  std::vector<DirEntry> List(const std::string& pattern) override;
  bool GetAttributes(const std::string& path, unsigned* attributes) override;
  bool SetAttributes(const std::string& path, unsigned attributes) override;
  std::string GetEnv(const std::string& name) override;
  std::string CurrentDir() override;
  std::string ReadStdin() override;
};

// Writes bytes unchanged to standard output or standard error.
void WriteStandard(bool error, const std::string& bytes);

}  // namespace kvx::bench

#endif  // KVX_BENCH_MACHINE_WINDOWS_H
