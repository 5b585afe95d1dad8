// Plain Win32 file helpers for the Windows side's tests, independent of the
// host under test: read and write a file's bytes, remove a folder tree.
#ifndef KVXCFG_TESTS_WINDOWS_PLAIN_FILES_H
#define KVXCFG_TESTS_WINDOWS_PLAIN_FILES_H

#include <string>

#include "host/text.h"
#include "host/windows_api.h"
#include "tests/windows/check.h"

namespace kvx {

// The file's bytes, or "<missing>" when it cannot be opened.
inline Text ReadRaw(const Text& path) {
  const HANDLE file = CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE,
                                  nullptr, OPEN_EXISTING, 0, nullptr);
  if (file == INVALID_HANDLE_VALUE)
    return "<missing>";
  Text text;
  char chunk[4096];
  DWORD got = 0;
  while (ReadFile(file, chunk, sizeof(chunk), &got, nullptr) && got > 0)
    text.append(chunk, got);
  CloseHandle(file);
  return text;
}

inline void WriteRaw(const Text& path, const Text& text) {
  const HANDLE file =
      CreateFileA(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
  ASSERT_NE(file, INVALID_HANDLE_VALUE) << path;
  DWORD written = 0;
  WriteFile(file, text.data(), static_cast<DWORD>(text.size()), &written, nullptr);
  CloseHandle(file);
}

// Removes the folder and everything in it, read-only files too.
inline void RemoveTree(const std::wstring& path) {
  WIN32_FIND_DATAW entry;
  const HANDLE find = FindFirstFileW((path + L"\\*").c_str(), &entry);
  if (find != INVALID_HANDLE_VALUE) {
    do {
      const std::wstring name = entry.cFileName;
      if (name == L"." || name == L"..")
        continue;
      const std::wstring child = path + L"\\" + name;
      SetFileAttributesW(child.c_str(), FILE_ATTRIBUTE_NORMAL);
      if (entry.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) {
        RemoveTree(child);
      } else {
        DeleteFileW(child.c_str());
      }
    } while (FindNextFileW(find, &entry));
    FindClose(find);
  }
  RemoveDirectoryW(path.c_str());
}

// The same for a path in the ANSI code page.
inline void RemoveTree(const Text& path) {
  std::wstring wide(path.size() + 1, L'\0');
  const int got =
      MultiByteToWideChar(CP_ACP, 0, path.c_str(), -1, &wide[0], static_cast<int>(wide.size()));
  if (got > 0) {
    wide.resize(static_cast<size_t>(got - 1));
    RemoveTree(wide);
  }
}

}  // namespace kvx

#endif  // KVXCFG_TESTS_WINDOWS_PLAIN_FILES_H
