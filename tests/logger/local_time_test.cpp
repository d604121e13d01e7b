// The clock seam: moments as 64-bit seconds, converted to local time by the
// time zone's rules, past 2038 as before it, on both builds.
#include "logger/local_time.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <cstdio>
#include <ctime>
#include <string>
#include <vector>

#include "logger/log_file_name.h"
#include "logger/logger.h"
#include "tests/support/time_zone.h"

#ifdef _WIN32
#include <windows.h>
#endif

namespace {

using logger::LocalTime;
using logger::Seconds;
using testing_support::SystemSeconds;
using testing_support::TimeZoneScope;

// UTC, and the zone 8 hours ahead of it, neither with daylight saving.
constexpr const char* kUtc = "UTC0";
constexpr const char* kChina = "CST-8";

std::string Text(const std::tm& time) {
  char text[64];
  std::snprintf(text, sizeof text, "%04d-%02d-%02d %02d:%02d:%02d", time.tm_year + 1900,
                time.tm_mon + 1, time.tm_mday, time.tm_hour, time.tm_min, time.tm_sec);
  return text;
}

// The UTC calendar time of a moment by plain arithmetic on days (the
// proleptic Gregorian calendar), as a reference that shares nothing with the
// system's conversion.
std::string UtcText(Seconds seconds) {
  std::int64_t days = seconds / 86400;
  std::int64_t rest = seconds % 86400;
  if (rest < 0) {
    rest += 86400;
    --days;
  }
  days += 719468;  // days from 0000-03-01 to 1970-01-01
  const std::int64_t era = (days >= 0 ? days : days - 146096) / 146097;
  const std::int64_t dayOfEra = days - era * 146097;
  const std::int64_t yearOfEra =
      (dayOfEra - dayOfEra / 1460 + dayOfEra / 36524 - dayOfEra / 146096) / 365;
  const std::int64_t dayOfYear = dayOfEra - (365 * yearOfEra + yearOfEra / 4 - yearOfEra / 100);
  const std::int64_t monthFromMarch = (5 * dayOfYear + 2) / 153;
  const int day = static_cast<int>(dayOfYear - (153 * monthFromMarch + 2) / 5 + 1);
  const int month = static_cast<int>(monthFromMarch < 10 ? monthFromMarch + 3 : monthFromMarch - 9);
  const std::int64_t year = yearOfEra + era * 400 + (month <= 2 ? 1 : 0);
  char text[64];
  std::snprintf(text, sizeof text, "%04lld-%02d-%02d %02d:%02d:%02d", static_cast<long long>(year),
                month, day, static_cast<int>(rest / 3600), static_cast<int>(rest / 60 % 60),
                static_cast<int>(rest % 60));
  return text;
}

TEST(LocalTime, MomentsAroundTheEndOfThe32BitClock) {
  struct Case {
    const char* zone;
    Seconds seconds;
    const char* local;
    const char* logFile;
  };
  const Case cases[] = {
      {kUtc, 2147483647, "2038-01-19 03:14:07", "qtz-2038-01-19.log"},
      {kUtc, 2147483648, "2038-01-19 03:14:08", "qtz-2038-01-19.log"},
      {kChina, 2147483648, "2038-01-19 11:14:08", "qtz-2038-01-19.log"},
      {kUtc, 4107542399, "2100-02-28 23:59:59", "qtz-2100-02-28.log"},  // no 29 February
      {kUtc, 4107542400, "2100-03-01 00:00:00", "qtz-2100-03-01.log"},
      {kChina, 4107513600, "2100-03-01 00:00:00", "qtz-2100-03-01.log"},
      {kChina, 4107513599, "2100-02-28 23:59:59", "qtz-2100-02-28.log"},
      {kUtc, 1640077503, "2021-12-21 09:05:03", "qtz-2021-12-21.log"},  // as it always was
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(std::string(c.zone) + " " + std::to_string(c.seconds));
    TimeZoneScope zone(c.zone);
    const std::tm local = LocalTime(c.seconds);
    EXPECT_EQ(Text(local), c.local);
    EXPECT_EQ(logger::LogFileNameFor(local), c.logFile);
    EXPECT_EQ(local.tm_isdst, 0);
  }
  // The record line of such a moment, byte for byte as today's.
  TimeZoneScope zone(kUtc);
  std::string line;
  logger::AppendRecordLine(line, LocalTime(2147483648), "Error", "磁卡号长度不正常", "\n");
  EXPECT_EQ(line, "[2038-01-19 03:14:08][Error]\t磁卡号长度不正常\n");
}

// Every 1,000,003 seconds (11.6 days, so that each hour and weekday comes
// round) from 1970 to the end of 2999, against the arithmetic reference.
TEST(LocalTime, UtcAgreesWithCalendarArithmeticUpToTheYear3000) {
  TimeZoneScope zone(kUtc);
  const Seconds end = 32503680000;  // 3000-01-01 00:00:00 UTC
  int checked = 0;
  int wrong = 0;
  for (Seconds seconds = 0; seconds < end; seconds += 1000003) {
    const std::tm local = LocalTime(seconds);
    const std::string expected = UtcText(seconds);
    if (Text(local) != expected && ++wrong <= 5) {
      ADD_FAILURE() << seconds << ": " << Text(local) << ", expected " << expected;
    }
    // 1970-01-01 was a Thursday.
    const int weekday = static_cast<int>((seconds / 86400 + 4) % 7);
    if (local.tm_wday != weekday && ++wrong <= 5) {
      ADD_FAILURE() << seconds << ": weekday " << local.tm_wday << ", expected " << weekday;
    }
    ++checked;
  }
  EXPECT_GT(checked, 32000);
  EXPECT_EQ(wrong, 0);
}

// The US Pacific zone, whose daylight-saving rules a test can rely on.
// Natively TZ gives it with its rules. The Windows C runtime takes the rules
// for a TZ from the system (Wine) or applies fixed US ones (Windows itself),
// so there the test converts by the system's own zone, as desks do: the
// test registration logger_daylight_saving runs it under Wine with the
// system's zone set to this one (Wine takes it from the TZ that it starts
// with).
constexpr const char* kPacific = "PST8PDT,M3.2.0,M11.1.0";

// Each year the US zone moves its clocks forward once in spring and back
// once in autumn, on a Sunday at 02:00 local time; in between it is 7 hours
// behind UTC, otherwise 8. Checked hour by hour over a year before 2038 and
// two after.
TEST(LocalTime, FollowsTheDaylightSavingChangesOfTheZone) {
#ifdef _WIN32
  TimeZoneScope zone(nullptr);
  TIME_ZONE_INFORMATION system = {};
  if (GetTimeZoneInformation(&system) == TIME_ZONE_ID_INVALID || system.Bias != 480 ||
      system.DaylightDate.wMonth == 0) {
    GTEST_SKIP() << "the system's time zone is not the US Pacific one; run with TZ=" << kPacific
                 << " (test logger_daylight_saving)";
  }
#else
  TimeZoneScope zone(kPacific);
#endif
  struct Year {
    int year;
    Seconds start;  // 1 January 00:00:00 UTC
  };
  const Year years[] = {{2021, 1609459200}, {2040, 2208988800}, {2100, 4102444800}};
  for (const Year& y : years) {
    SCOPED_TRACE(y.year);
    std::vector<std::string> changes;
    int previous = -1;
    for (Seconds hour = 0; hour < 366 * 24; ++hour) {
      const Seconds moment = y.start + hour * 3600;
      const std::tm local = LocalTime(moment);
      ASSERT_NE(local.tm_year, 0) << "no conversion at " << moment;
      const Seconds behind = local.tm_isdst > 0 ? 7 * 3600 : 8 * 3600;
      ASSERT_EQ(Text(local), UtcText(moment - behind)) << moment;
      if (previous != -1 && (local.tm_isdst > 0) != (previous > 0)) {
        // The first hour of the new rule: 03:00 after a spring change, 01:00
        // (for the second time) after an autumn one, on a Sunday.
        EXPECT_EQ(local.tm_wday, 0) << Text(local);
        EXPECT_EQ(local.tm_hour, local.tm_isdst > 0 ? 3 : 1) << Text(local);
        changes.push_back(local.tm_isdst > 0 ? "forward" : "back");
        const int month = local.tm_mon + 1;
        if (local.tm_isdst > 0) {
          EXPECT_TRUE(month == 3 || month == 4) << Text(local);
        } else {
          EXPECT_TRUE(month == 10 || month == 11) << Text(local);
        }
      }
      previous = local.tm_isdst > 0 ? 1 : 0;
    }
    EXPECT_EQ(changes, (std::vector<std::string>{"forward", "back"}));
  }
}

// A record made now is stamped with the present local time, as the system
// itself tells it (outside the C runtime on Windows).
class RecordingLogger : public logger::BaseLogger {
 public:
  std::vector<std::tm> times;

 protected:
  void output(const std::tm* time, const char*, const char*) override { times.push_back(*time); }
};

std::string SystemLocalText() {
#ifdef _WIN32
  SYSTEMTIME now;
  GetLocalTime(&now);
  char text[64];
  std::snprintf(text, sizeof text, "%04d-%02d-%02d %02d:%02d:%02d", now.wYear, now.wMonth, now.wDay,
                now.wHour, now.wMinute, now.wSecond);
  return text;
#else
  const std::time_t now = static_cast<std::time_t>(SystemSeconds());
  std::tm local{};
  localtime_r(&now, &local);
  return Text(local);
#endif
}

TEST(LocalTime, ARecordMadeNowCarriesThePresentTime) {
  TimeZoneScope zone(nullptr);  // the system's own zone, as on a desk
  RecordingLogger log;
  std::vector<std::string> around;
  for (int attempt = 0; attempt < 3; ++attempt) {
    const std::string before = SystemLocalText();
    log(logger::Error) << "now";
    const std::string after = SystemLocalText();
    ASSERT_EQ(log.times.size(), static_cast<std::size_t>(attempt + 1));
    const std::string stamped = Text(log.times.back());
    if (before == after) {  // the second did not turn meanwhile
      EXPECT_EQ(stamped, before);
      EXPECT_EQ(logger::LogFileNameFor(log.times.back()), "qtz-" + before.substr(0, 10) + ".log");
      return;
    }
    EXPECT_TRUE(stamped == before || stamped == after) << stamped;
  }
}

TEST(SecondsNow, IsTheSystemClock) {
  const Seconds before = SystemSeconds();
  const Seconds now = logger::SecondsNow();
  const Seconds after = SystemSeconds();
  EXPECT_GE(now, before);
  EXPECT_LE(now, after);
}

}  // namespace
