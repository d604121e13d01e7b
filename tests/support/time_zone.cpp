#include "tests/support/time_zone.h"

#include <cstdlib>

namespace testing_support {

TimeZoneScope::TimeZoneScope(const char* zone) {
  if (const char* previous = std::getenv("TZ")) m_previous = previous;
  SetTimeZone(zone);
}

TimeZoneScope::~TimeZoneScope() { SetTimeZone(m_previous ? m_previous->c_str() : nullptr); }

}  // namespace testing_support
