// The service's own log lines and where they land.
#include <gtest/gtest.h>

#include "service/service_log.h"
#include "tests/support/calendar.h"
#include "tests/support/files.h"
#include "tests/support/scratch_directory.h"

namespace service {
namespace {

using testing_support::CalendarTime;

TEST(ServiceLog, LinesCarryTheirTimeAndNoControlBytes) {
  const std::tm time = CalendarTime(2026, 3, 7, 9, 5, 1);
  struct Case {
    std::string text;
    std::string line;
  };
  for (const Case& c : std::vector<Case>{
           {"启动", "2026-03-07 09:05:01 启动"},
           {"来源 https://a\r\n2026-01-01 forged", "2026-03-07 09:05:01 来源 https://a  2026-01-01 forged"},
           {std::string("a\0b\tc\x7F", 6), "2026-03-07 09:05:01 a b c "}}) {
    EXPECT_EQ(ServiceLogLine(time, c.text), c.line);
  }
  EXPECT_EQ(ServiceLogFileName(CalendarTime(2026, 12, 31, 23, 59, 59)), "cardservice-2026-12-31.log");
}

TEST(ServiceLog, AppendsLinesToTheDaysFileBelowTheDirectory) {
  testing_support::ScratchDirectory directory;
  ServiceLog log(directory.path(), false);
  log.Write("第一行");
  log.Write("second");
  const std::string path = log.TodayPath();
  EXPECT_EQ(path.rfind(ServiceLogDirectory(directory.path()), 0), 0u);
  const std::string content = testing_support::ReadBytes(path);
  const auto first = content.find("第一行");
  const auto second = content.find("second");
  ASSERT_NE(first, std::string::npos) << content;
  ASSERT_NE(second, std::string::npos) << content;
  EXPECT_LT(first, second);
  EXPECT_EQ(content.back(), '\n');
}

TEST(ServiceLog, ALogThatCannotBeWrittenLosesOnlyTheLine) {
  testing_support::ScratchDirectory directory;
  // A file where the Log directory would go.
  ASSERT_FALSE(directory.Write("Log", "in the way").empty());
  ServiceLog log(directory.path(), false);
  log.Write("lost");
  EXPECT_FALSE(testing_support::IsFile(log.TodayPath()));
}

}  // namespace
}  // namespace service
