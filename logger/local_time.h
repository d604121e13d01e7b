#pragma once
// Platform seam: the local calendar time of a moment, by the system's time
// zone and daylight-saving rules.
#include <chrono>
#include <ctime>

namespace logger {

// seconds since 1970-01-01 00:00:00 UTC as local broken-down time; all zero
// when the system cannot convert it.
std::tm LocalTime(std::time_t seconds);

// The present moment in whole seconds (the fraction dropped), as local time.
inline std::tm LocalTimeNow() {
  auto sinceEpoch = std::chrono::system_clock::now().time_since_epoch();
  auto seconds = std::chrono::duration_cast<std::chrono::seconds>(sinceEpoch);
  return LocalTime(static_cast<std::time_t>(seconds.count()));
}

}  // namespace logger
