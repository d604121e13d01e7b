#include <fcntl.h>
#include <signal.h>
#include <unistd.h>

#include <cstdlib>
#include <fstream>

#include "tests/service/worker/stray_handle.h"
#include "tests/support/child_process.h"

namespace testing_support {

std::string OpenStrayHandle() {
  // Raised well above the few descriptors a fresh process opens, so that
  // the worker cannot hold that number by chance.
  const int opened = open("/dev/null", O_RDONLY);
  const int stray = fcntl(opened, F_DUPFD, 200);
  close(opened);
  return std::to_string(stray);
}

void CloseStrayHandle(const std::string& value) { close(std::atoi(value.c_str())); }

bool HoldsStrayHandle(const std::string& value) {
  return fcntl(std::atoi(value.c_str()), F_GETFD) != -1;
}

std::string StartHelper(const char* how) {
  char self[4096] = {};
  if (readlink("/proc/self/exe", self, sizeof self - 1) <= 0) return "0";
  ChildProcess::Options options;
  options.environment = {{"READCARD_TEST_WORKER", std::string(how)}};
  ChildProcess helper(self, {}, options);
  helper.Release();  // the driver leaves it behind
  return std::to_string(helper.id());
}

void SleepLong() { sleep(600); }

bool ProcessRuns(const std::string& id) {
  const pid_t pid = static_cast<pid_t>(std::atol(id.c_str()));
  if (pid <= 0 || kill(pid, 0) != 0) return false;
  // A zombie has ended: it only waits for its parent to reap it.
  std::ifstream stat("/proc/" + id + "/stat");
  std::string pidField, name, state;
  stat >> pidField >> name >> state;
  return state != "Z";
}

void EndProcess(const std::string& id) {
  const pid_t pid = static_cast<pid_t>(std::atol(id.c_str()));
  if (pid > 0) kill(pid, SIGKILL);
}

}  // namespace testing_support
