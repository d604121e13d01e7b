#include <windows.h>

#include <time.h>

#include "logger/local_time.h"

namespace logger {

namespace {

// 100-nanosecond intervals from 1601-01-01, where the system clock counts
// from, to 1970-01-01.
constexpr std::int64_t kIntervalsTo1970 = 116444736000000000LL;
constexpr std::int64_t kIntervalsPerSecond = 10000000;

}  // namespace

Seconds SecondsNow() {
  FILETIME now;
  GetSystemTimeAsFileTime(&now);
  const std::int64_t intervals =
      (static_cast<std::int64_t>(now.dwHighDateTime) << 32) | now.dwLowDateTime;
  return (intervals - kIntervalsTo1970) / kIntervalsPerSecond;
}

// msvcrt's 64-bit conversion, which every Windows from XP on exports (unlike
// the _s variants). It keeps what the 32-bit one did: the system's time zone
// and daylight-saving rules, or the TZ variable when the process set one. The
// result lies in the calling thread's own buffer of the C runtime.
std::tm LocalTime(Seconds seconds) {
  const __time64_t moment = seconds;
  const std::tm* local = _localtime64(&moment);
  return local != nullptr ? *local : std::tm{};
}

}  // namespace logger
