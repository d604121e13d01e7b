#include "service/library_location.h"

#include <fstream>

namespace service {
namespace {

[[maybe_unused]] bool IsFile(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  return static_cast<bool>(in);
}

}  // namespace

const char* CardLibraryName() {
#ifdef _WIN32
  return READCARD_LIBRARY_FILE;
#else
  return READCARD_LIBRARY_SONAME;
#endif
}

std::string CardLibraryLocation(const std::string& programDirectory) {
#ifdef _WIN32
  return programDirectory + READCARD_LIBRARY_FILE;
#else
  for (const char* file : {READCARD_LIBRARY_SONAME, READCARD_LIBRARY_FILE}) {
    if (IsFile(programDirectory + file)) return programDirectory + file;
  }
  return READCARD_LIBRARY_SONAME;
#endif
}

bool IsLibraryPath(const std::string& location) {
  return location.find_first_of("/\\") != std::string::npos;
}

}  // namespace service
