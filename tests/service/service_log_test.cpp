// The service's own log lines and where they land.
#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>

#include "service/messages.h"
#include "service/refusal_limiter.h"
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
           {"来源 https://a\r\n2026-01-01 forged",
            "2026-03-07 09:05:01 来源 https://a  2026-01-01 forged"},
           {std::string("a\0b\tc\x7F", 6), "2026-03-07 09:05:01 a b c "},
           // what viewers may break a line at, and bytes that are not UTF-8
           {"a\u0085b\u2028c\u2029d", "2026-03-07 09:05:01 a\\u0085b\\u2028c\\u2029d"},
           {"\xC3\xA9 \xFF \xC3", "2026-03-07 09:05:01 \xC3\xA9 \\xFF \\xC3"},
           {"\xC0\xAF \xED\xA0\x80 \xF4\x90\x80\x80",  // overlong, surrogate, past U+10FFFF
            "2026-03-07 09:05:01 \\xC0\\xAF \\xED\\xA0\\x80 \\xF4\\x90\\x80\\x80"},
           {"\xF0\x9F\x98\x80 \xE2\x80\xA7",
            "2026-03-07 09:05:01 \xF0\x9F\x98\x80 \xE2\x80\xA7"}}) {
    EXPECT_EQ(ServiceLogLine(time, c.text), c.line);
  }
  EXPECT_EQ(ServiceLogFileName(CalendarTime(2026, 12, 31, 23, 59, 59)),
            "cardservice-2026-12-31.log");
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

TEST(ServiceLog, ValuesAreCutWithoutSplittingACharacter) {
  EXPECT_EQ(CutForLog("short"), "short");
  EXPECT_EQ(CutForLog(std::string(200, 'a')), std::string(200, 'a'));
  const std::string cut = CutForLog(std::string(8192, 'o'));
  EXPECT_EQ(cut.rfind(std::string(200, 'o'), 0), 0u);
  EXPECT_LT(cut.size(), 260u);
  EXPECT_NE(cut.find("8192"), std::string::npos) << cut;
  // 0xE5 0xAD 0x97 is one character; 200 bytes fall inside the 67th.
  std::string chinese;
  for (int i = 0; i < 100; ++i) chinese += "\xE5\xAD\x97";
  EXPECT_EQ(CutForLog(chinese).rfind(chinese.substr(0, 198), 0), 0u);
  EXPECT_EQ(CutForLog(chinese).substr(198, 3), "\xE2\x80\xA6");  // then the ellipsis
}

// A flood of lines fills the day's file up to its limit, then one line
// says so and the rest are counted; the count is written at the end.
TEST(ServiceLog, TheDaysFileStopsAtItsLimitAndCountsTheRest) {
  testing_support::ScratchDirectory directory;
  const std::size_t limit = 4096;
  std::string path;
  {
    ServiceLog log(directory.path(), false, limit);
    for (int i = 0; i < 1000; ++i)
      log.Write("拒绝 GET /v1/status：来源 https://evil.example 不在允许列表中");
    path = log.TodayPath();
  }
  const std::string content = testing_support::ReadBytes(path);
  EXPECT_LT(content.size(), limit + 400);
  EXPECT_GT(content.size(), limit - 200);
  EXPECT_NE(content.find(Say(Words::kLogCapReached, {std::to_string(limit)})), std::string::npos)
      << content;
  const std::size_t written = std::count(content.begin(), content.end(), '\n') - 2;
  EXPECT_NE(content.find(Say(Words::kLogHeldBack, {std::to_string(1000 - written)})),
            std::string::npos)
      << content;
}

// Each sender gets its first few refusals a minute in the log, then a
// count; senders are told apart, and a window's count comes when it ends.
TEST(RefusalLimiter, KeepsTheFirstFewAMinutePerSenderThenCounts) {
  using Clock = RefusalLimiter::Clock;
  RefusalLimiter limiter(3, 2);
  const Clock::time_point start{};
  struct Step {
    const char* sender;
    int seconds;
    std::vector<std::string> logged;
  };
  const auto held = [](const std::string& sender, int count) {
    return Say(Words::kRefusalsHeldBack, {sender, std::to_string(count)});
  };
  const std::vector<Step> steps = {
      {"a", 0, {"a"}}, {"a", 1, {"a"}},
      {"a", 2, {"a"}}, {"a", 3, {}},
      {"a", 4, {}},    {"b", 5, {"b"}},  // another sender has a share of its own
      {"c", 6, {"c"}},                   // past two senders, the new ones share one
      {"d", 7, {"d"}}, {"e", 8, {"e"}},
      {"f", 9, {}},    {"a", 61, {held("a", 2), "a"}},  // a's minute ended, the others' not yet
  };
  for (const Step& step : steps) {
    SCOPED_TRACE(std::string(step.sender) + " at " + std::to_string(step.seconds));
    EXPECT_EQ(limiter.Refused(step.sender, step.sender, start + std::chrono::seconds(step.seconds)),
              step.logged);
  }
  EXPECT_EQ(limiter.Flush(), std::vector<std::string>{held(Say(Words::kOtherSenders), 1)});
  for (int i = 0; i < 5; ++i) limiter.Refused("a", "a", start + std::chrono::seconds(62));
  EXPECT_EQ(limiter.Flush(), std::vector<std::string>{held("a", 2)});
  EXPECT_TRUE(limiter.Flush().empty());
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
