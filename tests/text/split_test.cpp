#include "text/split.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

struct SplitCase {
  std::string text;
  std::string delimiter;
  std::vector<std::string> pieces;
};

TEST(Split, CutsAtEveryDelimiterKeepingFieldPositions) {
  const SplitCase cases[] = {
      {"a|b|c", "|", {"a", "b", "c"}},
      {"a||c", "|", {"a", "", "c"}},
      {"|a", "|", {"", "a"}},
      {"a|", "|", {"a"}},
      {"a||", "|", {"a", ""}},
      {"|", "|", {""}},
      {"||", "|", {"", ""}},
      {"abc", "|", {"abc"}},
      {"", "|", {}},
      {"", "ab", {}},
      {"", "", {}},
      {"a|b", "", {}},
      {"xabyab", "ab", {"x", "y"}},
      {"aaa", "aa", {"", "a"}},
      {"aaaa", "aa", {"", ""}},
      {"ab", "abc", {"ab"}},
      // A record whose last field is empty yields one piece fewer.
      {"1|2|3|4|5|6|7|", "|", {"1", "2", "3", "4", "5", "6", "7"}},
      {"1|2|3|4|5|6|7||", "|", {"1", "2", "3", "4", "5", "6", "7", ""}},
      {"||||||||", "|", {"", "", "", "", "", "", "", ""}},
      // GBK: 0x98 0x7C is one character whose trail byte has the code of "|";
      // the cut is by bytes.
      {"\x98\x7C"
       "b",
       "|",
       {"\x98", "b"}},
      {"张三|男", "|", {"张三", "男"}},
      // Bytes after a NUL belong to the text.
      {std::string("a\0b|c", 5), "|", {std::string("a\0b", 3), "c"}},
  };
  for (const SplitCase& c : cases) {
    EXPECT_EQ(text::split(c.text, c.delimiter), c.pieces)
        << "text \"" << c.text << "\" delimiter \"" << c.delimiter << "\"";
  }
}

}  // namespace
