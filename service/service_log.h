#pragma once
// The card service's own log: one UTF-8 line per event (start, stop, every
// refusal, every worker that was ended or died) in a daily file
// Log/cardservice/cardservice-YYYY-MM-DD.log beside the program, so that IT
// staff can see why a page could not read.
#include <ctime>
#include <functional>
#include <memory>
#include <string>

#include "logger/append_file.h"

namespace service {

// "YYYY-MM-DD HH:MM:SS text" with every control byte of text (a line end
// smuggled in through a header, say) shown as a space.
std::string ServiceLogLine(const std::tm& time, const std::string& text);

// "cardservice-YYYY-MM-DD.log" for the local date of time.
std::string ServiceLogFileName(const std::tm& time);

// <programDirectory>Log<sep>cardservice<sep>
std::string ServiceLogDirectory(const std::string& programDirectory);

class ServiceLog {
 public:
  // Writes below programDirectory (with its trailing separator); echo also
  // copies each line to standard error (the program in the foreground).
  ServiceLog(std::string programDirectory, bool echo);

  // Appends one line to the day's file, opening the next day's file when the
  // date has changed. A log that cannot be written loses the line, nothing else.
  void Write(const std::string& text);

  // The file that a line written now lands in.
  std::string TodayPath() const;

 private:
  std::string m_directory;
  bool m_echo;
  std::string m_openPath;
  std::unique_ptr<logger::AppendFile> m_file;
};

}  // namespace service
