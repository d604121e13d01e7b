#include "logger/append_file.h"

#include <gtest/gtest.h>

#include <string>

#include "tests/support/files.h"
#include "tests/support/scratch_directory.h"

namespace {

using testing_support::ReadBytes;
using testing_support::ScratchDirectory;
using testing_support::WriteBytes;

TEST(AppendFile, CreatesAMissingFileAndKeepsWhatAFileHeld) {
  ScratchDirectory directory;
  const std::string fresh = directory.path() + "fresh.log";
  {
    logger::AppendFile file(fresh);
    EXPECT_TRUE(file.isOpen());
    EXPECT_TRUE(file.Append("one\r\n"));
  }
  EXPECT_EQ(ReadBytes(fresh), "one\r\n");  // bytes as given

  const std::string held = directory.path() + "held.log";
  ASSERT_TRUE(WriteBytes(held, "earlier\n"));
  {
    logger::AppendFile file(held);
    EXPECT_TRUE(file.Append("later\n"));
  }
  EXPECT_EQ(ReadBytes(held), "earlier\nlater\n");
}

// What another process appends between two of our appends is neither
// overwritten nor cut: each append goes to the end as the file stands then.
TEST(AppendFile, WritesAtTheEndAsOtherWritersLeaveIt) {
  ScratchDirectory directory;
  const std::string path = directory.path() + "shared.log";
  logger::AppendFile first(path);
  logger::AppendFile second(path);
  ASSERT_TRUE(first.Append("first 1\n"));
  ASSERT_TRUE(second.Append("second 1, a longer line\n"));
  ASSERT_TRUE(first.Append("first 2\n"));
  ASSERT_TRUE(second.Append(std::string(100000, 'x') + "\n"));
  ASSERT_TRUE(first.Append("first 3\n"));
  EXPECT_EQ(ReadBytes(path), "first 1\nsecond 1, a longer line\nfirst 2\n" +
                                 std::string(100000, 'x') + "\nfirst 3\n");
}

TEST(AppendFile, StaysClosedAndWritesNothingWhenItCannotOpen) {
  ScratchDirectory directory;
  const std::string blocker = directory.path() + "Log";
  ASSERT_TRUE(WriteBytes(blocker, "in the way"));
  logger::AppendFile file(blocker + "/readcard/qtz.log");
  EXPECT_FALSE(file.isOpen());
  EXPECT_FALSE(file.Append("dropped\n"));
  EXPECT_EQ(ReadBytes(blocker), "in the way");

  logger::AppendFile unnamed("");  // no path at all
  EXPECT_FALSE(unnamed.isOpen());
  EXPECT_FALSE(unnamed.Append("dropped\n"));
}

}  // namespace
