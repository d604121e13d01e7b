#include "logger/daily_file.h"

#include "host/executable_path.h"
#include "logger/make_directories.h"

namespace logger {

DailyFile::DailyFile(std::string hostDirectory, DailyLogName name)
    : m_hostDirectory(std::move(hostDirectory)), m_name(name) {}

std::string DailyFile::directory() const {
  return DailyLogDirectory(m_hostDirectory, m_name, host::kPathSeparator);
}

void DailyFile::OpenFor(const std::tm& day) {
  if (m_name.folder == nullptr) return;
  const std::string directory = this->directory();
  std::string path = directory + DailyLogFileName(m_name, day);
  if (m_file && path == m_path) return;
  m_file.reset();
  m_path = std::move(path);
  m_file = std::make_unique<AppendFile>(m_path);
  if (m_file->isOpen()) return;
  // A directory that cannot be made (a file named Log in the way, no
  // permission, a path too long) leaves the file unopenable and the sink
  // silent.
  if (MakeDirectories(directory, host::kPathSeparator, host::IsLeadByte)) {
    m_file = std::make_unique<AppendFile>(m_path);
  }
}

}  // namespace logger
