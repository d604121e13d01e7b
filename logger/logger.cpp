#include "logger/logger.h"

#include <exception>

#include "logger/local_time.h"

namespace logger {
namespace {

const char* LevelName(Level level) {
  static constexpr const char* kNames[] = {"Debug", "Info", "Warning", "Error", "Fatal"};
  return level >= Debug && level <= Fatal ? kNames[level] : "Unknown";
}

}  // namespace

BaseLogger::LogStream::LogStream(BaseLogger* logger, Level level)
    : m_logger(logger), m_level(level), m_exceptionsInFlight(std::uncaught_exceptions()) {}

BaseLogger::LogStream& BaseLogger::LogStream::operator<<(const char* text) {
  if (text != nullptr) m_text += text;
  return *this;
}

BaseLogger::LogStream& BaseLogger::LogStream::operator<<(const std::string& text) {
  m_text += text;
  return *this;
}

BaseLogger::LogStream& BaseLogger::LogStream::operator<<(char c) {
  m_text += c;
  return *this;
}

BaseLogger::LogStream::~LogStream() {
  // Logging must never disturb the card operation that logs: a record that
  // cannot be made or written is dropped, and nothing leaves this destructor.
  if (std::uncaught_exceptions() > m_exceptionsInFlight) return;
  try {
    MutexLock lock(m_logger->m_mutex);
    const char* levelName = LevelName(m_level);
    m_logger->m_time = LocalTimeNow();
    m_logger->output(&m_logger->m_time, levelName, m_text.c_str());
  } catch (...) {
  }
}

BaseLogger::LogStream BaseLogger::operator()(Level level) { return LogStream(this, level); }

FileLogger::FileLogger(DailyFile file) : m_file(std::move(file)) {
  // The library's logger is built at load: running out of memory there
  // leaves it without a file, never the load failing.
  try {
    m_file.OpenFor(LocalTimeNow());
  } catch (...) {
  }
}

// m_file closes itself; nothing is held back in a buffer.
FileLogger::~FileLogger() = default;

void FileLogger::output(const std::tm* time, const char* levelName, const char* message) {
  // The whole line in one append: a line that two writes put down could be
  // split by another process's line between them. A file that failed to open
  // or a write that fails drops the record. Called with the mutex held, so
  // m_line is this record's alone.
  m_line.clear();
  AppendRecordLine(m_line, *time, levelName, message, kFileLineEnd);
  m_file.Append(m_line);
}

}  // namespace logger
