#include <gtest/gtest.h>

#include <string>

#include "logger/log_file_name.h"
#include "logger/log_file_path.h"
#include "logger/logger.h"

namespace {

std::tm Time(int year, int month, int day, int hour, int minute, int second) {
  std::tm time{};
  time.tm_year = year - 1900;
  time.tm_mon = month - 1;
  time.tm_mday = day;
  time.tm_hour = hour;
  time.tm_min = minute;
  time.tm_sec = second;
  return time;
}

struct RecordCase {
  std::tm time;
  const char* level;
  std::string message;  // may hold a NUL
  std::string line;
};

TEST(FormatRecord, WritesTheRecordLine) {
  const RecordCase cases[] = {
      {Time(2021, 12, 21, 9, 5, 3), "Error", "虚拟读卡[CURRENT]节点不存在",
       "[2021-12-21 09:05:03][Error]\t虚拟读卡[CURRENT]节点不存在"},
      {Time(2021, 1, 5, 7, 8, 9), "Error", "x", "[2021-01-05 07:08:09][Error]\tx"},
      {Time(2024, 10, 31, 23, 59, 60), "Fatal", "leap second",
       "[2024-10-31 23:59:60][Fatal]\tleap second"},
      {Time(2000, 2, 29, 0, 0, 0), "Debug", "", "[2000-02-29 00:00:00][Debug]\t"},
      {Time(999, 3, 4, 10, 11, 12), "Info", "y", "[999-03-04 10:11:12][Info]\ty"},
      {Time(12345, 6, 7, 1, 2, 3), "Warning", "z",
       "[12345-06-07 01:02:03][Warning]\tz"},
      {Time(2021, 12, 21, 9, 5, 3), "Error", "two\nlines",
       "[2021-12-21 09:05:03][Error]\ttwo\nlines"},
      {Time(2021, 12, 21, 9, 5, 3), "Error", std::string("cut\0here", 8),
       "[2021-12-21 09:05:03][Error]\tcut"},
      {Time(2021, 12, 21, 9, 5, 3), "Error", "错误码: -2 tab\there",
       "[2021-12-21 09:05:03][Error]\t错误码: -2 tab\there"},
  };
  for (const RecordCase& c : cases) {
    EXPECT_EQ(logger::FormatRecord(c.time, c.level, c.message.c_str()), c.line)
        << c.line;
  }
}

TEST(FormatDate, PadsMonthAndDayAndCutsAtTenCharacters) {
  EXPECT_EQ(logger::FormatDate(Time(2021, 12, 21, 0, 0, 0)), "2021-12-21");
  EXPECT_EQ(logger::FormatDate(Time(2021, 1, 5, 23, 59, 59)), "2021-01-05");
  EXPECT_EQ(logger::FormatDate(Time(999, 3, 4, 0, 0, 0)), "999-03-04");
  EXPECT_EQ(logger::FormatDate(Time(10000, 1, 2, 0, 0, 0)), "10000-01-0");
}

TEST(WithLineEnds, StoresEveryLineFeedAsTheFilesLineEnd) {
  struct Case {
    std::string text, lineEnd, stored;
  };
  const Case cases[] = {
      {"", "\r\n", ""},
      {"line\n", "\r\n", "line\r\n"},
      {"two\nlines\n", "\r\n", "two\r\nlines\r\n"},
      {"cr\r\n", "\r\n", "cr\r\r\n"},  // as a text-mode write stores it
      {"\n\n", "\r\n", "\r\n\r\n"},
      {"no line end", "\r\n", "no line end"},
      {"two\nlines\n", "\n", "two\nlines\n"},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(logger::WithLineEnds(c.text, c.lineEnd.c_str()), c.stored) << c.text;
  }
}

}  // namespace
