#pragma once
// A daily file sink: the day's log file below a host program's directory,
// open for appending (the card library's log, the card service's log).
#include <ctime>
#include <memory>
#include <string>

#include "logger/append_file.h"
#include "logger/log_file_name.h"

namespace logger {

class DailyFile {
 public:
  // Nothing is opened until OpenFor. hostDirectory ends in its separator.
  DailyFile(std::string hostDirectory, DailyLogName name);
  DailyFile() = default;  // a sink that never opens: Append always fails

  // Makes the file of day the one appended to, unless it already is. The
  // file is opened first and the log directory made only when that fails,
  // so that a load on a desk whose directory exists asks the system once. A
  // file that cannot be opened leaves the sink closed: Append then fails.
  void OpenFor(const std::tm& day);

  // One system write at the end of the file (logger/append_file.h).
  bool Append(const std::string& bytes) { return m_file && m_file->Append(bytes); }

  const std::string& path() const { return m_path; }  // "" before OpenFor
  std::string directory() const;

 private:
  std::string m_hostDirectory;
  DailyLogName m_name{nullptr, nullptr};
  std::string m_path;
  std::unique_ptr<AppendFile> m_file;
};

}  // namespace logger
