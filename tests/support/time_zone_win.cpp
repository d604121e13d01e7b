#include <stdlib.h>
#include <time.h>

#include <string>

#include "tests/support/time_zone.h"

namespace testing_support {

void SetTimeZone(const char* zone) {
  // "TZ=" removes the variable.
  _putenv((std::string("TZ=") + (zone != nullptr ? zone : "")).c_str());
  _tzset();
}

}  // namespace testing_support
