#pragma once
// A broken-down local time from its calendar fields, as the tests write
// moments: CalendarTime(2038, 1, 19, 3, 14, 8).
#include <ctime>

namespace testing_support {

inline std::tm CalendarTime(int year, int month, int day, int hour = 0, int minute = 0,
                            int second = 0) {
  std::tm time{};
  time.tm_year = year - 1900;
  time.tm_mon = month - 1;
  time.tm_mday = day;
  time.tm_hour = hour;
  time.tm_min = minute;
  time.tm_sec = second;
  return time;
}

}  // namespace testing_support
