#include "logger/log_file_path.h"

#include "host/host_directory.h"

namespace logger {

DailyFile LibraryLogFile() {
  try {
    return DailyFile(host::HostDirectory(), kLibraryLog);
  } catch (...) {
    return DailyFile();
  }
}

}  // namespace logger
