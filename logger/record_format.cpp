#include <cstdio>

#include "logger/logger.h"

namespace logger {

std::string FormatRecord(const std::tm& time, const char* levelName,
                         const char* message) {
  // Wide enough for six numbers of any int value and the brackets around them.
  char stamp[96];
  std::snprintf(stamp, sizeof stamp, "[%lld-%02d-%02d %02d:%02d:%02d][",
                static_cast<long long>(time.tm_year) + 1900, time.tm_mon + 1,
                time.tm_mday, time.tm_hour, time.tm_min, time.tm_sec);
  std::string line = stamp;
  line += levelName != nullptr ? levelName : "";
  line += "]\t";
  line += message != nullptr ? message : "";
  return line;
}

}  // namespace logger
