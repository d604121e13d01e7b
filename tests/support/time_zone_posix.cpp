#include <stdlib.h>
#include <time.h>

#include "tests/support/time_zone.h"

namespace testing_support {

void SetTimeZone(const char* zone) {
  if (zone != nullptr) {
    setenv("TZ", zone, 1);
  } else {
    unsetenv("TZ");
  }
  tzset();
}

std::int64_t SystemSeconds() {
  timespec now{};
  clock_gettime(CLOCK_REALTIME, &now);
  return static_cast<std::int64_t>(now.tv_sec);
}

}  // namespace testing_support
