#include <errno.h>
#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <spawn.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <time.h>
#include <unistd.h>

#include <chrono>
#include <cstring>
#include <string>

#include "driver/driver_host_process.h"
#include "driver/process_end.h"

extern char** environ;

namespace driver {

namespace {

// How long Kill and HowItEnded wait for the system to finish a process.
constexpr int kEndWaitMs = 2000;

std::string ErrnoText(int error) { return "errno " + std::to_string(error); }

long long NowMs() {
  return std::chrono::duration_cast<std::chrono::milliseconds>(
             std::chrono::steady_clock::now().time_since_epoch())
      .count();
}

void SleepMs(int milliseconds) {
  timespec pause = {0, milliseconds * 1000000L};
  nanosleep(&pause, nullptr);
}

}  // namespace

struct DriverHostProcess::Impl {
  pid_t pid = -1;
  int socket = -1;  // the library's end
  bool reaped = false;
  int status = 0;
  ~Impl() {
    if (socket >= 0) close(socket);
    // Reaped here if it is already gone; otherwise it ends on the closed
    // socket and the system keeps its exit status until the host ends.
    if (!reaped && pid > 0) waitpid(pid, &status, WNOHANG);
  }
  // Reaps the process if it ends within milliseconds.
  bool Reap(int milliseconds) {
    const long long deadline = NowMs() + milliseconds;
    while (!reaped) {
      const pid_t done = waitpid(pid, &status, WNOHANG);
      if (done == pid || (done < 0 && errno != EINTR)) {
        reaped = done == pid;
        return reaped;
      }
      if (NowMs() >= deadline) return false;
      SleepMs(5);
    }
    return true;
  }
};

bool ProgramFileExists(const std::string& path) {
  struct stat status;
  return stat(path.c_str(), &status) == 0 && !S_ISDIR(status.st_mode);
}

DriverHostProcess::DriverHostProcess(std::unique_ptr<Impl> impl) : m_impl(std::move(impl)) {}
DriverHostProcess::~DriverHostProcess() = default;

std::unique_ptr<DriverHostProcess> DriverHostProcess::Launch(const std::string& program,
                                                             StartFailure& failure) {
  if (access(program.c_str(), X_OK) != 0) {
    failure.missing = errno == ENOENT || errno == ENOTDIR;
    failure.detail = ErrnoText(errno);
    return nullptr;
  }
  int ends[2];
  if (socketpair(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0, ends) != 0) {
    failure.detail = "socketpair " + ErrnoText(errno);
    return nullptr;
  }
  auto impl = std::make_unique<Impl>();
  impl->socket = ends[0];
  // The child's standard input and output are its end of the socket; its
  // standard error, where whatever the driver prints goes, is the null
  // device: the host's own output may be redirected meanwhile, and a copy
  // held by the driver host would keep that file or pipe open.
  posix_spawn_file_actions_t actions;
  posix_spawn_file_actions_init(&actions);
  posix_spawn_file_actions_addopen(&actions, STDERR_FILENO, "/dev/null", O_WRONLY, 0);
  posix_spawn_file_actions_adddup2(&actions, ends[1], STDIN_FILENO);
  posix_spawn_file_actions_adddup2(&actions, ends[1], STDOUT_FILENO);
  // Whatever the calling thread blocks or the host ignores, the driver
  // host starts with the defaults.
  posix_spawnattr_t attributes;
  posix_spawnattr_init(&attributes);
  sigset_t none;
  sigemptyset(&none);
  posix_spawnattr_setsigmask(&attributes, &none);
  sigset_t defaults;
  sigemptyset(&defaults);
  sigaddset(&defaults, SIGPIPE);
  sigaddset(&defaults, SIGCHLD);
  posix_spawnattr_setsigdefault(&attributes, &defaults);
  posix_spawnattr_setflags(&attributes, POSIX_SPAWN_SETSIGMASK | POSIX_SPAWN_SETSIGDEF);
  const std::string host = std::to_string(getpid());
  char* argv[] = {const_cast<char*>(program.c_str()), const_cast<char*>("--host"),
                  const_cast<char*>(host.c_str()), nullptr};
  pid_t pid = -1;
  const int error = posix_spawn(&pid, program.c_str(), &actions, &attributes, argv, environ);
  posix_spawn_file_actions_destroy(&actions);
  posix_spawnattr_destroy(&attributes);
  close(ends[1]);
  if (error != 0) {
    failure.missing = error == ENOENT;
    failure.detail = ErrnoText(error);
    return nullptr;
  }
  impl->pid = pid;
  return std::unique_ptr<DriverHostProcess>(new DriverHostProcess(std::move(impl)));
}

DriverHostProcess::Exchanged DriverHostProcess::Send(const std::string& bytes, long long) {
  // The socket's buffer takes a request at once.
  std::size_t sent = 0;
  while (sent < bytes.size()) {
    const ssize_t put =
        send(m_impl->socket, bytes.data() + sent, bytes.size() - sent, MSG_NOSIGNAL);
    if (put < 0 && errno == EINTR) continue;
    if (put <= 0) return Exchanged::kNotSent;
    sent += static_cast<std::size_t>(put);
  }
  return Exchanged::kAnswered;
}

DriverHostProcess::Exchanged DriverHostProcess::Receive(std::size_t size, long long deadlineMs,
                                                        std::string& bytes) {
  bytes.assign(size, '\0');
  std::size_t got = 0;
  while (got < size) {
    const long long left = deadlineMs - NowMs();
    if (left <= 0) return Exchanged::kTimedOut;
    pollfd wait = {m_impl->socket, POLLIN, 0};
    const int ready = poll(&wait, 1, static_cast<int>(left));
    if (ready < 0 && errno == EINTR) continue;
    if (ready < 0) return Exchanged::kEnded;
    if (ready == 0) return Exchanged::kTimedOut;
    const ssize_t part = recv(m_impl->socket, &bytes[got], size - got, 0);
    if (part < 0 && errno == EINTR) continue;
    if (part <= 0) return Exchanged::kEnded;
    got += static_cast<std::size_t>(part);
  }
  return Exchanged::kAnswered;
}

void DriverHostProcess::Kill() {
  if (m_impl->reaped) return;
  kill(m_impl->pid, SIGKILL);
  m_impl->Reap(kEndWaitMs);
}

std::string DriverHostProcess::HowItEnded() {
  if (!m_impl->Reap(kEndWaitMs)) return "an end not known";
  return DescribeWaitStatus(m_impl->status);
}

}  // namespace driver
