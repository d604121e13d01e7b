// The Win32 ANSI calls, so that paths in the ANSI code page (GBK names of
// Chinese directories) mean what they mean to the library.
#include <windows.h>

#include <stdexcept>

#include "tests/support/files.h"

namespace testing_support {

bool IsFile(const std::string& path) {
  DWORD attributes = GetFileAttributesA(path.c_str());
  return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY) == 0;
}

bool IsDirectory(const std::string& path) {
  DWORD attributes = GetFileAttributesA(path.c_str());
  return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
}

std::uintmax_t FileSize(const std::string& path) {
  WIN32_FILE_ATTRIBUTE_DATA data;
  if (!GetFileAttributesExA(path.c_str(), GetFileExInfoStandard, &data)) return 0;
  return (static_cast<std::uintmax_t>(data.nFileSizeHigh) << 32) | data.nFileSizeLow;
}

std::string MakeTempDirectory() {
  char temp[MAX_PATH] = {};
  if (GetTempPathA(MAX_PATH, temp) == 0) throw std::runtime_error("no temp path");
  static unsigned counter = 0;
  for (;;) {
    std::string path = std::string(temp) + "readcard-" + std::to_string(GetCurrentProcessId()) +
                       "-" + std::to_string(++counter);
    if (CreateDirectoryA(path.c_str(), nullptr)) return path + "\\";
    if (GetLastError() != ERROR_ALREADY_EXISTS) throw std::runtime_error("cannot create " + path);
  }
}

void RemoveTree(const std::string& directory) {
  WIN32_FIND_DATAA entry;
  HANDLE find = FindFirstFileA((directory + "*").c_str(), &entry);
  if (find != INVALID_HANDLE_VALUE) {
    do {
      const std::string name = entry.cFileName;
      if (name == "." || name == "..") continue;
      if (entry.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) {
        RemoveTree(directory + name + "\\");
      } else {
        DeleteFileA((directory + name).c_str());
      }
    } while (FindNextFileA(find, &entry));
    FindClose(find);
  }
  RemoveDirectoryA(directory.c_str());
}

}  // namespace testing_support
