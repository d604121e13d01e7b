// The desk's ratings for the status page: every risky or broken desk gives
// its item and rating, a sound one none.
#include <gtest/gtest.h>

#include <nlohmann/json.hpp>

#include "service/desk_report.h"

namespace service {
namespace {

TEST(DeskReport, RatesEveryRiskyDesk) {
  const auto sound = [] {
    DeskFacts facts;
    facts.library = {"readcard.dll", true};
    facts.driver = {"SSCardDriver.dll", true};
    facts.driverKind = DriverKind::kReads;
    return facts;
  };
  struct Case {
    const char* name;
    void (*change)(DeskFacts&);
    std::vector<std::pair<std::string, DeskRating>> checks;
  };
  const std::vector<Case> cases = {
      {"sound", [](DeskFacts&) {}, {}},
      {"natively, the driver not read",
       [](DeskFacts& f) { f.driverKind = DriverKind::kUnknown; },
       {}},
      {"no library",
       [](DeskFacts& f) { f.library.present = false; },
       {{"library", DeskRating::kError}}},
      {"no driver",
       [](DeskFacts& f) { f.driver.present = false; },
       {{"driver", DeskRating::kError}}},
      {"simulated driver",
       [](DeskFacts& f) { f.driverKind = DriverKind::kSimulated; },
       {{"driver", DeskRating::kWarning}}},
      {"no iReadCardBas",
       [](DeskFacts& f) { f.driverKind = DriverKind::kNoRead; },
       {{"driver", DeskRating::kError}}},
      {"64-bit driver",
       [](DeskFacts& f) { f.driverKind = DriverKind::kNot32BitDll; },
       {{"driver", DeskRating::kError}}},
      {"virtual card",
       [](DeskFacts& f) { f.virtualCard = true; },
       {{"loginIni", DeskRating::kWarning}}},
      {"log not writable",
       [](DeskFacts& f) { f.logWritable = false; },
       {{"log", DeskRating::kError}}},
      {"folder writable by others: reads refused",
       [](DeskFacts& f) { f.writableBy = {"C:\\HIS 可被 BUILTIN\\Users 改写"}; },
       {{"permissions", DeskRating::kError}}},
      {"folder writable by others, served as the ini says",
       [](DeskFacts& f) {
         f.writableBy = {"C:\\HIS 可被 BUILTIN\\Users 改写"};
         f.servesWritableDesk = true;
       },
       {{"permissions", DeskRating::kWarning}}},
      {"all at once",
       [](DeskFacts& f) {
         f.driverKind = DriverKind::kSimulated;
         f.virtualCard = true;
         f.logWritable = false;
       },
       {{"driver", DeskRating::kWarning},
        {"loginIni", DeskRating::kWarning},
        {"log", DeskRating::kError}}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    DeskFacts facts = sound();
    c.change(facts);
    const std::vector<DeskCheck> checks = RateDesk(facts);
    std::vector<std::pair<std::string, DeskRating>> rated;
    for (const DeskCheck& check : checks) {
      rated.emplace_back(check.item, check.rating);
      EXPECT_FALSE(check.message.empty());
    }
    EXPECT_EQ(rated, c.checks);

    // The JSON carries the same, and the paths as they are.
    const auto same = [](const std::string& text) { return text; };
    const nlohmann::json desk = nlohmann::json::parse(DeskJson(facts, same, same));
    ASSERT_EQ(desk["checks"].size(), c.checks.size());
    for (std::size_t i = 0; i < c.checks.size(); ++i) {
      EXPECT_EQ(desk["checks"][i]["item"], c.checks[i].first);
      EXPECT_EQ(desk["checks"][i]["rating"],
                c.checks[i].second == DeskRating::kError ? "error" : "warning");
    }
    EXPECT_EQ(desk["log"]["writable"], facts.logWritable);
    EXPECT_EQ(desk["permissions"], facts.writableBy);
    // A listed origin learns the rating, not the paths.
    const nlohmann::json brief = nlohmann::json::parse(DeskJson(facts, same, same, false));
    EXPECT_EQ(brief["checks"], desk["checks"]);
    EXPECT_FALSE(brief.contains("permissions"));
  }
}

}  // namespace
}  // namespace service
