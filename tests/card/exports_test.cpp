#include "card/exports.h"

#include <gtest/gtest.h>

#include <cstring>

#include "card/result_buffers.h"

namespace {

TEST(Exports, VersionIs86OnEveryCall) {
  for (int i = 0; i < 3; ++i) EXPECT_EQ(QTZ_DLL_BBH(), 86);
}

TEST(Exports, InactiveExportsAnswerZeroAndLeaveTheBuffersAlone) {
  std::memset(NumberBufferA, 'A', sizeof NumberBufferA - 1);
  std::memset(NumberBufferB, 'B', sizeof NumberBufferB - 1);
  std::memset(RecordBuffer, 'R', sizeof RecordBuffer - 1);
  char a[sizeof NumberBufferA], b[sizeof NumberBufferB], r[sizeof RecordBuffer];
  std::memcpy(a, NumberBufferA, sizeof a);
  std::memcpy(b, NumberBufferB, sizeof b);
  std::memcpy(r, RecordBuffer, sizeof r);

  EXPECT_EQ(QTZ_ErrorString(1, 2, 3), 0);
  EXPECT_EQ(QTZ_FindWindow2(-1), 0);
  EXPECT_EQ(QTZ_HSXK(1, 2, 3, 4, 5, 6), 0);
  EXPECT_EQ(QTZ_YKT_JK_SD(), 0);
  EXPECT_EQ(SBK_YKT_ICPURCHASE(1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11), 0);
  EXPECT_EQ(SBK_YKT_ICTRANSLOG(0, 0, 0), 0);

  EXPECT_EQ(std::memcmp(a, NumberBufferA, sizeof a), 0);
  EXPECT_EQ(std::memcmp(b, NumberBufferB, sizeof b), 0);
  EXPECT_EQ(std::memcmp(r, RecordBuffer, sizeof r), 0);
}

}  // namespace
