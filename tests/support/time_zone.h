#pragma once
// The C runtime's time zone for the length of a test: the TZ variable, POSIX
// style ("CST-8" is 8 hours ahead of UTC), or none (the system's own zone).
// The library's local-time conversion shares the runtime with the test.
#include <cstdint>
#include <optional>
#include <string>

namespace testing_support {

// Sets TZ to zone, or removes it when zone is null, and has the runtime read
// it again.
void SetTimeZone(const char* zone);

// The system clock's whole seconds since 1970, read apart from the library's
// clock. On Linux it is the precise clock: time() reads a coarse copy that
// can trail it by a tick across the turn of a second.
std::int64_t SystemSeconds();

class TimeZoneScope {
 public:
  explicit TimeZoneScope(const char* zone);
  ~TimeZoneScope();  // the TZ that was there before, or none
  TimeZoneScope(const TimeZoneScope&) = delete;
  TimeZoneScope& operator=(const TimeZoneScope&) = delete;

 private:
  std::optional<std::string> m_previous;
};

}  // namespace testing_support
