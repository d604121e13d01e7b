#include <stdlib.h>

#include "tools/cardhost/file_version.h"

namespace cardhost {

// ELF files have no version resource; the version is in the file's name
// (libreadcard.so.86.0.0) and QTZ_DLL_BBH answers it.
const bool kFilesHaveVersions = false;

FileVersion ReadFileVersion(const std::string&) { return FileVersion(); }

std::string ResolvedPath(const std::string& path) {
  char* resolved = realpath(path.c_str(), nullptr);
  if (resolved == nullptr) return path;
  std::string result = resolved;
  free(resolved);
  return result;
}

}  // namespace cardhost
