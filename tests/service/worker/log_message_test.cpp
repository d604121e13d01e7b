#include "service/worker/log_message.h"

#include <gtest/gtest.h>

namespace service::worker {
namespace {

TEST(LoggedMessagesTest, MessagesWithoutStampAndLevel) {
  struct Case {
    const char* name;
    std::string appended;
    std::string messages;
  };
  const Case cases[] = {
      {"nothing appended", "", ""},
      {"one record, CR LF", "[2021-12-21 09:05:03][Error]\tNOCARD message\r\n", "NOCARD message"},
      {"one record, LF", "[2021-12-21 09:05:03][Error]\tmessage\n", "message"},
      {"no line end yet", "[2021-12-21 09:05:03][Error]\tmessage", "message"},
      {"an empty message", "[2021-12-21 09:05:03][Error]\t\r\n", ""},
      {"a message over two lines", "[2021-12-21 09:05:03][Error]\tfirst\r\nsecond\r\n",
       "first\nsecond"},
      {"two records", "[2021-12-21 09:05:03][Error]\tone\r\n[2021-12-21 09:05:04][Error]\ttwo\r\n",
       "one\ntwo"},
      {"a five-digit year", "[10000-01-05 07:08:09][Error]\tlate\r\n", "late"},
      {"a tab inside the message", "[2021-12-21 09:05:03][Error]\ta\tb\r\n", "a\tb"},
      {"GBK bytes pass", "[2021-12-21 09:05:03][Error]\t\xB6\xC1\xBF\xA8\r\n", "\xB6\xC1\xBF\xA8"},
      {"text before the first record is not a message",
       "stray\r\n[2021-12-21 09:05:03][Error]\tm\r\n", "m"},
      {"no record at all", "stray line\r\n", ""},
      {"stamp without its tab", "[2021-12-21 09:05:03][Error] message\r\n", ""},
      {"stamp with a short field", "[2021-12-1 09:05:03][Error]\tmessage\r\n", ""},
      {"level missing", "[2021-12-21 09:05:03][]\tmessage\r\n", ""},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(LoggedMessages(c.appended), c.messages) << c.name;
  }
}

}  // namespace
}  // namespace service::worker
