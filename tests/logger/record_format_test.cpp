#include <gtest/gtest.h>

#include <string>

#include "logger/log_file_name.h"
#include "logger/log_file_path.h"
#include "logger/logger.h"
#include "tests/support/calendar.h"

namespace {

using testing_support::CalendarTime;

struct RecordCase {
  std::tm time;
  const char* level;
  std::string message;  // may hold a NUL
  std::string line;
};

TEST(FormatRecord, WritesTheRecordLine) {
  const RecordCase cases[] = {
      {CalendarTime(2021, 12, 21, 9, 5, 3), "Error", "虚拟读卡[CURRENT]节点不存在",
       "[2021-12-21 09:05:03][Error]\t虚拟读卡[CURRENT]节点不存在"},
      {CalendarTime(2021, 1, 5, 7, 8, 9), "Error", "x", "[2021-01-05 07:08:09][Error]\tx"},
      {CalendarTime(2024, 10, 31, 23, 59, 60), "Fatal", "leap second",
       "[2024-10-31 23:59:60][Fatal]\tleap second"},
      {CalendarTime(2000, 2, 29, 0, 0, 0), "Debug", "", "[2000-02-29 00:00:00][Debug]\t"},
      {CalendarTime(999, 3, 4, 10, 11, 12), "Info", "y", "[999-03-04 10:11:12][Info]\ty"},
      {CalendarTime(12345, 6, 7, 1, 2, 3), "Warning", "z",
       "[12345-06-07 01:02:03][Warning]\tz"},
      {CalendarTime(2021, 12, 21, 9, 5, 3), "Error", "two\nlines",
       "[2021-12-21 09:05:03][Error]\ttwo\nlines"},
      {CalendarTime(2021, 12, 21, 9, 5, 3), "Error", std::string("cut\0here", 8),
       "[2021-12-21 09:05:03][Error]\tcut"},
      {CalendarTime(2021, 12, 21, 9, 5, 3), "Error", "错误码: -2 tab\there",
       "[2021-12-21 09:05:03][Error]\t错误码: -2 tab\there"},
  };
  for (const RecordCase& c : cases) {
    EXPECT_EQ(logger::FormatRecord(c.time, c.level, c.message.c_str()), c.line)
        << c.line;
  }
}

// The line that the file logger writes in one pass is byte for byte the
// record line with its line ends, for ordinary and odd times alike.
TEST(AppendRecordLine, WritesTheRecordLineWithTheFilesLineEnds) {
  std::tm unconverted{};  // what a failed conversion leaves
  std::tm outOfRange = CalendarTime(2021, 12, 21, 9, 5, 3);
  outOfRange.tm_hour = 123;
  outOfRange.tm_min = -4;
  const RecordCase cases[] = {
      {CalendarTime(2021, 12, 21, 9, 5, 3), "Error", "虚拟读卡[CURRENT]节点不存在",
       "[2021-12-21 09:05:03][Error]\t虚拟读卡[CURRENT]节点不存在\r\n"},
      {CalendarTime(2038, 1, 19, 3, 14, 8), "Error", "", "[2038-01-19 03:14:08][Error]\t\r\n"},
      {CalendarTime(1000, 1, 1, 0, 0, 0), "Info", "x", "[1000-01-01 00:00:00][Info]\tx\r\n"},
      {CalendarTime(9999, 12, 31, 23, 59, 60), "Fatal", "y", "[9999-12-31 23:59:60][Fatal]\ty\r\n"},
      {CalendarTime(999, 3, 4, 10, 11, 12), "Info", "y", "[999-03-04 10:11:12][Info]\ty\r\n"},
      {CalendarTime(12345, 6, 7, 1, 2, 3), "Warning", "z", "[12345-06-07 01:02:03][Warning]\tz\r\n"},
      {unconverted, "Error", "m", "[1900-01-00 00:00:00][Error]\tm\r\n"},
      {outOfRange, "Error", "m", "[2021-12-21 123:-4:03][Error]\tm\r\n"},
      {CalendarTime(2021, 12, 21, 9, 5, 3), "Error", "two\nlines\n\nend\r\n",
       "[2021-12-21 09:05:03][Error]\ttwo\r\nlines\r\n\r\nend\r\r\n\r\n"},
      {CalendarTime(2021, 12, 21, 9, 5, 3), "Error", std::string("cut\0here", 8),
       "[2021-12-21 09:05:03][Error]\tcut\r\n"},
  };
  std::string reused = "earlier line";
  for (const RecordCase& c : cases) {
    SCOPED_TRACE(c.line);
    for (const char* lineEnd : {"\r\n", "\n"}) {
      std::string line;
      logger::AppendRecordLine(line, c.time, c.level, c.message.c_str(), lineEnd);
      EXPECT_EQ(line, logger::WithLineEnds(
                          logger::FormatRecord(c.time, c.level, c.message.c_str()) + "\n",
                          lineEnd));
    }
    reused.clear();
    logger::AppendRecordLine(reused, c.time, c.level, c.message.c_str(), "\r\n");
    EXPECT_EQ(reused, c.line);
  }
}

TEST(FormatDate, PadsMonthAndDayAndCutsAtTenCharacters) {
  EXPECT_EQ(logger::FormatDate(CalendarTime(2021, 12, 21, 0, 0, 0)), "2021-12-21");
  EXPECT_EQ(logger::FormatDate(CalendarTime(2021, 1, 5, 23, 59, 59)), "2021-01-05");
  EXPECT_EQ(logger::FormatDate(CalendarTime(999, 3, 4, 0, 0, 0)), "999-03-04");
  EXPECT_EQ(logger::FormatDate(CalendarTime(10000, 1, 2, 0, 0, 0)), "10000-01-0");
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
