#include "tests/support/child_process_posix.h"

#include <stdlib.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>

namespace testing_support {

ProgramRun RunProgram(const std::string& program, const std::vector<std::string>& arguments,
                      const std::string& directory, const EnvironmentChanges& environment) {
  ProgramRun run;
  int pipeEnds[2];
  if (pipe(pipeEnds) != 0) return run;
  std::vector<char*> argv;
  argv.push_back(const_cast<char*>(program.c_str()));
  for (const std::string& argument : arguments) argv.push_back(const_cast<char*>(argument.c_str()));
  argv.push_back(nullptr);

  const pid_t child = fork();
  if (child == 0) {
    dup2(pipeEnds[1], STDOUT_FILENO);
    dup2(pipeEnds[1], STDERR_FILENO);
    close(pipeEnds[0]);
    close(pipeEnds[1]);
    for (const auto& change : environment) {
      if (change.second) {
        setenv(change.first.c_str(), change.second->c_str(), 1);
      } else {
        unsetenv(change.first.c_str());
      }
    }
    if (chdir(directory.c_str()) == 0) execvp(program.c_str(), argv.data());
    _exit(127);
  }
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

}  // namespace testing_support
