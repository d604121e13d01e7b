// What the service takes from systemd's environment, and the lines it
// gives the journal.
#include <gtest/gtest.h>

#include "service/service_log.h"
#include "service/service_manager.h"

namespace service {
namespace {

TEST(ServiceManager, WatchdogIntervalOnlyWhenAskedOfThisProcess) {
  struct Case {
    const char* usec;
    const char* pid;
    long long expected;  // microseconds; -1: no watchdog
  };
  for (const Case& c : std::vector<Case>{{"30000000", nullptr, 30000000},
                                         {"30000000", "4242", 30000000},
                                         {"30000000", "4243", -1},
                                         {"30000000", "", -1},
                                         {nullptr, "4242", -1},
                                         {"0", nullptr, -1},
                                         {"", nullptr, -1},
                                         {"30s", nullptr, -1},
                                         {"-5", nullptr, -1},
                                         {"99999999999999999999", nullptr, -1}}) {
    SCOPED_TRACE(std::string(c.usec ? c.usec : "(unset)") + " / " + (c.pid ? c.pid : "(unset)"));
    const auto interval = WatchdogInterval(c.usec, c.pid, 4242);
    EXPECT_EQ(interval ? interval->count() : -1, c.expected);
  }
}

TEST(ServiceManager, JournalStreamIsDeviceColonInode) {
  using Stream = std::pair<unsigned long long, unsigned long long>;
  EXPECT_EQ(ParseJournalStream("8:1234"), Stream(8, 1234));
  EXPECT_EQ(ParseJournalStream("0:0"), Stream(0, 0));
  for (const char* bad : {"", ":", "8:", ":1234", "8-1234", "8:1234:5", " 8:1234", "x:1"}) {
    EXPECT_FALSE(ParseJournalStream(bad)) << bad;
  }
  EXPECT_FALSE(ParseJournalStream(nullptr));
}

TEST(ServiceManager, JournalLinesCarryTheirPriorityAndNoControlBytes) {
  EXPECT_EQ(JournalLine(LogLevel::Info, "启动：监听"), "<6>启动：监听");
  EXPECT_EQ(JournalLine(LogLevel::Warning, "拒绝 GET /\r\n<3>forged"), "<4>拒绝 GET /  <3>forged");
  EXPECT_EQ(JournalLine(LogLevel::Error, "未启动"), "<3>未启动");
  EXPECT_EQ(JournalLine(LogLevel::Notice, "读卡工作进程"), "<5>读卡工作进程");
}

}  // namespace
}  // namespace service
