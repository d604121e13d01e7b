#include <fcntl.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <chrono>
#include <cstring>

#include <boost/asio/posix/stream_descriptor.hpp>
#include <boost/asio/steady_timer.hpp>

#include "service/worker/piped_worker.h"
#include "service/worker/worker_process.h"

extern char** environ;

namespace service::worker {

namespace {

// How often a worker that has been ended is asked whether it is gone.
constexpr std::chrono::milliseconds kReapInterval(20);

std::string HowItEnded(int status) {
  if (WIFEXITED(status)) return "exit code " + std::to_string(WEXITSTATUS(status));
  if (WIFSIGNALED(status)) {
    const int signal = WTERMSIG(status);
    const char* name = sigabbrev_np(signal);
    return "signal " + std::to_string(signal) +
           (name != nullptr ? std::string(" (SIG") + name + ")" : "");
  }
  return "status " + std::to_string(status);
}

class PosixWorker : public PipedWorker<boost::asio::posix::stream_descriptor> {
 public:
  PosixWorker(boost::asio::io_context& loop, pid_t pid, int input, int output)
      : PipedWorker(loop, input, output), m_pid(pid), m_reapTimer(loop) {}

  ~PosixWorker() override {
    // Never left running nor unreaped by mistake; a blocking wait is safe
    // after SIGKILL only where the caller did not already reap it.
    if (m_pid > 0) {
      KillGroup();
      waitpid(m_pid, nullptr, WNOHANG);
    }
  }

  void End(std::function<void(const std::string&)> ended) override {
    if (m_pid > 0) KillGroup();
    ClosePipes();
    m_ended = std::move(ended);
    Reap();
  }

 private:
  // The worker leads a process group of its own: whatever the driver
  // started in it ends with the worker (the reader's port, say, is free
  // again). A helper that left the group on purpose is beyond reach.
  void KillGroup() {
    kill(-m_pid, SIGKILL);
    kill(m_pid, SIGKILL);  // should the group be gone already
  }

  void Reap() {
    int status = 0;
    const pid_t reaped = m_pid > 0 ? waitpid(m_pid, &status, WNOHANG) : -1;
    if (reaped == 0) {
      auto self = SharedAs<PosixWorker>();
      m_reapTimer.expires_after(kReapInterval);
      m_reapTimer.async_wait([self](const boost::system::error_code&) { self->Reap(); });
      return;
    }
    const std::string how = reaped == m_pid ? HowItEnded(status) : "not known";
    m_pid = -1;
    if (m_ended) m_ended(how);
    m_ended = nullptr;
  }

  pid_t m_pid;
  boost::asio::steady_timer m_reapTimer;
  std::function<void(const std::string&)> m_ended;
};

// Pipes whose both ends close on exec: only the two ends put in place as the
// worker's standard input and output reach it.
bool MakePipe(int ends[2]) { return pipe2(ends, O_CLOEXEC) == 0; }

void CloseBoth(int ends[2]) {
  close(ends[0]);
  close(ends[1]);
}

}  // namespace

std::shared_ptr<WorkerProcess> StartWorkerProcess(boost::asio::io_context& loop,
                                                  const std::string& program,
                                                  const std::string& directory, Failure& failure) {
  // A worker that dies while the service writes to it must not take the
  // service with it: the write fails with EPIPE instead.
  signal(SIGPIPE, SIG_IGN);
  int input[2], output[2];
  if (!MakePipe(input)) {
    failure = Failure(Words::kWorkerNoPipe, "pipe", std::strerror(errno));
    return nullptr;
  }
  if (!MakePipe(output)) {
    failure = Failure(Words::kWorkerNoPipe, "pipe", std::strerror(errno));
    CloseBoth(input);
    return nullptr;
  }
  posix_spawn_file_actions_t actions;
  posix_spawn_file_actions_init(&actions);
  posix_spawn_file_actions_adddup2(&actions, input[0], STDIN_FILENO);
  posix_spawn_file_actions_adddup2(&actions, output[1], STDOUT_FILENO);
  posix_spawn_file_actions_addclosefrom_np(&actions, 3);  // whatever was opened without O_CLOEXEC
  if (!directory.empty()) posix_spawn_file_actions_addchdir_np(&actions, directory.c_str());
  posix_spawnattr_t attributes;
  posix_spawnattr_init(&attributes);
  sigset_t defaults, none;
  sigemptyset(&defaults);
  sigaddset(&defaults, SIGPIPE);
  sigemptyset(&none);
  posix_spawnattr_setsigdefault(&attributes, &defaults);
  posix_spawnattr_setsigmask(&attributes, &none);
  // A process group of its own: Ctrl+C at the service's terminal is the
  // service's to handle (it stops and ends the worker), not the worker's,
  // and ending the group ends everything the worker started.
  posix_spawnattr_setpgroup(&attributes, 0);
  posix_spawnattr_setflags(&attributes,
                           POSIX_SPAWN_SETSIGDEF | POSIX_SPAWN_SETSIGMASK | POSIX_SPAWN_SETPGROUP);
  std::string flag = "--worker";
  char* arguments[] = {const_cast<char*>(program.c_str()), flag.data(), nullptr};
  pid_t pid = -1;
  const int error = posix_spawn(&pid, program.c_str(), &actions, &attributes, arguments, environ);
  posix_spawn_file_actions_destroy(&actions);
  posix_spawnattr_destroy(&attributes);
  close(input[0]);
  close(output[1]);
  if (error != 0) {
    failure = Failure(Words::kWorkerCannotStart, program, std::strerror(error));
    close(input[1]);
    close(output[0]);
    return nullptr;
  }
  return std::make_shared<PosixWorker>(loop, pid, input[1], output[0]);
}

}  // namespace service::worker
