#pragma once
// Platform seam: the driver host process as the library sees it, over one
// pipe (Windows: an overlapped named pipe and the process handle; POSIX: a
// socket pair and waitpid). It inherits nothing of the host but that pipe
// and, on Windows, a handle to watch the host by (and it runs in a job that
// kills it when the host's process ends); what a driver prints goes to the
// null device.
#include <cstddef>
#include <memory>
#include <string>

namespace driver {

// Whether path names a file (not a directory).
bool ProgramFileExists(const std::string& path);

class DriverHostProcess {
 public:
  enum class Exchanged { kAnswered, kTimedOut, kEnded, kNotSent };

  struct StartFailure {
    bool missing = false;  // no such program file
    std::string detail;    // the system's reason, "error 5" / "errno 13"
  };

  // Starts program and waits at most kStartMs for its greeting; null, and
  // why in failure, when it cannot start or dies starting.
  static std::unique_ptr<DriverHostProcess> Start(const std::string& program,
                                                  StartFailure& failure);
  static constexpr int kStartMs = 30000;

  // Closes the pipe and nothing else (it may run at unload): the driver
  // host ends by itself when its pipe closes.
  ~DriverHostProcess();
  DriverHostProcess(const DriverHostProcess&) = delete;
  DriverHostProcess& operator=(const DriverHostProcess&) = delete;

  // Sends request and waits at most timeoutMs for exactly answerSize bytes.
  // kNotSent: the process was gone before the request reached it; kEnded:
  // it ended (or closed the pipe) before the whole answer came.
  Exchanged Exchange(const std::string& request, std::size_t answerSize, int timeoutMs,
                     std::string& answer);

  // Ends the process without waiting on it for more than a moment.
  void Kill();

  // How the process ended ("exit code 3", "exception 0xC00000FD stack
  // overflow", "signal 11"), once it has; waits a moment for that.
  std::string HowItEnded();

  struct Impl;

 private:
  explicit DriverHostProcess(std::unique_ptr<Impl> impl);
  // The platform's start; Start adds the wait for the greeting.
  static std::unique_ptr<DriverHostProcess> Launch(const std::string& program,
                                                   StartFailure& failure);
  // Sends all of bytes (kNotSent when the process is gone), or receives
  // exactly size bytes, before the deadline.
  Exchanged Send(const std::string& bytes, long long deadlineMs);
  Exchanged Receive(std::size_t size, long long deadlineMs, std::string& bytes);
  std::unique_ptr<Impl> m_impl;
};

}  // namespace driver
