// bcdedit: the boot configuration editor, on the bench's store file (see
// bcd_store.h). Messages are the English ones; failures go to standard
// error with exit code 1.
#include "bcd_store.h"
#include "doubles.h"
#include "text.h"

namespace kvx::bench {

Result RunBcdedit(const std::string& commandLine, Machine& machine) {
  std::vector<std::string> args = SplitArgs(commandLine);
  args.erase(args.begin());

  const std::string path = FixturePath(machine, "bcd_store.txt");
  std::string text, parseError;
  BcdStore store;
  if (!machine.ReadFile(path, &text)) {
    store.unreadable = true;  // no store at all: it cannot be opened
  } else if (!ParseBcdStore(text, &store, &parseError)) {
    return {"", "bench: bad bcd_store.txt, " + parseError + "\r\n", 2};
  }

  bool changed = false;
  int code = 0;
  std::string error;
  std::string out = RunBcdCommand(&store, args, machine, &changed, &error, &code);
  if (changed && !machine.WriteFile(path, FormatBcdStore(store))) {
    return {"", "bench: cannot write " + path + "\r\n", 2};
  }
  return {out, error, code};
}

}  // namespace kvx::bench
