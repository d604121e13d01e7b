#include "text/code_page.h"

#include <gtest/gtest.h>

namespace text {
namespace {

// Byte texts written out, so that the test says exactly what it converts
// whatever the compiler does with literals.
const std::string kNameGbk = "\xD5\xC5\xC8\xFD";           // 张三 in GBK
const std::string kNameUtf8 = "\xE5\xBC\xA0\xE4\xB8\x89";  // 张三 in UTF-8
const std::string kReplacement = "\xEF\xBF\xBD";           // U+FFFD

#ifdef READCARD_UTF8_MESSAGES
// A native build whose library writes UTF-8: well-formed text passes as it
// is, and what is not well-formed is still replaced.
TEST(CodePageTest, Utf8BuildPassesUtf8) {
  EXPECT_EQ(SystemToUtf8(kNameUtf8), kNameUtf8);
  EXPECT_EQ(Utf8ToSystem(kNameUtf8), kNameUtf8);
  EXPECT_EQ(SystemToUtf8("a\xFF"
                         "b"),
            "a" + kReplacement + "b");
  EXPECT_EQ(Utf8ToSystem("a\xFF"
                         "b"),
            "a?b");
}
#else
TEST(CodePageTest, SystemTextToUtf8) {
  struct Case {
    const char* name;
    std::string system;
    std::string utf8;
  };
  const Case cases[] = {
      {"empty", "", ""},
      {"ASCII", "A12345678|330100#", "A12345678|330100#"},
      {"a GBK name", kNameGbk, kNameUtf8},
      {"a name inside a record", "330100|" + kNameGbk + "|3.00", "330100|" + kNameUtf8 + "|3.00"},
      {"a lead byte at the end", "ab\xD5", "ab" + kReplacement},
      {"a lead byte before a byte no pair ends in",
       "\x81"
       "0",
       kReplacement + "0"},
      {"0xFF alone", "x\xFFy", "x" + kReplacement + "y"},
      {"NUL inside", std::string("a\0b", 3), std::string("a\0b", 3)},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(SystemToUtf8(c.system), c.utf8) << c.name;
  }
}

TEST(CodePageTest, Utf8ToSystemText) {
  struct Case {
    const char* name;
    std::string utf8;
    std::string system;
  };
  const Case cases[] = {
      {"empty", "", ""},
      {"a track", "0000000100001234565=1234567890000001", "0000000100001234565=1234567890000001"},
      {"a GBK name", kNameUtf8, kNameGbk},
      {"a character GBK lacks (U+1F600)",
       "a\xF0\x9F\x98\x80"
       "b",
       "a?b"},
      {"a stray continuation byte",
       "a\x80"
       "b",
       "a?b"},
      {"a sequence cut at the end", "ab\xE5\xBC", "ab??"},
      {"an overlong slash", "\xC0\xAF", "??"},
      {"a surrogate", "\xED\xA0\x80", "???"},
      {"0xFF", "\xFF", "?"},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(Utf8ToSystem(c.utf8), c.system) << c.name;
  }
}

TEST(CodePageTest, EveryGbkCharacterRoundTrips) {
  // Both byte ranges of two-byte GBK, sampled: whatever converts to UTF-8
  // without a replacement comes back byte for byte.
  int converted = 0;
  for (int lead = 0x81; lead <= 0xFE; lead += 3) {
    for (int trail = 0x40; trail <= 0xFE; trail += 5) {
      const std::string gbk{static_cast<char>(lead), static_cast<char>(trail)};
      const std::string utf8 = SystemToUtf8(gbk);
      if (utf8.find(kReplacement) != std::string::npos) continue;
      EXPECT_EQ(Utf8ToSystem(utf8), gbk) << lead << " " << trail;
      ++converted;
    }
  }
  EXPECT_GT(converted, 1000);
}

#endif

TEST(Utf8SequenceTest, Lengths) {
  struct Case {
    std::string text;
    std::size_t length;
  };
  const Case cases[] = {
      {"a", 1},
      {kNameUtf8, 3},
      {"\xF0\x9F\x98\x80", 4},
      {"\xC2\x80", 2},
      {"\xC1\xBF", 0},
      {"\xE0\x80\x80", 0},
      {"\xF4\x90\x80\x80", 0},
      {"\xF5\x80\x80\x80", 0},
      {"\xE5\xBC", 0},
      {"\x80", 0},
      {"", 0},
  };
  for (const Case& c : cases) EXPECT_EQ(Utf8SequenceLength(c.text, 0), c.length);
}

}  // namespace
}  // namespace text
