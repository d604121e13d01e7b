#pragma once
// Temporary files and directories for the logger's tests.
#include <cstdint>
#include <string>

namespace logtest {

#ifdef _WIN32
constexpr const char* kLineEnd = "\r\n";  // text mode on Windows
#else
constexpr const char* kLineEnd = "\n";
#endif

// A new empty directory for one test, with its trailing separator; removed
// with everything in it when the object goes.
class TempDirectory {
 public:
  TempDirectory();
  ~TempDirectory();
  TempDirectory(const TempDirectory&) = delete;
  TempDirectory& operator=(const TempDirectory&) = delete;

  const std::string& path() const { return m_path; }

 private:
  std::string m_path;
};

std::string ReadFile(const std::string& path);  // "" when missing
void WriteFile(const std::string& path, const std::string& content);
bool IsDirectory(const std::string& path);
bool IsFile(const std::string& path);
std::uintmax_t FileSize(const std::string& path);  // 0 when missing

}  // namespace logtest
