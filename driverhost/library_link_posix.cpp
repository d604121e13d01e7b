#include <errno.h>
#include <fcntl.h>
#include <pthread.h>
#include <signal.h>
#include <sys/socket.h>
#include <time.h>
#include <unistd.h>

#include <cstdlib>
#include <cstring>

#include "driverhost/library_link.h"

namespace driverhost {

namespace {

// The exit code when the host process ended first.
constexpr int kHostEnded = 125;

int g_pipe = -1;
pid_t g_host = 0;

// The host's end is not tied to one of its threads (as PR_SET_PDEATHSIG
// would be, ending the driver host with the thread that first read a card):
// the parent process itself is watched.
void* WatchHost(void*) {
  const timespec pause = {0, 100 * 1000 * 1000};
  while (getppid() == g_host) nanosleep(&pause, nullptr);
  _exit(kHostEnded);
}

}  // namespace

bool ConnectToLibrary(int argc, char** argv) {
  if (argc != 3 || std::strcmp(argv[1], "--host") != 0) return false;
  g_host = static_cast<pid_t>(std::strtol(argv[2], nullptr, 10));
  if (g_host <= 1 || getppid() != g_host) return false;
  pthread_t watch;
  if (pthread_create(&watch, nullptr, WatchHost, nullptr) != 0) return false;
  pthread_detach(watch);
  // The pipe on a descriptor of its own; 0 onto the null device and 1 onto
  // standard error, for whatever the driver prints.
  g_pipe = fcntl(STDIN_FILENO, F_DUPFD_CLOEXEC, 3);
  if (g_pipe < 0 || dup2(STDERR_FILENO, STDOUT_FILENO) < 0) return false;
  const int null = open("/dev/null", O_RDONLY);
  if (null >= 0) {
    dup2(null, STDIN_FILENO);
    close(null);
  }
  return true;
}

bool ReadFromLibrary(std::string& bytes, std::size_t limit) {
  char buffer[8192];
  const std::size_t wanted = limit < sizeof buffer ? limit : sizeof buffer;
  for (;;) {
    const ssize_t part = recv(g_pipe, buffer, wanted, 0);
    if (part < 0 && errno == EINTR) continue;
    if (part <= 0) return false;
    bytes.append(buffer, static_cast<std::size_t>(part));
    return true;
  }
}

bool WriteToLibrary(const std::string& bytes) {
  std::size_t written = 0;
  while (written < bytes.size()) {
    const ssize_t put = send(g_pipe, bytes.data() + written, bytes.size() - written, MSG_NOSIGNAL);
    if (put < 0 && errno == EINTR) continue;
    if (put <= 0) return false;
    written += static_cast<std::size_t>(put);
  }
  return true;
}

}  // namespace driverhost
