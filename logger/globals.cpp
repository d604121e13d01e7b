// The library's one logger, built at load and destroyed at unload: building
// it fixes the day's file name and opens the file, making the log directory
// when it is missing.
#include "logger/log_file_path.h"
#include "logger/logger.h"

namespace logger {

FileLogger g_fileLogger(LibraryLogFile());

}  // namespace logger
