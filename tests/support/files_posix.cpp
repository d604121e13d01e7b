#include <stdlib.h>

#include <filesystem>
#include <stdexcept>

#include "tests/support/files.h"

namespace testing_support {
namespace fs = std::filesystem;

bool IsFile(const std::string& path) {
  std::error_code ignored;
  return fs::is_regular_file(path, ignored);
}

bool IsDirectory(const std::string& path) {
  std::error_code ignored;
  return fs::is_directory(path, ignored);
}

std::uintmax_t FileSize(const std::string& path) {
  std::error_code error;
  std::uintmax_t size = fs::file_size(path, error);
  return error ? 0 : size;
}

std::string MakeTempDirectory() {
  char pattern[] = "/tmp/readcard-XXXXXX";
  if (mkdtemp(pattern) == nullptr) throw std::runtime_error("mkdtemp failed");
  return std::string(pattern) + "/";
}

void RemoveTree(const std::string& directory) {
  std::error_code ignored;
  fs::remove_all(directory, ignored);
}

}  // namespace testing_support
