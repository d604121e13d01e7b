#include <time.h>

#include <cerrno>

#include "tools/simdriver/pause.h"

namespace simdriver {

void Pause(int milliseconds) {
  if (milliseconds <= 0) return;
  timespec left = {milliseconds / 1000, (milliseconds % 1000) * 1000000L};
  while (nanosleep(&left, &left) != 0 && errno == EINTR) {
  }
}

}  // namespace simdriver
