#pragma once
// What a DLL's version resource says about it (Explorer's Details tab).
#include <string>

namespace cardhost {

struct FileVersion {
  bool present = false;
  std::string version;      // fixed file version, "86.0.0.0"
  std::string description;  // FileDescription, ANSI code page
  std::string product;      // ProductName
};

FileVersion ReadFileVersion(const std::string& path);

}  // namespace cardhost
