#include "tests/support/day_log.h"

#include <cstdio>
#include <ctime>
#include <fstream>

namespace testing_support {

std::string DayLogName() {
  std::time_t now = std::time(nullptr);
  std::tm local = *std::localtime(&now);
  char name[48];
  std::snprintf(name, sizeof name, "qtz-%d-%02d-%02d.log", local.tm_year + 1900,
                local.tm_mon + 1, local.tm_mday);
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

LogWatch::LogWatch(const std::string& path)
    : m_path(path), m_before(ReadLines(path).size()) {}

std::vector<std::string> LogWatch::NewMessages() const {
  std::vector<std::string> lines = ReadLines(m_path);
  std::vector<std::string> messages;
  for (std::size_t i = m_before; i < lines.size(); ++i) {
    messages.push_back(MessageOf(lines[i]));
  }
  return messages;
}

}  // namespace testing_support
