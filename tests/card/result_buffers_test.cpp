#include "card/result_buffers.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>

namespace {

TEST(WriteResult, CopiesShortTextAndTerminatesIt) {
  char buffer[8];
  std::memset(buffer, 'x', sizeof buffer);
  WriteResult(buffer, std::string("abc"));
  EXPECT_STREQ(buffer, "abc");
  WriteResult(buffer, std::string());
  EXPECT_STREQ(buffer, "");
}

TEST(WriteResult, CutsAtSizeLessOneCountedInBytes) {
  std::string longNumber(150, '7');
  WriteResult(NumberBufferA, longNumber);
  EXPECT_EQ(std::string(NumberBufferA), std::string(99, '7'));

  std::string longRecord(2000, 'r');
  WriteResult(RecordBuffer, longRecord);
  EXPECT_EQ(std::strlen(RecordBuffer), 1023u);

  // Exactly size - 1 bytes fit whole.
  WriteResult(NumberBufferB, std::string(99, 'b'));
  EXPECT_EQ(std::string(NumberBufferB), std::string(99, 'b'));
}

TEST(WriteResult, CutsInsideATwoByteCharacterWhenItMustAndStopsAtNul) {
  char buffer[4];
  WriteResult(buffer, std::string("a中"));  // 3 bytes of GBK text fit whole
  EXPECT_EQ(std::string(buffer), "a中");
  WriteResult(buffer, std::string("ab中"));
  EXPECT_EQ(std::string(buffer), std::string("ab中").substr(0, 3));
  WriteResult(buffer, std::string("x\0y", 3));
  EXPECT_STREQ(buffer, "x");
}

}  // namespace
