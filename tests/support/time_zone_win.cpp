#include <stdlib.h>
#include <time.h>

#include <ctime>
#include <string>

#include "tests/support/time_zone.h"

namespace testing_support {

void SetTimeZone(const char* zone) {
  // "TZ=" removes the variable.
  _putenv((std::string("TZ=") + (zone != nullptr ? zone : "")).c_str());
  _tzset();
}

std::int64_t SystemSeconds() { return static_cast<std::int64_t>(std::time(nullptr)); }

}  // namespace testing_support
