#pragma once
// What a library file says about itself: on Windows its version resource
// (Explorer's Details tab); natively, where the loader's name leads.
// Platform seam: file_version_win.cpp, file_version_posix.cpp.
#include <string>

namespace cardhost {

// Whether this platform's libraries carry version resources.
extern const bool kFilesHaveVersions;

struct FileVersion {
  bool present = false;
  std::string version;      // fixed file version, "86.0.0.0"
  std::string description;  // FileDescription, ANSI code page
  std::string product;      // ProductName
};

FileVersion ReadFileVersion(const std::string& path);

// The file that path finally names, links followed; path itself when it
// cannot be told (and always on Windows).
std::string ResolvedPath(const std::string& path);

}  // namespace cardhost
