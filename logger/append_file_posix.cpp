#include <errno.h>
#include <fcntl.h>
#include <unistd.h>

#include "logger/append_file.h"

namespace logger {

AppendFile::AppendFile(const std::string& path) {
  m_handle = open(path.c_str(), O_WRONLY | O_APPEND | O_CREAT | O_CLOEXEC, 0666);
}

AppendFile::~AppendFile() {
  if (isOpen()) close(static_cast<int>(m_handle));
}

bool AppendFile::Append(const std::string& bytes) {
  if (!isOpen()) return false;
  ssize_t written;
  do {
    written = write(static_cast<int>(m_handle), bytes.data(), bytes.size());
  } while (written < 0 && errno == EINTR);
  return written == static_cast<ssize_t>(bytes.size());
}

}  // namespace logger
