#include "config/text_lines.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

using config::ByteReader;
using config::TextLines;

std::vector<std::string> AllLines(ByteReader read) {
  TextLines lines(std::move(read));
  std::vector<std::string> all;
  std::string line;
  while (lines.Next(line)) all.push_back(line);
  return all;
}

// Hands out the bytes one at a time, so every CR LF pair straddles two reads.
ByteReader OneByteAtATime(std::string text) {
  return [text, offset = std::size_t{0}](char* buffer, std::size_t) mutable {
    if (offset >= text.size()) return std::size_t{0};
    buffer[0] = text[offset++];
    return std::size_t{1};
  };
}

struct LinesCase {
  std::string text;
  std::vector<std::string> lines;
};

TEST(TextLines, ReadsAsTextModeDoes) {
  const LinesCase cases[] = {
      {"", {}},
      {"a", {"a"}},
      {"a\n", {"a"}},
      {"\n", {""}},
      {"a\n\nb", {"a", "", "b"}},
      {"a\r\nb\r\n", {"a", "b"}},
      {"\r\n\r\n", {"", ""}},
      {"a\r\r\nb", {"a\r", "b"}},  // only the CR before the LF goes
      {"a\rb\n", {"a\rb"}},
      {"a\r", {"a\r"}},  // a CR at the very end stays
      {"\r", {"\r"}},
      {"a\n\rb", {"a", "\rb"}},
      {"a\nb\x1A"
       "c\nd",
       {"a", "b"}},  // Ctrl-Z ends the text
      {"a\r\x1A\n", {"a\r"}},
      {"\x1A"
       "a\n",
       {}},
      {"a\n\x1A", {"a"}},
      {std::string("a\0b\n\0", 5), {std::string("a\0b", 3), std::string(1, '\0')}},
      {"\xD5\xC5\xC8\xFD\r\n", {"\xD5\xC5\xC8\xFD"}},
  };
  for (const LinesCase& c : cases) {
    EXPECT_EQ(AllLines(config::StringBytes(c.text)), c.lines) << c.text;
    EXPECT_EQ(AllLines(OneByteAtATime(c.text)), c.lines) << "byte by byte: " << c.text;
  }
}

TEST(TextLines, StopsAtAReadError) {
  // A reader that fails (answers 0) after its first bytes: what came before
  // is still read.
  int calls = 0;
  std::vector<std::string> lines = AllLines([&calls](char* buffer, std::size_t) {
    if (calls++ > 0) return std::size_t{0};
    return std::string("a\nb").copy(buffer, 3);
  });
  EXPECT_EQ(lines, (std::vector<std::string>{"a", "b"}));
  EXPECT_EQ(calls, 2);
}

}  // namespace
