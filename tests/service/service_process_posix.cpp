#include "tests/service/service_process.h"

#include <fcntl.h>
#include <signal.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <thread>

namespace service_test {

ServiceProcess::ServiceProcess(const std::string& program, const std::vector<std::string>& arguments,
                               const std::string& outputFile) {
  std::vector<std::string> words{program};
  words.insert(words.end(), arguments.begin(), arguments.end());
  const std::string directory = program.substr(0, program.rfind('/') + 1);
  const pid_t pid = fork();
  if (pid == 0) {
    const int output = open(outputFile.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
    if (output >= 0) {
      dup2(output, 1);
      dup2(output, 2);
    }
    if (chdir(directory.c_str()) != 0) _exit(126);
    std::vector<char*> argv;
    for (std::string& word : words) argv.push_back(word.data());
    argv.push_back(nullptr);
    execv(program.c_str(), argv.data());
    _exit(127);
  }
  m_process = pid > 0 ? pid : 0;
}

ServiceProcess::~ServiceProcess() {
  if (m_process != 0) {
    kill(static_cast<pid_t>(m_process), SIGKILL);
    waitpid(static_cast<pid_t>(m_process), nullptr, 0);
  }
}

bool ServiceProcess::started() const { return m_process != 0; }

std::optional<int> ServiceProcess::WaitExit(int milliseconds) {
  if (m_process == 0) return std::nullopt;
  const auto end = std::chrono::steady_clock::now() + std::chrono::milliseconds(milliseconds);
  do {
    int status = 0;
    if (waitpid(static_cast<pid_t>(m_process), &status, WNOHANG) == m_process) {
      m_process = 0;
      return WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
    }
    std::this_thread::sleep_for(std::chrono::milliseconds(20));
  } while (std::chrono::steady_clock::now() < end);
  return std::nullopt;
}

std::optional<int> ServiceProcess::Stop(int milliseconds) {
  if (m_process == 0) return std::nullopt;
  kill(static_cast<pid_t>(m_process), SIGTERM);
  return WaitExit(milliseconds);
}

void MakeRunnable(const std::string& path) { chmod(path.c_str(), 0755); }

}  // namespace service_test
