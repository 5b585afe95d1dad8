// The scripted machine as the tool doubles see it.
//
// The doubles of tests/tools (find, findstr, attrib, bcdedit, fi, fr, ...) act
// on a machine interface; under Wine that is the real file system, in the
// native tests it is this adapter over the scripted machine: the same files,
// folders, attributes, environment and current folder, reached through the
// scripted machine's set-up and inspection calls, so that what a double does
// is never logged as an operation of the configurator.
#ifndef KVXCFG_TESTS_SUPPORT_TOOL_MACHINE_H
#define KVXCFG_TESTS_SUPPORT_TOOL_MACHINE_H

#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "tests/support/scripted_host.h"
#include "tests/tools/machine.h"

namespace kvx::testing {

// Where the doubles keep their fixtures and their state (the BCD store, the
// access grants) on a scripted machine, as on the bench: the folder that
// KVX_BENCH_DIR names when the machine's environment does not set it.
inline constexpr char kFixtureFolder[] = "C:\\kvxbench\\fixture";

class ToolMachine : public bench::Machine {
 public:
  // A machine of its own: drive C:, which is also the current folder.
  ToolMachine();
  // The given scripted machine, which must outlive the adapter.
  explicit ToolMachine(ScriptedHost& host);
  ToolMachine(const ToolMachine&) = delete;
  ToolMachine& operator=(const ToolMachine&) = delete;

  ScriptedHost& Host() { return host_; }

  // What the next double reads on its standard input.
  void SetStdin(const std::string& bytes) { stdin_ = bytes; }
  // Told the absolute path of every file a double writes or gives attributes.
  std::function<void(const std::string& path)> onChange;

  // --- Setting up and looking, for the tests of the doubles ---
  void PutFolder(const std::string& path) { host_.PutFolder(path); }
  void PutFile(const std::string& path, const std::string& bytes,
               unsigned attributes = bench::kArchive);
  void SetEnv(const std::string& name, const std::string& value) { host_.SetEnv(name, value); }
  void SetCurrentDir(const std::string& dir);
  bool Has(const std::string& path) const { return host_.Exists(path); }
  std::string Content(const std::string& path) const { return host_.Content(path); }
  unsigned Attributes(const std::string& path) const;  // 0 when missing

  // --- The machine interface ---
  bool ReadFile(const std::string& path, std::string* bytes) override;
  bool WriteFile(const std::string& path, const std::string& bytes) override;
  bool AppendFile(const std::string& path, const std::string& bytes) override;
  std::vector<bench::DirEntry> List(const std::string& pattern) override;
  bool GetAttributes(const std::string& path, unsigned* attributes) override;
  bool SetAttributes(const std::string& path, unsigned attributes) override;
  std::string GetEnv(const std::string& name) override;
  std::string CurrentDir() override;
  std::string ReadStdin() override { return stdin_; }

 private:
  std::unique_ptr<ScriptedHost> own_;
  ScriptedHost& host_;
  std::string stdin_;
};

}  // namespace kvx::testing

#endif  // KVXCFG_TESTS_SUPPORT_TOOL_MACHINE_H
