#include "logger/log_file_path.h"

#include "logger/local_time.h"
#include "logger/log_file_name.h"
#include "logger/make_directories.h"
#include "text/executable_path.h"
#include "text/module_directory.h"

std::string GetDateString() { return logger::FormatDate(logger::LocalTimeNow()); }

std::string GetLogFilePath() {
  try {
    const std::string directory =
        logger::LogDirectoryOf(GetModuleDirectory(), text::kPathSeparator);
    // A directory that cannot be made (a file named Log in the way, no
    // permission, a path too long) leaves the file unopenable, and the file
    // logger silent: the library still loads and answers.
    logger::MakeDirectories(directory, text::kPathSeparator, text::IsLeadByte);
    return directory + logger::LogFileNameFor(logger::LocalTimeNow());
  } catch (...) {
    return std::string();  // out of memory at load: no file, no log
  }
}
