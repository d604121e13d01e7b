#include "config/ini_reader.h"

#include <gtest/gtest.h>

#include <optional>
#include <string>
#include <utility>

#include "tests/config/ini_section_cases.h"

namespace config {
namespace {

TEST(ParseIniLine, SplitsKeyFromValueBeforeTheComment) {
  using Pair = std::pair<std::string, std::string>;
  const std::pair<std::string, std::optional<Pair>> cases[] = {
      {"", std::nullopt},        {"#K=1", std::nullopt},         {"K", std::nullopt},
      {"K#=1", std::nullopt},    {"=1", std::nullopt},           {" \t=1", std::nullopt},
      {"K=1", Pair{"K", "1"}},   {" K = 1 ", Pair{"K", "1"}},    {"K=", Pair{"K", ""}},
      {"K=#1", Pair{"K", ""}},   {"K=1 # note", Pair{"K", "1"}}, {"A=B=C", Pair{"A", "B=C"}},
      {";K=1", Pair{";K", "1"}}, {"K=1\r", Pair{"K", "1\r"}},  // the section reader drops that CR
  };
  for (const auto& c : cases) EXPECT_EQ(ParseIniLine(c.first), c.second) << c.first;
}

TEST(ParseIniSection, ReadsTheNamedSection) {
  for (const IniSectionCase& c : IniSectionCases()) {
    TextLines lines(StringBytes(c.text));
    IniSection section = {{"stale", "pair"}};
    ParseIniSection(lines, section, c.section);
    EXPECT_EQ(section, c.pairs) << c.what;
  }
}

TEST(ParseIniSection, NullNameReadsNothingOfOtherSections) {
  TextLines lines(StringBytes("[MAIN]\nK=1\n[]\nL=2\n"));
  IniSection section;
  ParseIniSection(lines, section, nullptr);
  EXPECT_EQ(section, (IniSection{{"L", "2"}}));
}

}  // namespace
}  // namespace config
