#include "tests/support/day_log.h"

#include <cstdio>
#include <ctime>
#include <fstream>

namespace testing_support {

std::string DayLogName() {
  std::time_t now = std::time(nullptr);
  std::tm local = *std::localtime(&now);
  char name[48];
  std::snprintf(name, sizeof name, "qtz-%d-%02d-%02d.log", local.tm_year + 1900, local.tm_mon + 1,
                local.tm_mday);
  return name;
}

std::string DayLogPath(const std::string& hostDirectory, char separator) {
  return hostDirectory + "Log" + separator + "readcard" + separator + DayLogName();
}

std::vector<std::string> ReadLines(const std::string& path) {
  std::vector<std::string> lines;
  std::ifstream file(path, std::ios::binary);
  std::string line;
  while (std::getline(file, line)) {
    if (!line.empty() && line.back() == '\r') line.pop_back();
    lines.push_back(line);
  }
  return lines;
}

std::string MessageOf(const std::string& line) {
  std::size_t tab = line.find('\t');
  return tab == std::string::npos ? std::string() : line.substr(tab + 1);
}

namespace {

// The file's size in bytes; 0 when it does not exist.
std::size_t SizeOf(const std::string& path) {
  std::ifstream file(path, std::ios::binary | std::ios::ate);
  if (!file) return 0;
  const std::streamoff size = file.tellg();
  return size > 0 ? static_cast<std::size_t>(size) : 0;
}

}  // namespace

// Only what was added is read: the day's log of a build directory grows to
// megabytes over a day of test runs, and reading all of it for every check
// makes the tests crawl under Wine's heap checking.
LogWatch::LogWatch(const std::string& path) : m_path(path), m_before(SizeOf(path)) {}

std::vector<std::string> LogWatch::NewMessages() const {
  std::vector<std::string> messages;
  std::ifstream file(m_path, std::ios::binary);
  if (!file.seekg(static_cast<std::streamoff>(m_before))) return messages;
  std::string line;
  while (std::getline(file, line)) {
    if (!line.empty() && line.back() == '\r') line.pop_back();
    messages.push_back(MessageOf(line));
  }
  return messages;
}

}  // namespace testing_support
