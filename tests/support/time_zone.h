#pragma once
// The C runtime's time zone for the length of a test: the TZ variable, POSIX
// style ("CST-8" is 8 hours ahead of UTC), or none (the system's own zone).
// The library's local-time conversion shares the runtime with the test.
#include <optional>
#include <string>

namespace testing_support {

// Sets TZ to zone, or removes it when zone is null, and has the runtime read
// it again.
void SetTimeZone(const char* zone);

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
