#include "test_files.h"

#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <sstream>

namespace logtest {
namespace fs = std::filesystem;

// The temporary names are plain ASCII, so std::filesystem handles them alike
// on every platform; the names the library itself builds are tested through
// the library's own directory seam.
TempDirectory::TempDirectory() {
  static std::atomic<int> counter{0};
  std::ostringstream name;
  name << "readcard-logger-"
       << std::chrono::steady_clock::now().time_since_epoch().count() << "-"
       << counter++;
  fs::path path = fs::path(testing::TempDir()) / name.str();
  fs::create_directories(path);
  m_path = path.string() + static_cast<char>(fs::path::preferred_separator);
}

TempDirectory::~TempDirectory() {
  std::error_code ignored;
  fs::remove_all(m_path, ignored);
}

std::string ReadFile(const std::string& path) {
  std::ifstream file(path, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(file),
                     std::istreambuf_iterator<char>());
}

void WriteFile(const std::string& path, const std::string& content) {
  std::ofstream(path, std::ios::binary) << content;
}

bool IsDirectory(const std::string& path) {
  std::error_code ignored;
  return fs::is_directory(path, ignored);
}

bool IsFile(const std::string& path) {
  std::error_code ignored;
  return fs::is_regular_file(path, ignored);
}

std::uintmax_t FileSize(const std::string& path) {
  std::error_code error;
  std::uintmax_t size = fs::file_size(path, error);
  return error ? 0 : size;
}

}  // namespace logtest
