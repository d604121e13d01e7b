#pragma once
#include "logger/daily_file.h"

namespace logger {

// The card library's daily log below the host program's directory,
// <host directory>Log\readcard\qtz-YYYY-MM-DD.log, not yet opened. Never
// throws: out of memory, it is a file that never opens.
DailyFile LibraryLogFile();

}  // namespace logger
