#pragma once
// Platform seam: the system clock, and the local calendar time of a moment by
// the system's time zone and daylight-saving rules (and the TZ variable,
// where the C runtime honours it).
//
// Moments are 64-bit counts of seconds on every build: the 32-bit time_t of
// the Windows C runtime that the DLL uses ends on 2038-01-19 at 03:14:07 UTC,
// and desks run the DLL for decades.
#include <cstdint>
#include <ctime>

namespace logger {

// Whole seconds since 1970-01-01 00:00:00 UTC.
using Seconds = std::int64_t;

// The system clock in whole seconds (the fraction dropped).
Seconds SecondsNow();

// seconds as local broken-down time; all zero when the system cannot convert
// it (Windows converts up to the end of the year 3000).
std::tm LocalTime(Seconds seconds);

// The present moment as local time.
inline std::tm LocalTimeNow() { return LocalTime(SecondsNow()); }

}  // namespace logger
