#include "logger/log_file_path.h"

#include <cstdio>

#include "logger/local_time.h"
#include "logger/make_directories.h"
#include "text/executable_path.h"
#include "text/module_directory.h"

namespace logger {

std::string FormatDate(const std::tm& time) {
  char date[40] = {};  // room for any three int values
  std::snprintf(date, sizeof date, "%d-%02d-%02d", time.tm_year + 1900,
                time.tm_mon + 1, time.tm_mday);
  return std::string(date).substr(0, 10);
}

}  // namespace logger

std::string GetDateString() { return logger::FormatDate(logger::LocalTimeNow()); }

std::string GetLogFilePath() {
  try {
    const char separator = text::kPathSeparator;
    std::string directory = GetModuleDirectory() + "Log" + separator +
                            "readcard" + separator;
    // A directory that cannot be made (a file named Log in the way, no
    // permission, a path too long) leaves the file unopenable, and the file
    // logger silent: the library still loads and answers.
    logger::MakeDirectories(directory, separator, text::IsLeadByte);
    return directory + "qtz-" + GetDateString() + ".log";
  } catch (...) {
    return std::string();  // out of memory at load: no file, no log
  }
}
