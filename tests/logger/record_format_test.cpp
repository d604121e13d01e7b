#include <gtest/gtest.h>

#include <string>

#include "logger/log_file_name.h"
#include "logger/logger.h"
#include "tests/support/calendar.h"

namespace {

using testing_support::CalendarTime;

struct RecordCase {
  std::tm time;
  const char* level;
  std::string message;  // may hold a NUL
  const char* lineEnd;
  std::string line;
};

// The record line byte for byte as the file stores it, for ordinary and odd
// times alike, with either line end.
TEST(AppendRecordLine, WritesTheRecordLineWithTheFilesLineEnds) {
  std::tm unconverted{};  // what a failed conversion leaves
  std::tm outOfRange = CalendarTime(2021, 12, 21, 9, 5, 3);
  outOfRange.tm_hour = 123;
  outOfRange.tm_min = -4;
  const std::tm day = CalendarTime(2021, 12, 21, 9, 5, 3);
  const RecordCase cases[] = {
      {day, "Error", "虚拟读卡[CURRENT]节点不存在", "\r\n",
       "[2021-12-21 09:05:03][Error]\t虚拟读卡[CURRENT]节点不存在\r\n"},
      {CalendarTime(2021, 1, 5, 7, 8, 9), "Error", "x", "\n", "[2021-01-05 07:08:09][Error]\tx\n"},
      {CalendarTime(2038, 1, 19, 3, 14, 8), "Error", "", "\r\n",
       "[2038-01-19 03:14:08][Error]\t\r\n"},
      {CalendarTime(2000, 2, 29, 0, 0, 0), "Debug", "", "\n", "[2000-02-29 00:00:00][Debug]\t\n"},
      {CalendarTime(1000, 1, 1, 0, 0, 0), "Info", "x", "\r\n",
       "[1000-01-01 00:00:00][Info]\tx\r\n"},
      {CalendarTime(9999, 12, 31, 23, 59, 60), "Fatal", "y", "\r\n",
       "[9999-12-31 23:59:60][Fatal]\ty\r\n"},
      {CalendarTime(999, 3, 4, 10, 11, 12), "Info", "y", "\r\n",
       "[999-03-04 10:11:12][Info]\ty\r\n"},
      {CalendarTime(12345, 6, 7, 1, 2, 3), "Warning", "z", "\n",
       "[12345-06-07 01:02:03][Warning]\tz\n"},
      {unconverted, "Error", "m", "\r\n", "[1900-01-00 00:00:00][Error]\tm\r\n"},
      {outOfRange, "Error", "m", "\r\n", "[2021-12-21 123:-4:03][Error]\tm\r\n"},
      {day, "Error", "two\nlines\n\nend\r\n", "\r\n",
       "[2021-12-21 09:05:03][Error]\ttwo\r\nlines\r\n\r\nend\r\r\n\r\n"},
      {day, "Error", "two\nlines\n", "\n", "[2021-12-21 09:05:03][Error]\ttwo\nlines\n\n"},
      {day, "Error", std::string("cut\0here", 8), "\r\n", "[2021-12-21 09:05:03][Error]\tcut\r\n"},
      {day, "Error", "错误码: -2 tab\there", "\n",
       "[2021-12-21 09:05:03][Error]\t错误码: -2 tab\there\n"},
  };
  std::string reused = "earlier line";
  for (const RecordCase& c : cases) {
    SCOPED_TRACE(c.line);
    std::string line;
    logger::AppendRecordLine(line, c.time, c.level, c.message.c_str(), c.lineEnd);
    EXPECT_EQ(line, c.line);
    reused.clear();  // the file logger's line, its storage kept
    logger::AppendRecordLine(reused, c.time, c.level, c.message.c_str(), c.lineEnd);
    EXPECT_EQ(reused, c.line);
  }
}

TEST(FormatDate, PadsMonthAndDayAndCutsAtTenCharacters) {
  EXPECT_EQ(logger::FormatDate(CalendarTime(2021, 12, 21, 0, 0, 0)), "2021-12-21");
  EXPECT_EQ(logger::FormatDate(CalendarTime(2021, 1, 5, 23, 59, 59)), "2021-01-05");
  EXPECT_EQ(logger::FormatDate(CalendarTime(999, 3, 4, 0, 0, 0)), "999-03-04");
  EXPECT_EQ(logger::FormatDate(CalendarTime(10000, 1, 2, 0, 0, 0)), "10000-01-0");
}

}  // namespace
