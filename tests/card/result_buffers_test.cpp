#include "card/result_buffers.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>

namespace {

TEST(WriteResult, CopiesShortTextAndTerminatesIt) {
  char buffer[8];
  std::memset(buffer, 'x', sizeof buffer);
  card::WriteResult(buffer, std::string("abc"));
  EXPECT_STREQ(buffer, "abc");
  card::WriteResult(buffer, std::string());
  EXPECT_STREQ(buffer, "");
}

TEST(WriteResult, CutsAtSizeLessOneCountedInBytes) {
  std::string longNumber(150, '7');
  card::WriteResult(card::NumberBufferA, longNumber);
  EXPECT_EQ(std::string(card::NumberBufferA), std::string(99, '7'));

  std::string longRecord(2000, 'r');
  card::WriteResult(card::RecordBuffer, longRecord);
  EXPECT_EQ(std::strlen(card::RecordBuffer), 1023u);

  // Exactly size - 1 bytes fit whole.
  card::WriteResult(card::NumberBufferB, std::string(99, 'b'));
  EXPECT_EQ(std::string(card::NumberBufferB), std::string(99, 'b'));
}

TEST(WriteResult, CutsInsideATwoByteCharacterWhenItMustAndStopsAtNul) {
  char buffer[4];
  card::WriteResult(buffer, std::string("a中"));  // 3 bytes of GBK text fit whole
  EXPECT_EQ(std::string(buffer), "a中");
  card::WriteResult(buffer, std::string("ab中"));
  EXPECT_EQ(std::string(buffer), std::string("ab中").substr(0, 3));
  card::WriteResult(buffer, std::string("x\0y", 3));
  EXPECT_STREQ(buffer, "x");
}

}  // namespace
