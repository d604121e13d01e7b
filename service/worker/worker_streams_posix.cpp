#include <fcntl.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>

#include "service/worker/worker_streams.h"

namespace service::worker {

namespace {

int g_output = -1;

}  // namespace

bool TakeStandardStreams() {
  std::fflush(stdout);
  g_output = fcntl(STDOUT_FILENO, F_DUPFD_CLOEXEC, 3);
  if (g_output < 0) return false;
  int aside = dup2(STDERR_FILENO, STDOUT_FILENO);
  if (aside < 0) {
    const int null = open("/dev/null", O_WRONLY | O_CLOEXEC);
    if (null >= 0) {
      aside = dup2(null, STDOUT_FILENO);
      close(null);
    }
  }
  return aside >= 0;
}

std::size_t ReadInput(char* buffer, std::size_t count) {
  for (;;) {
    const ssize_t got = read(STDIN_FILENO, buffer, count);
    if (got >= 0) return static_cast<std::size_t>(got);
    if (errno != EINTR) return 0;
  }
}

bool WriteOutput(const std::string& bytes) {
  std::size_t written = 0;
  while (written < bytes.size()) {
    const ssize_t put = write(g_output, bytes.data() + written, bytes.size() - written);
    if (put < 0 && errno == EINTR) continue;
    if (put <= 0) return false;
    written += static_cast<std::size_t>(put);
  }
  return true;
}

}  // namespace service::worker
