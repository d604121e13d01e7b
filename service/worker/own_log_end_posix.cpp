#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdlib>

#include "service/worker/own_log_end.h"

namespace service::worker {

std::optional<std::size_t> OwnAppendEnd(const std::string& path) {
  struct stat file;
  if (stat(path.c_str(), &file) != 0) return std::nullopt;
  DIR* descriptors = opendir("/proc/self/fd");
  if (descriptors == nullptr) return std::nullopt;
  std::optional<std::size_t> end;
  while (const dirent* entry = readdir(descriptors)) {
    const int fd = std::atoi(entry->d_name);
    struct stat open;
    if (entry->d_name[0] == '.' || fd == dirfd(descriptors) || fstat(fd, &open) != 0) continue;
    if (open.st_dev != file.st_dev || open.st_ino != file.st_ino) continue;
    const int flags = fcntl(fd, F_GETFL);
    if (flags == -1 || (flags & O_APPEND) == 0) continue;
    const off_t at = lseek(fd, 0, SEEK_CUR);
    if (at >= 0 && (!end || static_cast<std::size_t>(at) > *end))
      end = static_cast<std::size_t>(at);
  }
  closedir(descriptors);
  return end;
}

}  // namespace service::worker
