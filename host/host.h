// The host interface: the only way the configurator reaches the machine.
//
// The decision logic never calls Windows itself. It starts hidden command
// lines and waits for them, reads and writes whole files, reads and writes
// INI values, reads two registry values and the environment, shows message
// boxes and pauses, all through this interface. The Windows executable
// supplies the real implementation; the tests supply a scripted machine.
//
// Every operation is total: it never throws toward the logic and never
// reports failure. A file that cannot be opened yields a file number that
// reads as the empty text; a command that cannot start returns at once; a
// copy, rename or delete that fails changes nothing. The logic notices a
// failure only by reading, afterwards, the file that should have been left.
#ifndef KVXCFG_HOST_HOST_H
#define KVXCFG_HOST_HOST_H

#include <array>
#include <optional>
#include <vector>

#include "host/text.h"

namespace kvx {

// Registry roots.
constexpr int kRootCurrentUser = 3;
constexpr int kRootLocalMachine = 4;

// Open modes.
constexpr int kReadOnly = 1;
constexpr int kReadWrite = 3;

// Attribute sets: read-only + hidden + system, or normal.
constexpr int kAttrHiddenSystemReadOnly = 7;
constexpr int kAttrNormal = 0;

// Message styles (standard message-box flags).
constexpr int kStyleStop = 0x10;         // OK, stop icon: refusals of the checks
constexpr int kStyleQuestion = 0x34;     // Yes/No, exclamation icon: the one question
constexpr int kStyleInformation = 0x40;  // OK, information icon: notices of the install
constexpr int kButtonYes = 6;

// Six system texts; the configurator uses the first (the Windows version,
// "6.1.7601 Service Pack 1") and the sixth (the machine's maker and model).
using SystemInfoRecord = std::array<Text, 6>;

// What one source says of the firmware that started this Windows.
enum class FirmwareAnswer { NotKnown, LegacyBios, Uefi };

// The firmware's two answers: the type that Windows reports (Windows 8 and
// later), and the outcome of reading a firmware variable that cannot exist
// (legacy BIOS has no firmware variables at all).
struct FirmwareAnswers {
  FirmwareAnswer reportedType = FirmwareAnswer::NotKnown;
  FirmwareAnswer variableProbe = FirmwareAnswer::NotKnown;
};

// How the host's last operation ended, as the machine told it. Only the run
// log asks; the steps never do. A host that cannot tell leaves it unknown.
struct HostOutcome {
  bool known = false;
  bool started = true;     // a command: whether it started at all
  unsigned long code = 0;  // a command that started: its exit code; otherwise
                           // the system's error code, 0 when the operation was done
  Text startedAs;          // a command: the line as the system got it, when the host changed it
};

// Thrown by EndProgram so that the entry, not the logic, ends the run. The
// logic never catches it; the entry turns it into exit code 0.
struct EndProgramSignal {
  int exitCode = 0;
};

class Host {
 public:
  virtual ~Host() = default;

  // Process.
  virtual std::vector<Text> GetArguments() = 0;
  // Ends the run at once with the given exit code; never returns to the logic.
  [[noreturn]] virtual void EndProgram(int exitCode) = 0;

  // Commands: start the command line hidden, inheriting the current folder
  // and environment, and return only after the process has ended. A bare
  // path of a .bat file runs as a batch script.
  virtual void RunCommand(const Text& commandLine) = 0;
  virtual void Delay(int milliseconds) = 0;

  // Files and folders.
  virtual void WriteWholeFile(const Text& path, const Bytes& bytes) = 0;
  virtual int OpenFile(const Text& path, int openMode) = 0;
  virtual Text ReadText(int fileNumber) = 0;
  virtual void SeekToEnd(int fileNumber) = 0;
  virtual void WriteText(int fileNumber, const Text& text) = 0;
  virtual void SeekToStart(int fileNumber) = 0;
  virtual void CloseFile(int fileNumber) = 0;
  // True for an existing path, file or folder.
  virtual bool FileExists(const Text& path) = 0;
  virtual void DeleteFile(const Text& path) = 0;
  // Copies one file, replacing the destination.
  virtual void CopyFile(const Text& source, const Text& destination) = 0;
  virtual void RenameFile(const Text& oldPath, const Text& newPath) = 0;
  virtual void CreateFolder(const Text& path) = 0;
  virtual void SetAttributes(const Text& path, int attributes) = 0;
  // The folder of the executable, without a trailing backslash.
  virtual Text ProgramFolder() = 0;
  // The short (8.3) form of a path, or the path itself when it has none.
  virtual Text ShortPath(const Text& path) = 0;

  // Settings, registry, environment.
  virtual Text ReadIni(const Text& path, const Text& section, const Text& key,
                       const Text& defaultValue) = 0;
  Text ReadIni(const Text& path, const Text& section, const Text& key) {
    return ReadIni(path, section, key, Text());
  }
  virtual void WriteIni(const Text& path, const Text& section, const Text& key,
                        const Text& value) = 0;
  // The path is the key path, a backslash and the value name.
  virtual Text ReadRegistryText(int root, const Text& path, const Text& defaultValue) = 0;
  Text ReadRegistryText(int root, const Text& path) { return ReadRegistryText(root, path, Text()); }
  // Empty when the variable is not set.
  virtual Text GetEnv(const Text& name) = 0;

  // User interface: a modal message box; without a caption the host shows its
  // default one. Returns the button code (6 = Yes).
  virtual int ShowMessage(const Text& message, int style, const std::optional<Text>& caption) = 0;
  int ShowMessage(const Text& message, int style) {
    return ShowMessage(message, style, std::nullopt);
  }

  // Support library: a shell link at linkPathNoExt + ".LNK".
  virtual void CreateShortcut(const Text& linkPathNoExt, const Text& target,
                              const std::optional<Text>& description,
                              const std::optional<Text>& arguments, const Text& workingFolder) = 0;
  virtual void QuerySystemInfo(SystemInfoRecord& record) = 0;
  // Asks the firmware how this Windows started; changes nothing on the machine.
  virtual FirmwareAnswers QueryFirmware() = 0;

  // The run log (run_log.h): one line of what a step found or decided, for
  // the person who reads the log afterwards. It changes nothing and answers
  // nothing; a host that keeps no log drops it.
  virtual void Note(const Text& line) { (void)line; }
  // How the last operation ended (HostOutcome), for the run log.
  virtual HostOutcome LastOutcome() { return HostOutcome(); }
};

// Runs a routine of the program on the calling thread; returns when it has
// finished.
template <typename Routine>
void RunRoutine(Routine&& routine) {
  routine();
}

}  // namespace kvx

#endif  // KVXCFG_HOST_HOST_H
