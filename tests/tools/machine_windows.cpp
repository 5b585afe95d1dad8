// The machine of a bench double on Windows (or Wine): ANSI calls only, so
// every path and text stays in the bytes of the ANSI code page.
#include <windows.h>

#include "machine_windows.h"

namespace kvx::bench {

namespace {

bool ReadHandle(HANDLE handle, std::string* bytes) {
  bytes->clear();
  char buffer[65536];
  DWORD got = 0;
  while (::ReadFile(handle, buffer, sizeof buffer, &got, nullptr) && got > 0) {
    bytes->append(buffer, got);
  }
  return true;
}

bool WriteHandle(HANDLE handle, const std::string& bytes) {
  size_t done = 0;
  while (done < bytes.size()) {
    DWORD wrote = 0;
    if (!::WriteFile(handle, bytes.data() + done, static_cast<DWORD>(bytes.size() - done), &wrote,
                     nullptr) ||
        wrote == 0) {
      return false;
    }
    done += wrote;
  }
  return true;
}

}  // namespace

bool WindowsMachine::ReadFile(const std::string& path, std::string* bytes) {
  HANDLE file = ::CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE,
                              nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
  if (file == INVALID_HANDLE_VALUE) {
    return false;
  }
  ReadHandle(file, bytes);
  ::CloseHandle(file);
  return true;
}

bool WindowsMachine::WriteFile(const std::string& path, const std::string& bytes) {
  // OPEN_ALWAYS and truncating keeps a hidden or system file's attributes,
  // where CREATE_ALWAYS would refuse such a file.
  HANDLE file = ::CreateFileA(path.c_str(), GENERIC_WRITE, FILE_SHARE_READ, nullptr, OPEN_ALWAYS,
                              FILE_ATTRIBUTE_NORMAL, nullptr);
  if (file == INVALID_HANDLE_VALUE) {
    return false;
  }
  bool ok = ::SetEndOfFile(file) && WriteHandle(file, bytes);
  ::CloseHandle(file);
  return ok;
}

bool WindowsMachine::AppendFile(const std::string& path, const std::string& bytes) {
  HANDLE file = ::CreateFileA(path.c_str(), FILE_APPEND_DATA, FILE_SHARE_READ | FILE_SHARE_WRITE,
                              nullptr, OPEN_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
  if (file == INVALID_HANDLE_VALUE) {
    return false;
  }
  bool ok = WriteHandle(file, bytes);
  ::CloseHandle(file);
  return ok;
}

std::vector<DirEntry> WindowsMachine::List(const std::string& pattern) {
  std::vector<DirEntry> entries;
  WIN32_FIND_DATAA data;
  HANDLE find = ::FindFirstFileA(pattern.c_str(), &data);
  if (find == INVALID_HANDLE_VALUE) {
    return entries;
  }
  do {
    std::string name = data.cFileName;
    if (name != "." && name != "..") {
      entries.push_back({name, (data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0});
    }
  } while (::FindNextFileA(find, &data));
  ::FindClose(find);
  return entries;
}

bool WindowsMachine::GetAttributes(const std::string& path, unsigned* attributes) {
  DWORD found = ::GetFileAttributesA(path.c_str());
  if (found == INVALID_FILE_ATTRIBUTES) {
    return false;
  }
  *attributes = found;
  return true;
}

bool WindowsMachine::SetAttributes(const std::string& path, unsigned attributes) {
  DWORD wanted = attributes & (kReadOnly | kHidden | kSystem | kArchive);
  return ::SetFileAttributesA(path.c_str(), wanted == 0 ? FILE_ATTRIBUTE_NORMAL : wanted) != 0;
}

std::string WindowsMachine::GetEnv(const std::string& name) {
  char buffer[32768];
  DWORD length = ::GetEnvironmentVariableA(name.c_str(), buffer, sizeof buffer);
  return length > 0 && length < sizeof buffer ? std::string(buffer, length) : std::string();
}

std::string WindowsMachine::CurrentDir() {
  char buffer[MAX_PATH * 2];
  DWORD length = ::GetCurrentDirectoryA(sizeof buffer, buffer);
  std::string dir(buffer, length < sizeof buffer ? length : 0);
  if (dir.size() > 3 && dir.back() == '\\') {
    dir.pop_back();
  }
  return dir;
}

std::string WindowsMachine::ReadStdin() {
  std::string bytes;
  HANDLE input = ::GetStdHandle(STD_INPUT_HANDLE);
  if (input != nullptr && input != INVALID_HANDLE_VALUE) {
    ReadHandle(input, &bytes);
  }
  return bytes;
}

void WriteStandard(bool error, const std::string& bytes) {
  HANDLE handle = ::GetStdHandle(error ? STD_ERROR_HANDLE : STD_OUTPUT_HANDLE);
  if (handle != nullptr && handle != INVALID_HANDLE_VALUE && !bytes.empty()) {
    WriteHandle(handle, bytes);
  }
}

}  // namespace kvx::bench
