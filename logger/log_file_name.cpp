#include "logger/log_file_name.h"

#include <cstdio>

namespace logger {

std::string LogDirectoryOf(const std::string& hostDirectory, char separator) {
  return hostDirectory + "Log" + separator + "readcard" + separator;
}

std::string FormatDate(const std::tm& time) {
  char date[40] = {};  // room for any three int values
  std::snprintf(date, sizeof date, "%d-%02d-%02d", time.tm_year + 1900,
                time.tm_mon + 1, time.tm_mday);
  return std::string(date).substr(0, 10);
}

std::string LogFileNameFor(const std::tm& time) {
  return "qtz-" + FormatDate(time) + ".log";
}

}  // namespace logger
