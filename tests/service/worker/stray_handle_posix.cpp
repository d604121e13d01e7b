#include <fcntl.h>
#include <unistd.h>

#include <cstdlib>

#include "tests/service/worker/stray_handle.h"

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

}  // namespace testing_support
