#pragma once
// Where the day's log lies below a host directory; pure text, so that tools
// that read the log name it exactly as the library does.
#include <ctime>
#include <string>

namespace logger {

// The name rule of every daily log below a host program's directory:
// <hostDirectory>Log<separator><folder><separator><prefix>YYYY-MM-DD.log,
// hostDirectory ending in its separator (or empty).
struct DailyLogName {
  const char* folder;
  const char* prefix;
};
constexpr DailyLogName kLibraryLog{"readcard", "qtz-"};             // the card library's
constexpr DailyLogName kServiceLog{"cardservice", "cardservice-"};  // the card service's

std::string DailyLogDirectory(const std::string& hostDirectory, const DailyLogName& name,
                              char separator);
std::string DailyLogFileName(const DailyLogName& name, const std::tm& day);

// The card library's: <hostDirectory>Log<separator>readcard<separator> and
// "qtz-YYYY-MM-DD.log".
inline std::string LogDirectoryOf(const std::string& hostDirectory, char separator) {
  return DailyLogDirectory(hostDirectory, kLibraryLog, separator);
}
inline std::string LogFileNameFor(const std::tm& day) { return DailyLogFileName(kLibraryLog, day); }

// The date of time as "%d-%02d-%02d", cut to its first 10 characters.
std::string FormatDate(const std::tm& time);

}  // namespace logger
