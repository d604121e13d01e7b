#include "logger/log_file_name.h"

#include <cstdio>

namespace logger {

std::string DailyLogDirectory(const std::string& hostDirectory, const DailyLogName& name,
                              char separator) {
  return hostDirectory + "Log" + separator + name.folder + separator;
}

std::string FormatDate(const std::tm& time) {
  char date[40] = {};  // room for any three int values
  std::snprintf(date, sizeof date, "%d-%02d-%02d", time.tm_year + 1900, time.tm_mon + 1,
                time.tm_mday);
  return std::string(date).substr(0, 10);
}

std::string DailyLogFileName(const DailyLogName& name, const std::tm& day) {
  return name.prefix + FormatDate(day) + ".log";
}

}  // namespace logger
