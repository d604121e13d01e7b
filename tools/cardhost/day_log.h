#pragma once
// The day's log file that readcard.dll writes below the host directory.
#include <cstddef>
#include <string>
#include <vector>

namespace cardhost {

// <directory>Log\readcard\ : directory ends in its backslash.
std::string LogDirectory(const std::string& directory);

// <directory>Log\readcard\qtz-YYYY-MM-DD.log for today's local date.
std::string TodayLogPath(const std::string& directory);

// The lines of text (LF or CR LF line ends, removed); a last line without
// a line end counts, an empty text has no lines.
std::vector<std::string> SplitLines(const std::string& text);

// The last count lines of lines (all of them when there are fewer).
std::vector<std::string> LastLines(const std::vector<std::string>& lines, std::size_t count);

// The file's bytes from offset on; "" when it cannot be read.
std::string ReadFrom(const std::string& path, std::size_t offset);

// The file's size in bytes; 0 when it does not exist.
std::size_t FileSize(const std::string& path);

}  // namespace cardhost
