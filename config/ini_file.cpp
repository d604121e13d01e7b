#include <cstdio>
#include <memory>

#include "config/ini_reader.h"

namespace config {

bool ReadIniSection(const std::string& path, IniSection& section, const char* name) {
  section.clear();
  // Binary read: TextLines does the text-mode translation, alike on every
  // build. On Windows fopen hands the narrow path to the ANSI API and opens
  // the file shared for reading and writing.
  std::unique_ptr<std::FILE, int (*)(std::FILE*)> file(std::fopen(path.c_str(), "rb"), std::fclose);
  if (!file) return false;
  TextLines lines(
      [&file](char* buffer, std::size_t size) { return std::fread(buffer, 1, size, file.get()); });
  ParseIniSection(lines, section, name);
  return true;
}

}  // namespace config
