#include "service/service_log.h"

#include <cstdio>

#include "logger/local_time.h"
#include "logger/log_file_name.h"
#include "logger/make_directories.h"
#include "service/system_text.h"
#include "text/executable_path.h"

namespace service {
namespace {

#ifdef _WIN32
constexpr char kLineEnd[] = "\r\n";  // read in Notepad
#else
constexpr char kLineEnd[] = "\n";
#endif

}  // namespace

std::string ServiceLogLine(const std::tm& time, const std::string& text) {
  char stamp[64] = {};
  std::snprintf(stamp, sizeof stamp, "%s %02d:%02d:%02d ", logger::FormatDate(time).c_str(),
                time.tm_hour, time.tm_min, time.tm_sec);
  std::string line = stamp;
  for (char c : text) {
    const unsigned char byte = static_cast<unsigned char>(c);
    line += (byte < 0x20 || byte == 0x7F) ? ' ' : c;
  }
  return line;
}

std::string ServiceLogFileName(const std::tm& time) {
  return "cardservice-" + logger::FormatDate(time) + ".log";
}

std::string ServiceLogDirectory(const std::string& programDirectory) {
  return programDirectory + "Log" + text::kPathSeparator + "cardservice" + text::kPathSeparator;
}

ServiceLog::ServiceLog(std::string programDirectory, bool echo)
    : m_directory(std::move(programDirectory)), m_echo(echo) {}

std::string ServiceLog::TodayPath() const {
  return ServiceLogDirectory(m_directory) + ServiceLogFileName(logger::LocalTimeNow());
}

void ServiceLog::Write(const std::string& text) {
  const std::tm now = logger::LocalTimeNow();
  const std::string line = ServiceLogLine(now, text);
  if (m_echo) {
    std::fprintf(stderr, "cardservice: %s\n", ConsoleText(line).c_str());
    std::fflush(stderr);
  }
  const std::string path = ServiceLogDirectory(m_directory) + ServiceLogFileName(now);
  if (!m_file || path != m_openPath) {
    m_file.reset();
    logger::MakeDirectories(ServiceLogDirectory(m_directory), text::kPathSeparator,
                            text::IsLeadByte);
    m_file = std::make_unique<logger::AppendFile>(path);
    m_openPath = path;
  }
  m_file->Append(line + kLineEnd);
}

}  // namespace service
