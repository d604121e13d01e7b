#include "tests/support/child_process.h"

#include <fcntl.h>
#include <signal.h>
#include <stdlib.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <chrono>
#include <thread>

namespace testing_support {
namespace {

// Forks and runs program in the child: its standard output and error go to
// output when that is a descriptor (else to outputFile when one is named),
// its environment changed and in directory as asked. -1 when the fork
// failed; a child that cannot run the program ends with exit code 127.
pid_t Spawn(const std::string& program, const std::vector<std::string>& arguments,
            const std::string& directory, const EnvironmentChanges& environment, int output,
            const std::string& outputFile = std::string()) {
  std::vector<char*> argv;
  argv.push_back(const_cast<char*>(program.c_str()));
  for (const std::string& argument : arguments) argv.push_back(const_cast<char*>(argument.c_str()));
  argv.push_back(nullptr);
  const pid_t child = fork();
  if (child != 0) return child;
  if (output < 0 && !outputFile.empty()) {
    output = open(outputFile.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
  }
  if (output >= 0) {
    dup2(output, STDOUT_FILENO);
    dup2(output, STDERR_FILENO);
  }
  for (const auto& change : environment) {
    if (change.second) {
      setenv(change.first.c_str(), change.second->c_str(), 1);
    } else {
      unsetenv(change.first.c_str());
    }
  }
  if (directory.empty() || chdir(directory.c_str()) == 0) execvp(program.c_str(), argv.data());
  _exit(127);
}

int ExitCodeOf(int status) {
  return WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
}

}  // namespace

ProgramRun RunProgram(const std::string& program, const std::vector<std::string>& arguments,
                      const std::string& directory, const EnvironmentChanges& environment) {
  ProgramRun run;
  // Both ends close in the child's program; its standard output and error
  // are copies that stay open.
  int pipeEnds[2];
  if (pipe2(pipeEnds, O_CLOEXEC) != 0) return run;
  const pid_t child = Spawn(program, arguments, directory, environment, pipeEnds[1]);
  close(pipeEnds[1]);
  if (child < 0) {
    close(pipeEnds[0]);
    return run;
  }
  char buffer[4096];
  for (;;) {
    const ssize_t got = read(pipeEnds[0], buffer, sizeof buffer);
    if (got > 0) {
      run.output.append(buffer, static_cast<std::size_t>(got));
    } else if (got == 0 || errno != EINTR) {
      break;
    }
  }
  close(pipeEnds[0]);
  int status = 0;
  while (waitpid(child, &status, 0) < 0 && errno == EINTR) {
  }
  if (WIFEXITED(status)) run.exitCode = WEXITSTATUS(status);
  return run;
}

ChildProcess::ChildProcess(const std::string& program, const std::vector<std::string>& arguments,
                           const Options& options) {
  const pid_t pid =
      Spawn(program, arguments, options.directory, options.environment, -1, options.outputFile);
  if (pid > 0) {
    m_process = pid;
    m_id = static_cast<unsigned long>(pid);
  }
}

ChildProcess::~ChildProcess() { Kill(); }

std::optional<int> ChildProcess::WaitExit(int milliseconds) {
  if (m_process == 0) return std::nullopt;
  const auto end = std::chrono::steady_clock::now() + std::chrono::milliseconds(milliseconds);
  do {
    int status = 0;
    if (waitpid(static_cast<pid_t>(m_process), &status, WNOHANG) == m_process) {
      m_process = 0;
      return ExitCodeOf(status);
    }
    std::this_thread::sleep_for(std::chrono::milliseconds(20));
  } while (std::chrono::steady_clock::now() < end);
  return std::nullopt;
}

std::optional<int> ChildProcess::Stop(int milliseconds) {
  if (m_process == 0) return std::nullopt;
  kill(static_cast<pid_t>(m_process), SIGTERM);
  return WaitExit(milliseconds);
}

void ChildProcess::Kill() {
  if (m_process == 0) return;
  kill(static_cast<pid_t>(m_process), SIGKILL);
  waitpid(static_cast<pid_t>(m_process), nullptr, 0);
  m_process = 0;
}

void ChildProcess::Release() { m_process = 0; }

}  // namespace testing_support
