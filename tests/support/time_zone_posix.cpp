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

}  // namespace testing_support
