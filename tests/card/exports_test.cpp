#include "card/exports.h"

#include <gtest/gtest.h>

#include <cstring>

#include "card/result_buffers.h"

namespace {

TEST(Exports, VersionIs86OnEveryCall) {
  for (int i = 0; i < 3; ++i) EXPECT_EQ(QTZ_DLL_BBH(), 86);
}

TEST(Exports, InactiveExportsAnswerZeroAndLeaveTheBuffersAlone) {
  std::memset(card::NumberBufferA, 'A', sizeof card::NumberBufferA - 1);
  std::memset(card::NumberBufferB, 'B', sizeof card::NumberBufferB - 1);
  std::memset(card::RecordBuffer, 'R', sizeof card::RecordBuffer - 1);
  char a[sizeof card::NumberBufferA], b[sizeof card::NumberBufferB], r[sizeof card::RecordBuffer];
  std::memcpy(a, card::NumberBufferA, sizeof a);
  std::memcpy(b, card::NumberBufferB, sizeof b);
  std::memcpy(r, card::RecordBuffer, sizeof r);

  EXPECT_EQ(QTZ_ErrorString(1, 2, 3), 0);
  EXPECT_EQ(QTZ_FindWindow2(-1), 0);
  EXPECT_EQ(QTZ_HSXK(1, 2, 3, 4, 5, 6), 0);
  EXPECT_EQ(QTZ_YKT_JK_SD(), 0);
  EXPECT_EQ(SBK_YKT_ICPURCHASE(1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11), 0);
  EXPECT_EQ(SBK_YKT_ICTRANSLOG(0, 0, 0), 0);

  EXPECT_EQ(std::memcmp(a, card::NumberBufferA, sizeof a), 0);
  EXPECT_EQ(std::memcmp(b, card::NumberBufferB, sizeof b), 0);
  EXPECT_EQ(std::memcmp(r, card::RecordBuffer, sizeof r), 0);
}

}  // namespace
