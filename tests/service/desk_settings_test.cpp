// What an installer keeps for the machine, the browsers' list policies and
// the refusal events' hourly limit.
#include <gtest/gtest.h>

#include "service/desk_settings.h"
#include "service/event_log.h"
#include "service/messages.h"

namespace service {
namespace {

using Pairs = std::vector<std::pair<std::string, std::string>>;

TEST(DeskSettings, MergesGivenValuesAndRefusesUnusableOnes) {
  const config::IniSection kept = {{"port", "18090"},
                                   {"origins", "https://a.example"},
                                   {"driverdir", "C:\\drv"},
                                   {"copied", "C:\\desk\\SSCardDriver.dll"}};
  struct Case {
    const char* name;
    Pairs given;
    bool usable;
    config::IniSection merged;  // when usable
    Words code = Words::kCount;
    std::string errorNames = "";
  };
  config::IniSection newOrigins = kept;
  newOrigins["origins"] = "https://b.example http://10.1.2.3:8080";
  newOrigins["browserpolicy"] = "1";
  const std::vector<Case> cases = {
      {"nothing given keeps everything", {}, true, kept},
      {"empty values keep what is set",
       {{"port", ""},
        {"origins", ""},
        {"timeout", ""},
        {"driverdir", ""},
        {"hisdir", ""},
        {"browserpolicy", ""}},
       true,
       kept},
      {"given values replace",
       {{"origins", "https://b.example http://10.1.2.3:8080"}, {"browserpolicy", "1"}},
       true,
       newOrigins},
      {"an unknown key", {{"colour", "red"}}, false, {}, Words::kUnknownSetting, "colour"},
      {"the installer's own records are not settings",
       {{"copied", "C:\\x"}},
       false,
       {},
       Words::kUnknownSetting,
       "copied"},
      {"a port out of range", {{"port", "70000"}}, false, {}, Words::kConfigPort, "port"},
      {"a timeout of 0", {{"timeout", "0"}}, false, {}, Words::kConfigTimeout, "timeout"},
      {"an origin with a path",
       {{"origins", "https://a.example/his"}},
       false,
       {},
       Words::kConfigOrigin,
       "origins"},
      {"browserpolicy other than 0 or 1",
       {{"browserpolicy", "yes"}},
       false,
       {},
       Words::kBrowserPolicyValue,
       "browserpolicy"},
      {"a folder with a record separator",
       {{"hisdir", "C:\\a|b"}},
       false,
       {},
       Words::kNotAFolder,
       "hisdir"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    config::IniSection merged;
    const Failure failure = MergeDeskSettings(kept, c.given, merged);
    ASSERT_EQ(!failure, c.usable) << Say(failure);
    if (c.usable) {
      EXPECT_EQ(merged, c.merged);
    } else {
      EXPECT_EQ(failure.code, c.code);
      EXPECT_NE(Say(failure).find(c.errorNames), std::string::npos) << Say(failure);
    }
  }
}

TEST(DeskSettings, RecordsKeepTheirEntries) {
  const std::vector<std::vector<std::string>> cases = {
      {}, {"C:\\desk\\SSCardDriver.dll"}, {"C:\\a b\\x.dll", "D:\\his\\readcard.dll"}};
  for (const auto& entries : cases) EXPECT_EQ(SplitRecord(JoinRecord(entries)), entries);
  EXPECT_EQ(SplitRecord("|a||b|"), (std::vector<std::string>{"a", "b"}));
}

TEST(DeskSettings, ListPolicyTakesFreeNumbersForOriginsNotListed) {
  struct Case {
    const char* name;
    std::map<std::string, std::string> existing;
    std::vector<std::string> origins;
    Pairs additions;
  };
  const std::vector<Case> cases = {
      {"an empty list",
       {},
       {"https://a.example", "https://b.example"},
       {{"1", "https://a.example"}, {"2", "https://b.example"}}},
      {"numbers in use are skipped, gaps filled",
       {{"1", "https://x.example"}, {"3", "https://y.example"}},
       {"https://a.example", "https://b.example"},
       {{"2", "https://a.example"}, {"4", "https://b.example"}}},
      {"an origin listed already is not added again",
       {{"1", "https://a.example"}},
       {"https://a.example", "https://b.example"},
       {{"2", "https://b.example"}}},
      {"an origin given twice is added once",
       {},
       {"https://a.example", "https://a.example"},
       {{"1", "https://a.example"}}},
      {"names that are not numbers count as taken only by their name",
       {{"rule", "https://x.example"}},
       {"https://a.example"},
       {{"1", "https://a.example"}}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    EXPECT_EQ(ListPolicyAdditions(c.existing, c.origins), c.additions);
  }
}

TEST(RefusalEvents, OnePerSenderAndHourTheRestCounted) {
  struct Step {
    std::string sender;
    std::time_t at;
    bool written;
    int counted;  // the refusals held back before it, told in the text written
  };
  const std::time_t t = 1'700'000'000;
  const std::string x = Say(Words::kSenderOrigin, {"https://x.example"});
  const std::vector<Step> steps = {
      {x, t, true, 0},
      {x, t + 10, false, 0},
      {Say(Words::kSenderHost, {"evil.example"}), t + 20, true, 0},  // its own hour
      {x, t + 3599, false, 0},
      {x, t + 3600, true, 2},
      {x, t + 3601, false, 0},
      {x, t + 9000, true, 1},
      {x, t + 9001 - 7200, true, 0},  // the clock went back
  };
  RefusalEvents events;
  for (std::size_t i = 0; i < steps.size(); ++i) {
    SCOPED_TRACE(i);
    const std::string line = Say(Words::kRefusedRequest, {"GET /", steps[i].sender});
    const std::string text = events.Admit(steps[i].sender, line, steps[i].at);
    std::string expected;  // "": not written
    if (steps[i].written) expected = line;
    if (steps[i].written && steps[i].counted != 0) {
      expected += Say(Words::kRefusalsBefore, {std::to_string(steps[i].counted)});
    }
    EXPECT_EQ(text, expected);
  }
}

TEST(RefusalEvents, AFloodOfSendersIsBounded) {
  RefusalEvents events;
  const std::time_t t = 1'700'000'000;
  int written = 0;
  for (int i = 0; i < 5000; ++i) {
    const std::string sender =
        Say(Words::kSenderOrigin, {"https://" + std::to_string(i) + ".example"});
    if (!events.Admit(sender, "x", t).empty()) ++written;
  }
  EXPECT_EQ(written, 1000);
  // An hour on, the remembered senders make room again.
  EXPECT_FALSE(
      events.Admit(Say(Words::kSenderOrigin, {"https://new.example"}), "x", t + 3600).empty());
}

}  // namespace
}  // namespace service
