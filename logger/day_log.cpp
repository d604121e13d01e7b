#include "logger/day_log.h"

#include <fstream>
#include <iterator>

#include "logger/local_time.h"
#include "logger/log_file_name.h"

namespace logger {

namespace {

#ifdef _WIN32
constexpr char kSeparator = '\\';
#else
constexpr char kSeparator = '/';
#endif

}  // namespace

std::string LogDirectory(const std::string& directory) {
  return LogDirectoryOf(directory, kSeparator);
}

std::string TodayLogPath(const std::string& directory) {
  return LogDirectory(directory) + LogFileNameFor(LocalTimeNow());
}

std::vector<std::string> SplitLines(const std::string& text) {
  std::vector<std::string> lines;
  std::size_t start = 0;
  while (start < text.size()) {
    std::size_t end = text.find('\n', start);
    if (end == std::string::npos) end = text.size();
    std::string line = text.substr(start, end - start);
    if (!line.empty() && line.back() == '\r') line.pop_back();
    lines.push_back(line);
    start = end + 1;
  }
  return lines;
}

std::vector<std::string> LastLines(const std::vector<std::string>& lines, std::size_t count) {
  std::size_t first = lines.size() > count ? lines.size() - count : 0;
  return std::vector<std::string>(lines.begin() + static_cast<std::ptrdiff_t>(first), lines.end());
}

std::string ReadFrom(const std::string& path, std::size_t offset) {
  std::ifstream in(path, std::ios::binary);
  if (!in) return std::string();
  in.seekg(static_cast<std::streamoff>(offset));
  if (!in) return std::string();
  return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

std::size_t FileSize(const std::string& path) {
  std::ifstream in(path, std::ios::binary | std::ios::ate);
  if (!in) return 0;
  const std::streamoff size = in.tellg();
  return size > 0 ? static_cast<std::size_t>(size) : 0;
}

}  // namespace logger
