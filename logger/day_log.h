#pragma once
// Reading the day's log file that the card library writes below the host
// directory, for the programs beside it (cardhost, the card service).
#include <cstddef>
#include <string>
#include <vector>

namespace logger {

// <directory>Log\readcard\ (Log/readcard/ natively): directory ends in its
// separator.
std::string LogDirectory(const std::string& directory);

// The day's log file in LogDirectory(directory) for today's local date.
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

}  // namespace logger
