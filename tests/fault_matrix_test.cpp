// The fault matrix: each hostile condition on the pre-install machine and on
// the two install machines of fault_runs.h (sample machines of the bench with
// what the runs need on top), and every run must still hold the rules of
// fault_runs.h (exit code 0, last step reached, bounded commands, changes
// only in the product's places, foreign BCD entries untouched).
#include <gtest/gtest.h>

#include <cctype>

#include "tests/support/fault_runs.h"
#include "tests/support/sample_machines.h"
#include "tests/tools/text.h"

namespace kvx {
namespace {

using testing::Machine;
using testing::Mode;

// Two characters whose GBK trail byte is a backslash.
const Text kTrailBackslash = "嘰塡";

// 4 KB of bytes of every kind: NUL, line breaks, quotes, braces, percent
// signs, lone and paired GBK lead bytes.
Text Junk(size_t size = 4096) {
  Text junk;
  unsigned value = 20130123;
  while (junk.size() < size) {
    value = value * 1103515245u + 12345u;
    junk.push_back(static_cast<char>(value >> 23));
  }
  return junk;
}

// Lines of filler after the text (they look like partition lines), until it
// is longer than 64 KiB. That is past every fixed size on the way of a read:
// the Windows host reads a file in chunks of 64 KiB and starts its INI buffer
// at 4 KiB (INI values have rows of their own below), and lengths and
// positions no longer fit in 16 bits. The product only searches and compares
// what it reads; on each base machine a run on these texts makes the very
// same operations, in the same order, as on texts of two megabytes, which
// took some twenty times as long.
Text Long(const Text& text) {
  Text longer = text;
  const Text line = "0:9  X:   NTFS   1MB   FILLER FILLER FILLER FILLER FILLER FILLER\r\n";
  while (longer.size() <= 64 * 1024)
    longer += line;
  return longer;
}

Text WithoutFinalLineBreak(Text text) {
  while (!text.empty() && (text.back() == '\n' || text.back() == '\r'))
    text.pop_back();
  return text;
}

// A command that a value read back must never get to run: it would leave a
// file outside the product's places.
const Text kPlanted = "copy /y c:\\vesk\\korv\\c_pan.txt C:\\planted.txt";

enum Bases { kPreInstall = 1, kXp = 2, kWindows7 = 4, kInstall = kXp | kWindows7, kAll = 7 };

struct Row {
  std::string name;
  int bases;
  std::function<void(Machine&)> apply;
};

void PrintTo(const Row& row, std::ostream* out) {
  *out << row.name;
}

void Env(Machine& m, const Text& name, const std::optional<Text>& value) {
  if (value) {
    m.host.SetEnv(name, *value);
  } else {
    m.host.UnsetEnv(name);
  }
}

// Every INI value read is the given text.
std::function<void(Machine&)> IniValues(const Text& value) {
  return [value](Machine& m) {
    m.host.iniValue = [value](const Text&, const Text&, const Text&) { return value; };
  };
}

// The INI key of that name always reads the given text.
std::function<void(Machine&)> IniKey(const Text& key, const Text& value) {
  return [key, value](Machine& m) {
    m.host.iniValue = [key, value](const Text& k, const Text& v, const Text&) {
      return k == key ? value : v;
    };
  };
}

// A scratch folder of that name, made on the machine, with a short form or none.
std::function<void(Machine&)> Scratch(const Text& tmp, const Text& shortForm = Text()) {
  return [tmp, shortForm](Machine& m) {
    m.host.SetEnv("TMP", tmp);
    m.host.PutFolder(tmp);
    if (!shortForm.empty()) {
      m.host.SetShortForm(tmp, shortForm);
      m.host.PutFolder(shortForm);
    }
  };
}

// The setup package's folder, with the marker and the product's own bcdedit.
std::function<void(Machine&)> ProgramFolder(const Text& folder) {
  return [folder](Machine& m) {
    m.host.SetProgramFolderPath(folder);
    m.host.SetCurrentFolder(folder);
    m.host.PutFile(folder + "\\win_lan", "");
    m.host.PutFile(folder + "\\bcdedit", "product bcdedit");
  };
}

// The store of the Windows 7 machine with dozens of old product entries
// beside a foreign boot sector; locked ones can never be deleted.
std::function<void(Machine&)> ProductEntries(int count, bool locked) {
  return [count, locked](Machine& m) {
    bench::BcdStore store = m.windows->Store();
    testing::AddBootSector(store, "GRUB", "\\grldr.mbr");
    std::vector<Text> order = testing::DisplayOrder(store);
    for (int i = 0; i < count; ++i) {
      order.push_back(testing::AddBootSector(store, i % 3 == 0 ? "KORVAX v2011.01.01" : "",
                                             i % 3 == 1 ? "" : "\\kvldr.mbr", locked));
    }
    testing::SetDisplayOrder(store, order);
    m.windows->PutStore(store);
    m.host.PutFile("c:\\vesk\\korv\\bcd_all.ini", bench::EnumAll(store));
  };
}

std::vector<Row> Rows() {
  std::vector<Row> rows = {
      {"every command fails", kAll, [](Machine& m) { m.windows->commandsRun = false; }},
      {"every file missing", kAll,
       [](Machine& m) {
         m.host.noFileExists = true;
         m.host.readText = [](const Text&, const Text&) { return Text(); };
         m.host.iniValue = [](const Text&, const Text&, const Text& d) { return d; };
       }},
      {"every file read empty", kAll,
       [](Machine& m) { m.host.readText = [](const Text&, const Text&) { return Text(); }; }},
      {"every file read binary junk", kAll,
       [](Machine& m) {
         m.host.readText = [](const Text&, const Text&) { return Junk(); };
         m.host.iniValue = [](const Text&, const Text&, const Text&) { return Junk(40); };
       }},
      {"every file read longer than 64 KiB", kAll,
       [](Machine& m) { m.host.readText = [](const Text&, const Text& t) { return Long(t); }; }},
      {"every file read without its final line break", kAll,
       [](Machine& m) {
         m.host.readText = [](const Text&, const Text& t) { return WithoutFinalLineBreak(t); };
       }},
      {"registry values absent", kAll, [](Machine& m) { m.host.noRegistryValues = true; }},
      {"scratch folder with blanks and a short form", kAll,
       Scratch("C:\\Documents and Settings\\Administrator\\Local Settings\\Temp",
               "C:\\DOCUME~1\\ADMINI~1\\LOCALS~1\\Temp")},
      {"scratch folder with blanks and no short form", kAll,
       Scratch("C:\\Documents and Settings\\Administrator\\Local Settings\\Temp")},
      {"scratch folder with GBK characters", kAll, Scratch("C:\\临时\\" + kTrailBackslash)},
      {"program folder with blanks and GBK characters", kAll,
       ProgramFolder("C:\\Program Files\\珂瓦克斯 安装\\" + kTrailBackslash)},
      {"Startup folders with GBK characters", kAll,
       [](Machine& m) {
         const Text startup = "C:\\用户\\" + kTrailBackslash + "\\启动";
         m.host.SetRegistry(kRootCurrentUser, testing::kStartupFolderRegistry, startup);
         m.host.PutFolder(startup);
         m.host.SetEnv("ALLUSERSPROFILE", "C:\\所有用户\\" + kTrailBackslash);
       }},
      {"Windows folder with a blank", kAll,
       [](Machine& m) {
         m.host.SetEnv("Systemroot", "C:\\My Windows");
         m.host.SetEnv("COMSPEC", "C:\\My Windows\\system32\\cmd.exe");
         m.windows->windowsFolder = "C:\\My Windows";
         m.host.PutFolder("C:\\My Windows\\syswow64");
         m.host.PutFile("C:\\My Windows\\system32\\bcdedit.exe", "bcdedit");
       }},
      {"dozens of product entries", kWindows7, ProductEntries(40, false)},
      {"an enumeration that never shrinks", kWindows7, ProductEntries(3, true)},
      {"scratch folder with an ampersand", kAll, Scratch("C:\\Users\\AT&T\\Temp")},
      {"program folder with an ampersand", kAll, ProgramFolder("C:\\R&D\\setup")},
      {"boot disk number carrying a command", kInstall, IniKey("drvc", "1 & " + kPlanted + " &")},
      {"partition number carrying a command", kInstall,
       IniKey("pt_1", "3\" & " + kPlanted + " & echo \"")},
      {"target drive carrying a command", kInstall, IniKey("pt_2", "D: & " + kPlanted + " &")},
      {"identifier read back carrying a command", kWindows7,
       [](Machine& m) {
         m.host.readText = [](const Text& path, const Text& text) {
           return bench::FindText(path, "krv_id.ini", true) == Text::npos
                      ? text
                      : "{5a17c0de-0000-4000-8000-000000000001}\r\n\r\n" + kPlanted + "\r\n";
         };
       }},
      {"boot disk number 4", kInstall, IniKey("drvc", "4")},
      {"boot disk number 01", kInstall, IniKey("drvc", "01")},
      {"boot disk number -1", kInstall, IniKey("drvc", "-1")},
      {"boot disk number with a blank", kInstall, IniKey("drvc", " 1")},
  };
  for (const Text name :
       {"TMP", "COMSPEC", "Systemroot", "SystemDrive", "ProgramFiles(x86)", "ALLUSERSPROFILE"}) {
    rows.push_back({name + " unset", kAll, [name](Machine& m) { Env(m, name, std::nullopt); }});
    rows.push_back({name + " empty", kAll, [name](Machine& m) { Env(m, name, Text()); }});
  }
  for (const Text drive : {"C", "CC", "..", "C:\\", "1:", "8:", "c:", "Z:", "珂", "\\\\"}) {
    rows.push_back({"system drive " + drive, kInstall, IniKey("spt_2", drive)});
    rows.push_back({"active drive " + drive, kInstall, IniKey("apt_2", drive)});
    rows.push_back({"target drive " + drive, kInstall, IniKey("pt_2", drive)});
  }
  for (const size_t length : {0, 1, 2, 3, 255, 256, 4096, 65536}) {
    rows.push_back(
        {"INI values of length " + std::to_string(length), kInstall, IniValues(Text(length, '7'))});
  }
  rows.push_back({"INI values of a lone lead byte", kInstall, IniValues("\x81")});
  return rows;
}

class FaultMatrix : public ::testing::TestWithParam<Row> {};

// The condition on each machine it applies to.
TEST_P(FaultMatrix, RunHoldsTheRules) {
  const Row& row = GetParam();
  const struct {
    int base;
    const char* name;
    Mode mode;
    std::function<void(Machine&)> setUp;
  } bases[] = {
      {kPreInstall, "pre-install", Mode::PreInstall,
       [](Machine& m) { testing::PreInstallPassing(m, "win7-stale"); }},
      {kXp, "Windows XP", Mode::Install, testing::XpAloneOnItsDisk},
      {kWindows7, "Windows 7", Mode::Install, testing::Windows7OverEarlierInstall},
  };
  for (const auto& base : bases) {
    if ((row.bases & base.base) == 0)
      continue;
    const testing::RunReport report = testing::CheckedRun(
        [&](Machine& m) {
          base.setUp(m);
          row.apply(m);
        },
        base.mode);
    EXPECT_TRUE(report.problems.empty()) << base.name << ":\n" << testing::Problems(report);
  }
}

INSTANTIATE_TEST_SUITE_P(Conditions, FaultMatrix, ::testing::ValuesIn(Rows()),
                         [](const ::testing::TestParamInfo<Row>& info) {
                           std::string name = std::to_string(info.index) + "_";
                           for (const char c : info.param.name)
                             name += std::isalnum(static_cast<unsigned char>(c)) ? c : '_';
                           return name;
                         });

}  // namespace
}  // namespace kvx
