#pragma once
// Where the day's log lies below a host directory; pure text, so that tools
// that read the log name it exactly as the library does.
#include <ctime>
#include <string>

namespace logger {

// <hostDirectory>Log<separator>readcard<separator>; hostDirectory ends in
// its separator (or is empty).
std::string LogDirectoryOf(const std::string& hostDirectory, char separator);

// The date of time as "%d-%02d-%02d", cut to its first 10 characters.
std::string FormatDate(const std::tm& time);

// "qtz-YYYY-MM-DD.log" for the local date of time.
std::string LogFileNameFor(const std::tm& time);

}  // namespace logger
