#pragma once
// The day's log file that the library writes below the host program's
// directory, read back so tests can see the records a call left.
#include <cstddef>
#include <string>
#include <vector>

namespace testing_support {

// The line end of every record in a log file on disk: CR LF on Windows, LF
// elsewhere.
#ifdef _WIN32
constexpr const char* kLogLineEnd = "\r\n";
#else
constexpr const char* kLogLineEnd = "\n";
#endif

// qtz-YYYY-MM-DD.log: the name of the log file for today's local date.
std::string DayLogName();

// <hostDirectory>Log<sep>readcard<sep>qtz-YYYY-MM-DD.log for today's local
// date; hostDirectory ends in its separator.
std::string DayLogPath(const std::string& hostDirectory, char separator);

// The file's lines without their line ends (LF or CR LF); none when the file
// is missing.
std::vector<std::string> ReadLines(const std::string& path);

// The message of a record line: everything after the first tab.
std::string MessageOf(const std::string& line);

// The messages of the records that a log file gains from the watch's start.
class LogWatch {
 public:
  explicit LogWatch(const std::string& path);
  std::vector<std::string> NewMessages() const;

 private:
  std::string m_path;
  std::size_t m_before;  // the file's size when the watch began
};

}  // namespace testing_support
