#pragma once
// The card service's own log: one UTF-8 line per event (start, stop, every
// refusal, every worker that was ended or died) in a daily file
// Log/cardservice/cardservice-YYYY-MM-DD.log beside the program, so that IT
// staff can see why a page could not read. Under systemd the copy on
// standard error is the journal's, each line with its priority.
#include <cstddef>
#include <ctime>
#include <functional>
#include <memory>
#include <string>

#include "logger/daily_file.h"

namespace service {

// "YYYY-MM-DD HH:MM:SS text" with every control byte of text (a line end
// smuggled in through a header, say) shown as a space, the characters that
// viewers may break lines at (NEL, U+2028, U+2029) as \uXXXX, and bytes
// that are not UTF-8 as \xNN: one event is always one line of UTF-8.
std::string ServiceLogLine(const std::tm& time, const std::string& text);

// The most of a value that a stranger sent (an origin, a host, a path) that
// a log line carries: the first limit bytes, never a UTF-8 sequence cut in
// two, and the whole length when it was cut.
constexpr std::size_t kLoggedValueLimit = 200;
std::string CutForLog(const std::string& value, std::size_t limit = kLoggedValueLimit);

// "cardservice-YYYY-MM-DD.log" for the local date of time.
std::string ServiceLogFileName(const std::tm& time);

// <programDirectory>Log<sep>cardservice<sep>
std::string ServiceLogDirectory(const std::string& programDirectory);

// How much a line matters, as syslog and the journal number it.
enum class LogLevel { Error = 3, Warning = 4, Notice = 5, Info = 6 };

// The line as the journal takes it on standard error: "<4>text", its
// priority first, no time stamp (the journal keeps its own), control bytes
// shown as spaces.
std::string JournalLine(LogLevel level, const std::string& text);

// How large the service's file may grow in a day: far above a desk's
// ordinary day, far below what fills a disk.
constexpr std::size_t kServiceLogDayLimit = 4 * 1024 * 1024;

class ServiceLog {
 public:
  // Writes below programDirectory (with its trailing separator); echo also
  // copies each line to standard error (the program in the foreground), as
  // journal lines when standard error is the journal's stream. dayLimit
  // bounds the bytes of one day's file.
  ServiceLog(std::string programDirectory, bool echo, std::size_t dayLimit = kServiceLogDayLimit);
  // Says how many lines the cap held back, if any.
  ~ServiceLog();
  ServiceLog(const ServiceLog&) = delete;
  ServiceLog& operator=(const ServiceLog&) = delete;

  // Appends one line to the day's file, opening the next day's file when the
  // date has changed. Once the day's file reaches its limit, one line says
  // so and later lines are only counted; the count is written when the day
  // or the service ends. A log that cannot be written loses the line,
  // nothing else. echo false keeps a line that the console has been told
  // otherwise off it.
  void Write(const std::string& text, LogLevel level = LogLevel::Info, bool echo = true);

  // The file that a line written now lands in.
  std::string TodayPath() const;

 private:
  void StartDay();  // a new day's file was opened
  void Append(const std::string& line);
  std::string HeldBackLine() const;

  std::string m_directory;
  bool m_echo;
  bool m_journal;
  std::size_t m_dayLimit;
  std::size_t m_written = 0;   // bytes in the open file
  bool m_capped = false;       // the open file reached its limit
  std::size_t m_heldBack = 0;  // lines not written since
  logger::DailyFile m_file;
};

}  // namespace service
